// Optical drives on simulated machines: finding them, their media, their
// timers, and the speed probe running beside other work.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "BayMachine.h"
#include "drive/AtaCommands.h"
#include "drive/HardDriveDiscovery.h"
#include "drive/OpticalCommands.h"
#include "drive/ReadSpeed.h"
#include "platform/Worker.h"

namespace {

using namespace drive;

const char* const kMachine = R"(
[disk 0]
model = SYSTEM DISK
ata_paths = sat12
power_mode = active
[volume C]
extents = 0
[volume F]
extents = 0:600000000000
[optical E]
vendor = ACMEOPT
product = DVD-RW DX-16A
serial = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
medium = dvd-rom
dvd_speeds = 22160, 16620, 11080, 5540, 2770
cd_speeds = 8448, 7040, 5632
bd_speeds = 8964, 4482
set_cd_speed = honoured
set_streaming = honoured
[optical G]
vendor = ACMEOPT
product = "CD-ROM CX-52"
serial = none
medium = none
cd_speeds = 8448, 7040, 5632
)";

std::unique_ptr<DriveList> Discover() {
  auto list = std::make_unique<DriveList>();
  std::memset(list.get(), 0, sizeof *list);
  EnumerateHardDrives(*list);
  EnumerateOpticalDrives(*list);
  return list;
}

TEST(OpticalBay, DrivesFollowTheHardDrivesInLetterOrder) {
  BayMachine machine(kMachine);
  auto list = Discover();

  ASSERT_EQ(list->driveCount, 3);
  EXPECT_EQ(list->slots[0].hard.kind, KindHardDrive);
  const OpticalDriveInfo& e = list->slots[1].optical;
  const OpticalDriveInfo& g = list->slots[2].optical;
  EXPECT_EQ(e.kind, KindOpticalDrive);
  EXPECT_STREQ(e.displayName, "ACMEOPT DVD-RW DX-16A   ");
  EXPECT_STREQ(e.serialText, "#0123456789ABCDEFGHIJKLMNOPQRST");  // 30 characters: 32 bytes
  EXPECT_STREQ(g.displayName, "ACMEOPT CD-ROM CX-52    ");
  EXPECT_STREQ(g.serialText, "#");
  // The hard disk volume F: is never opened: opened to read or write, a
  // volume not yet mounted would be, which reads its disk.
  EXPECT_TRUE(machine.TraceWith("F: OPEN").empty());
  EXPECT_EQ(machine.bay().OpenHandleCount(), 3);
}

TEST(OpticalBay, MediumAndItsChanges) {
  BayMachine machine(kMachine);
  auto list = Discover();
  HANDLE e = list->slots[1].optical.deviceHandle;
  struct Case {
    const char* medium;
    DiscType type;
  };
  const Case cases[] = {{"dvd-rom", DiscDvd}, {"cd-rw", DiscCd}, {"bd-re", DiscBd},
                        {"0x0050", DiscBd},   {"none", DiscNone}, {"dvd+r-dl", DiscDvd}};
  for (const Case& c : cases) {
    ASSERT_TRUE(machine.bay().SetOpticalMedium('E', c.medium)) << c.medium;
    EXPECT_EQ(DetectDiscType(e), c.type) << c.medium;
  }
}

TEST(OpticalBay, SpeedProbeLearnsTheSpeedsAndRestoresTheOldOne) {
  BayMachine machine(kMachine);
  auto list = Discover();
  OpticalDriveInfo& e = list->slots[1].optical;
  machine.bay().SetOpticalMedium('E', "cd-rom");
  e.discType = DetectDiscType(e.deviceHandle);
  ASSERT_EQ(e.discType, DiscCd);
  ASSERT_EQ(ApplySpeed(e, 7040), kCommandGood);
  ASSERT_EQ(machine.bay().OpticalCurrentSpeed('E'), 7040);

  EXPECT_EQ(ProbeSpeeds(e), 3);
  const SpeedTable& table = e.speedTables[DiscCd];
  EXPECT_EQ(std::vector<int>(table.speeds, table.speeds + 3), (std::vector<int>{8448, 7040, 5632}));
  EXPECT_EQ(machine.bay().OpticalCurrentSpeed('E'), 7040);
  // The SET CD SPEED blocks on the wire: fastest first, the old speed last.
  const std::vector<std::string> sets = machine.TraceWith("E: SPTD BB");
  ASSERT_GE(sets.size(), 3u);  // the first is the test's own 7040
  EXPECT_EQ(sets[1].substr(0, 22), "E: SPTD BB00FFFF000000");
  EXPECT_EQ(sets.back().substr(0, 22), "E: SPTD BB001B80000000");  // 7040
}

