// Disks that leave standby when a command needs the platters, and how long
// that command then takes.
#include <chrono>
#include <thread>

#include "BaySupport.h"

namespace {

using namespace simtest;

class Wake : public BayTest {
 protected:
  HANDLE Disk() { return Open("\\\\.\\PhysicalDrive0"); }
};

TEST_F(Wake, OnlyTheListedCommandsWakeAndCheckPowerModeNever) {
  struct Case {
    const char* wakesOn;
    Registers command;
    bool wakes;
  };
  const Case cases[] = {
      {"none", kIdentify, false},
      {"identify", kIdentify, true},
      {"identify", kCheckPowerMode, false},
      {"identify, set_features", SetFeatures(0x42, 0x80), true},
      {"set_features", kIdentify, false},
  };
  for (const Case& c : cases) {
    Load(std::string("[disk 0]\nata_paths = ata_pass_through\naam = 254\npower_mode = standby\n"
                     "wakes_on = ") + c.wakesOn + "\n");
    HANDLE disk = Disk();
    const bool data = c.command.command == 0xEC;
    SendAta(disk, c.command, data ? 512 : 0, data ? ATA_FLAGS_DATA_IN : ATA_FLAGS_DRDY_REQUIRED);
    EXPECT_EQ(bay.DiskPowerMode(0), c.wakes ? 0xFF : 0x00) << c.wakesOn;
    // CHECK POWER MODE tells what the drive is now, without waking it.
    const AtaResult mode = SendAta(disk, kCheckPowerMode, 0, ATA_FLAGS_DRDY_REQUIRED);
    EXPECT_EQ(mode.taskFile[1], c.wakes ? 0xFF : 0x00) << c.wakesOn;
  }
}

TEST_F(Wake, ScsiCommandsThroughTheBridgeAndEveryAtaPath) {
  Load("[disk 0]\nata_paths = vendor_f8\npower_mode = standby\nwakes_on = read_capacity\n");
  HANDLE disk = Disk();
  EXPECT_EQ(SendCdb(disk, {0x12, 0, 0, 0, 36}, 36).status, 0);  // INQUIRY: the bridge answers
  EXPECT_EQ(bay.DiskPowerMode(0), 0x00);
  EXPECT_EQ(SendCdb(disk, {0x25}, 8).status, 0);  // READ CAPACITY needs the drive
  EXPECT_EQ(bay.DiskPowerMode(0), 0xFF);

  Load("[disk 0]\nata_paths = smart\npower_mode = standby\nwakes_on = identify\n");
  SendSmart(Disk(), SMART_RCV_DRIVE_DATA, kIdentify, 512);
  EXPECT_EQ(bay.DiskPowerMode(0), 0xFF);
}

TEST_F(Wake, TheWakingCommandWaitsForTheSpinUpOnlyOnce) {
  Load("[disk 0]\nata_paths = ata_pass_through\npower_mode = standby\nwakes_on = identify\n"
       "spin_up_ms = 300\n");
  HANDLE disk = Disk();
  const auto timed = [&] {
    const auto start = std::chrono::steady_clock::now();
    SendAta(disk, kIdentify, 512, ATA_FLAGS_DATA_IN);
    return std::chrono::steady_clock::now() - start;
  };
  EXPECT_GE(timed(), std::chrono::milliseconds(300));  // from standby
  EXPECT_LT(timed(), std::chrono::milliseconds(300));  // already spinning
}

// The standby timer, as IDLE and STANDBY set it, runs out when no command
// came for its period; head loads rise with the machine's time, here 20
// minutes a real second.
TEST_F(Wake, TheStandbyTimerRunsOutWithNoCommandAndHeadLoadsRiseWithTime) {
  Load("[system]\ntime_scale = 1200\n[disk 0]\nata_paths = ata_pass_through\n"
       "smart_attributes = 4:7 193:100\nload_cycles_per_hour = 60\n");
  HANDLE disk = Disk();
  const auto command = [](uint8_t code, uint8_t count) {
    return Registers{0, count, 0, 0, 0, 0xA0, code};
  };
  const auto wait = [](int minutes) {
    std::this_thread::sleep_for(std::chrono::milliseconds(minutes * 50));
  };
  SendAta(disk, command(0xE3, 240), 0, ATA_FLAGS_DRDY_REQUIRED);  // IDLE, 20 min
  EXPECT_EQ(bay.DiskPowerMode(0), 0x80);
  EXPECT_NE(bay.StateText().find("timer=1200s"), std::string::npos);
  wait(8);
  SendAta(disk, kCheckPowerMode, 0, ATA_FLAGS_DRDY_REQUIRED);  // the count starts again
  wait(10);
  EXPECT_EQ(bay.DiskPowerMode(0), 0x80);
  wait(14);
  EXPECT_EQ(bay.DiskPowerMode(0), 0x00);
  // STANDBY sets the timer and leaves the disk asleep; 253 is never taken.
  SendAta(disk, command(0xE2, 242), 0, ATA_FLAGS_DRDY_REQUIRED);
  EXPECT_EQ(bay.DiskPowerMode(0), 0x00);
  EXPECT_NE(bay.StateText().find("timer=3600s"), std::string::npos);
  EXPECT_EQ(SendAta(disk, command(0xE2, 253), 0, ATA_FLAGS_DRDY_REQUIRED).taskFile[6] & 1, 1);
  wait(30);  // over an hour since the bay was loaded
  EXPECT_NE(bay.StateText().find("smart=4:7,193:160"), std::string::npos) << bay.StateText();
}

TEST_F(Wake, BayFileNamesTheCommands) {
  std::string error;
  EXPECT_FALSE(bay.LoadText("[disk 0]\nwakes_on = identify, read\n", &error));
  EXPECT_EQ(error.substr(0, 40), "line 2: expected none or commands among ");
  EXPECT_FALSE(bay.LoadText("[disk 0]\nspin_up_ms = 60001\n", &error));
  EXPECT_EQ(error.substr(0, 7), "line 2:");
}

}  // namespace