TEST(OpticalBay, TimersRoundTripThroughTheModePage) {
  BayMachine machine(kMachine);
  auto list = Discover();
  HANDLE e = list->slots[1].optical.deviceHandle;

  ASSERT_TRUE(WritePowerConditions(e, 1, 1, 600, 9000));
  sim::Bay::PowerTimers timers = machine.bay().OpticalTimers('E');
  EXPECT_TRUE(timers.idle);
  EXPECT_TRUE(timers.standby);
  EXPECT_EQ(timers.idleTimer, 600u);
  EXPECT_EQ(timers.standbyTimer, 9000u);

  ASSERT_TRUE(WritePowerConditions(e, 0, kLeaveUnchanged, 1200, kLeaveUnchanged));
  timers = machine.bay().OpticalTimers('E');
  EXPECT_FALSE(timers.idle);
  EXPECT_EQ(timers.idleTimer, 600u);  // not written while its enable is cleared
  EXPECT_TRUE(timers.standby);

  EXPECT_EQ(EnterPowerCondition(e, kConditionStandby), kCommandGood);
  EXPECT_EQ(machine.bay().OpticalPowerCondition('E'), sim::Bay::PowerCondition::kStandby);
  EXPECT_EQ(machine.TraceWith("E: SPTD 1B0000003000000000000000").size(), 1u);
}

// The worker's message, received by a stand-in window.
std::mutex readyMutex;
std::condition_variable readyCondition;
int readyCount = 0;
LRESULT ReceiveReady(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_SPEEDLISTREADY && wParam == 1) {
    std::lock_guard<std::mutex> lock(readyMutex);
    ++readyCount;
    readyCondition.notify_all();
  }
  return 0;
}

TEST(OpticalBay, ProbeRunsOnItsThreadWhileOtherDrivesAreCommanded) {
  BayMachine machine(std::string(kMachine) + R"(
[optical H]
vendor = ACMEOPT
product = DVD-ROM DX-8
medium = dvd-rom
dvd_speeds = 11080, 5540
set_cd_speed = ignored
set_streaming = honoured
latency_ms = 2
)");
  auto list = Discover();
  ASSERT_EQ(list->driveCount, 4);
  OpticalDriveInfo& h = list->slots[3].optical;
  h.discType = DetectDiscType(h.deviceHandle);
  ASSERT_EQ(h.discType, DiscDvd);
  readyCount = 0;
  platform::InstallMessageReceiver(ReceiveReady);

  StartSpeedProbe(h);
  // Meanwhile this thread polls the hard drive and the other optical drive.
  const HardDriveInfo& disk = list->slots[0].hard;
  OpticalDriveInfo& e = list->slots[1].optical;
  int rounds = 0;
  {
    std::unique_lock<std::mutex> lock(readyMutex);
    while (readyCount == 0 && rounds < 5000) {
      lock.unlock();
      AtaTaskFile out = {};
      EXPECT_TRUE(AtaCheckPowerMode(disk, &out));  // reads this thread's own sense
      EXPECT_EQ(out.sectorCount, 0xFF);
      EXPECT_EQ(DetectDiscType(e.deviceHandle), DiscDvd);
      ++rounds;
      lock.lock();
    }
    readyCondition.wait_for(lock, std::chrono::seconds(30), [] { return readyCount > 0; });
  }
  EXPECT_TRUE(platform::WaitForWorkers(30000));
  platform::InstallMessageReceiver(nullptr);

  EXPECT_EQ(readyCount, 1);
  EXPECT_GT(rounds, 0);
  const SpeedTable& table = h.speedTables[DiscDvd];
  // SET CD SPEED is ignored, so the second method (SET STREAMING) found them.
  EXPECT_EQ(table.setByStreaming, 1);
  EXPECT_EQ(table.readByPerformance, 0);
  EXPECT_EQ(std::vector<int>(table.speeds, table.speeds + table.speedCount),
            (std::vector<int>{11080, 5540}));
  EXPECT_FALSE(machine.TraceWith("H: SPTD B6").empty());
}

}  // namespace
