// The optical drive's command blocks, the data they carry, and finding the
// drives on the letters.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "FakeSystem.h"
#include "ScriptedOptical.h"
#include "drive/Bytes.h"
#include "drive/OpticalCommands.h"

namespace {

using namespace drive;

const HANDLE kDrive = reinterpret_cast<HANDLE>(0x77);

using Cdb = std::vector<uint8_t>;

TEST(OpticalCommands, CommandBlocks) {
  struct Case {
    const char* name;
    std::function<void()> send;
    Cdb cdb;
    uint32_t length;
    uint8_t dataIn;
  };
  uint8_t buffer[64] = {};
  const Case cases[] = {
      {"TEST UNIT READY", [] { TestUnitReady(kDrive); }, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       0, 1},
      {"GET CONFIGURATION serial",
       [&] { GetConfiguration(kDrive, 2, 0x0108, buffer, 64); },
       {0x46, 2, 0x01, 0x08, 0, 0, 0, 0, 64, 0, 0, 0}, 64, 1},
      {"GET CONFIGURATION profile", [] { GetCurrentProfile(kDrive); },
       {0x46, 1, 0, 0, 0, 0, 0, 0, 8, 0, 0, 0}, 8, 1},
      {"START STOP UNIT standby", [] { EnterPowerCondition(kDrive, 3); },
       {0x1B, 0, 0, 0, 0x30, 0, 0, 0, 0, 0, 0, 0}, 0, 1},
      {"START STOP UNIT idle", [] { EnterPowerCondition(kDrive, 2); },
       {0x1B, 0, 0, 0, 0x20, 0, 0, 0, 0, 0, 0, 0}, 0, 1},
      {"START STOP UNIT eject", [] { StartStopUnit(kDrive, 0, 1, 0); },
       {0x1B, 0, 0, 0, 0x02, 0, 0, 0, 0, 0, 0, 0}, 0, 1},
      {"SET CD SPEED fastest", [] { SetCdSpeed(kDrive, 0xFFFF); },
       {0xBB, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 1},
      {"SET CD SPEED 704", [] { SetCdSpeed(kDrive, 704); },
       {0xBB, 0, 0x02, 0xC0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 1},
      {"SET CD SPEED above 16 bits", [] { SetCdSpeed(kDrive, 0x12345); },
       {0xBB, 0, 0x23, 0x45, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 1},
      {"SET CD SPEED negative", [] { SetCdSpeed(kDrive, -176); },
       {0xBB, 0, 0xFF, 0x50, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 1},
      {"SET STREAMING", [&] { SetStreaming(kDrive, buffer); },
       {0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1C, 0}, 28, 0},
      {"GET PERFORMANCE", [] { ReadPerformanceSpeed(kDrive); },
       {0xAC, 0x10, 0, 0, 0, 0, 0, 0, 0, 0x01, 0, 0}, 24, 1},
      {"MODE SENSE capabilities", [] { ReadCapabilitiesSpeed(kDrive); },
       {0x5A, 0x10, 0x2A, 0, 0, 0, 0, 0, 32, 0, 0, 0}, 32, 1},
      {"MODE SENSE power, no buffer", [] { ReadPowerConditionPage(kDrive, nullptr, 0); },
       {0x5A, 0x10, 0x1A, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 1},
  };
  for (const Case& c : cases) {
    fake::System system;
    ScriptedOptical drive;
    system.ioControl = std::ref(drive);
    fake::ScopedFakeSystem install(system);
    c.send();
    ASSERT_EQ(drive.cdbs.size(), 1u) << c.name;
    EXPECT_EQ(drive.cdbs[0], c.cdb) << c.name;
    SCSI_PASS_THROUGH_DIRECT sptd;
    std::memcpy(&sptd, system.calls[0].in.data(), sizeof sptd);
    EXPECT_EQ(sptd.DataTransferLength, c.length) << c.name;
    EXPECT_EQ(sptd.DataIn, c.dataIn) << c.name;
  }
}

TEST(OpticalCommands, QueriesDecodeTheirFieldsOrGiveMinusOne) {
  fake::System system;
  ScriptedOptical drive;
  drive.profile = 0x002B;
  drive.readings = {0xFFFE};
  system.ioControl = std::ref(drive);
  fake::ScopedFakeSystem install(system);

  EXPECT_EQ(GetCurrentProfile(kDrive), 0x2B);
  EXPECT_EQ(ReadCapabilitiesSpeed(kDrive), 0xFFFE);  // 16 bits, never negative
  EXPECT_EQ(ReadPerformanceSpeed(kDrive), 0xFFFE);
  drive.capabilitiesWork = drive.performanceWork = false;
  EXPECT_EQ(ReadCapabilitiesSpeed(kDrive), -1);
  EXPECT_EQ(ReadPerformanceSpeed(kDrive), -1);

  system.ioControl = nullptr;  // not delivered
  EXPECT_EQ(GetCurrentProfile(kDrive), -1);
}

TEST(OpticalCommands, StreamingDescriptor) {
  struct Case {
    const char* name;
    bool unitReady;
    bool delivered;  // READ CAPACITY reaches the drive
    int speed;
    uint32_t endLba;
    uint32_t readSize;
  };
  const Case cases[] = {
      {"fastest", true, true, 0xFFFF, 2295103, 0x0000FFFF},
      {"no medium", false, true, 2770, 0, 2770},
      {"above 16 bits", true, true, 0x12345, 2295103, 0x2345},
      {"negative", true, true, -1, 2295103, 0xFFFF},
  };
  for (const Case& c : cases) {
    fake::System system;
    ScriptedOptical drive;
    drive.unitReady = c.unitReady;
    system.ioControl = std::ref(drive);
    fake::ScopedFakeSystem install(system);

    EXPECT_EQ(SetStreamingSpeed(kDrive, c.speed), 1) << c.name;

    ASSERT_EQ(drive.parameterLists.size(), 1u) << c.name;
    const std::vector<uint8_t>& d = drive.parameterLists[0];
    ASSERT_EQ(d.size(), 28u);
    EXPECT_EQ(GetBe32(d.data() + 0), 0u) << c.name;  // flags, reserved
    EXPECT_EQ(GetBe32(d.data() + 4), 0u) << c.name;  // start LBA
    EXPECT_EQ(GetBe32(d.data() + 8), c.endLba) << c.name;
    EXPECT_EQ(GetBe32(d.data() + 12), c.readSize) << c.name;
    EXPECT_EQ(GetBe32(d.data() + 16), 1000u) << c.name;
    EXPECT_EQ(GetBe32(d.data() + 20) | GetBe32(d.data() + 24), 0u) << c.name;
  }
}

// The page as a drive reports it: IDLE and STANDBY set, idle 300 (30 s),
// standby 9000 (15 min), a reserved bit in byte 11 that must survive.
void ReportedPage(uint8_t* page) {
  std::memset(page, 0, 20);
  page[1] = 18;  // mode data length
  page[8] = 0x9A;  // PS bit set as a drive may report it
  page[9] = 0x0A;
  page[11] = 0x03 | 0x40;
  PutBe32(page + 12, 300);
  PutBe32(page + 16, 9000);
}

TEST(OpticalCommands, WritePowerConditionsChangesOnlyWhatItIsAsked) {
  struct Case {
    const char* name;
    int idleEnable, standbyEnable, idleTimer, standbyTimer;
    uint8_t bits;
    uint32_t idle, standby;
  };
  const Case cases[] = {
      {"clear idle, timer given", 0, -1, 600, -1, 0x41, 300, 9000},
      {"set idle with one minute", 1, -1, 600, -1, 0x43, 600, 9000},
      {"idle unchanged, timer written", -1, -1, 50, -1, 0x43, 50, 9000},
      {"clear standby, timer given", -1, 0, -1, 72000, 0x42, 300, 9000},
      {"standby 65535", -1, 1, -1, 65535, 0x43, 300, 65535},
      {"nothing asked", -1, -1, -1, -1, 0x43, 300, 9000},
  };
  for (const Case& c : cases) {
    fake::System system;
    ScriptedOptical drive;
    ReportedPage(drive.powerPage);
    system.ioControl = std::ref(drive);
    fake::ScopedFakeSystem install(system);

    EXPECT_TRUE(WritePowerConditions(kDrive, c.idleEnable, c.standbyEnable, c.idleTimer,
                                     c.standbyTimer))
        << c.name;

    ASSERT_EQ(drive.parameterLists.size(), 1u) << c.name;
    const std::vector<uint8_t>& page = drive.parameterLists[0];
    ASSERT_EQ(page.size(), 20u);
    EXPECT_EQ(std::vector<uint8_t>(page.begin(), page.begin() + 8), std::vector<uint8_t>(8, 0))
        << c.name;
    EXPECT_EQ(page[8], 0x1A) << c.name;
    EXPECT_EQ(page[9], 0x0A) << c.name;
    EXPECT_EQ(page[11], c.bits) << c.name;
    EXPECT_EQ(GetBe32(page.data() + 12), c.idle) << c.name;
    EXPECT_EQ(GetBe32(page.data() + 16), c.standby) << c.name;
    EXPECT_EQ(drive.cdbs[1], (Cdb{0x55, 0x10, 0, 0, 0, 0, 0, 0, 20, 0, 0, 0})) << c.name;
  }
}

TEST(OpticalCommands, WritePowerConditionsRebuildsAFailedReadAndReportsARefusal) {
  fake::System system;
  ScriptedOptical drive;
  ReportedPage(drive.powerPage);
  drive.powerPageReadable = false;
  system.ioControl = std::ref(drive);
  fake::ScopedFakeSystem install(system);

  EXPECT_TRUE(WritePowerConditions(kDrive, 1, -1, 600, -1));
  const std::vector<uint8_t>& page = drive.parameterLists[0];
  EXPECT_EQ(page[11], 0x02);  // from zeros, not from what the drive holds
  EXPECT_EQ(GetBe32(page.data() + 16), 0u);

  drive.modeSelectAccepted = false;
  EXPECT_FALSE(WritePowerConditions(kDrive, 1, -1, 600, -1));
}

// ---------------------------------------------------------------------------
// Enumeration
// ---------------------------------------------------------------------------

// Letters with devices: E: optical with the given serial feature answer, F: a
// hard disk volume; every other letter has nothing.
struct Letters {
  int serialLength = 8;  // -1: GET CONFIGURATION fails; 0: feature absent
  int firstSlot = 0;
};

std::unique_ptr<DriveList> EnumerateWith(const Letters& letters, fake::System& system) {
  system.driveTypes['E' - 'A'] = DRIVE_CDROM;
  system.driveTypes['F' - 'A'] = DRIVE_FIXED;
  system.open = [](const std::string& path) -> HANDLE {
    if (path == "\\\\.\\E:") return reinterpret_cast<HANDLE>(0xE);
    if (path == "\\\\.\\F:") return reinterpret_cast<HANDLE>(0xF);
    return INVALID_HANDLE_VALUE;
  };
  system.ioControl = [letters](HANDLE h, DWORD, void*, DWORD, void* out, DWORD, DWORD*) -> BOOL {
    auto* sptd = static_cast<SCSI_PASS_THROUGH_DIRECT*>(out);
    auto* data = static_cast<uint8_t*>(sptd->DataBuffer);
    if (sptd->Cdb[0] == 0x12) {
      data[0] = h == reinterpret_cast<HANDLE>(0xE) ? 5 : 0;
      std::memcpy(data + 8, "ACMEOPT DVD-RW  DX-16A  1.00", 28);
    } else if (sptd->Cdb[0] == 0x46) {
      if (letters.serialLength < 0) {
        sptd->ScsiStatus = 2;
        return TRUE;
      }
      PutBe32(data, 4 + (letters.serialLength ? 4 + letters.serialLength : 0));
      if (letters.serialLength) {
        PutBe16(data + 8, 0x0108);
        data[11] = static_cast<uint8_t>(letters.serialLength);
        for (int i = 0; i < letters.serialLength && 12 + i < 64; ++i)
          data[12 + i] = static_cast<uint8_t>('A' + i % 26);
      }
    }
    return TRUE;
  };
  auto list = std::make_unique<DriveList>();
  std::memset(list.get(), 0, sizeof *list);
  list->driveCount = letters.firstSlot;
  for (int i = 0; i < letters.firstSlot; ++i) list->slots[i].hard.kind = KindHardDrive;
  EnumerateOpticalDrives(*list);
  return list;
}

TEST(OpticalEnumeration, FindsOpticalLettersAfterTheHardDrives) {
  fake::System system;
  fake::ScopedFakeSystem install(system);
  auto list = EnumerateWith(Letters{8, 2}, system);

  ASSERT_EQ(list->driveCount, 3);
  const OpticalDriveInfo& drive = list->slots[2].optical;
  EXPECT_EQ(drive.kind, KindOpticalDrive);
  EXPECT_EQ(drive.deviceHandle, reinterpret_cast<HANDLE>(0xE));
  EXPECT_STREQ(drive.displayName, "ACMEOPT DVD-RW  DX-16A  ");  // blanks of both fields kept
  EXPECT_STREQ(drive.serialText, "#ABCDEFGH");
  EXPECT_EQ(drive.discType, 0);
  EXPECT_EQ(list->slots[3].optical.kind, 0);
  // Only the CD-ROM letter is opened: never the hard disk letter F:.
  EXPECT_EQ(system.opened, std::vector<std::string>{"\\\\.\\E:"});
  EXPECT_EQ(system.closed, 0);
}

TEST(OpticalEnumeration, SerialTextCases) {
  struct Case {
    int serialLength;
    const char* serialText;
  };
  const Case cases[] = {
      {0, "#"},
      {-1, ""},
      {30, "#ABCDEFGHIJKLMNOPQRSTUVWXYZABCD"},
      {40, "#ABCDEFGHIJKLMNOPQRSTUVWXYZABCD"},  // cut to 30: the 32 bytes exactly
  };
  for (const Case& c : cases) {
    fake::System system;
    fake::ScopedFakeSystem install(system);
    auto list = EnumerateWith(Letters{c.serialLength, 0}, system);
    ASSERT_EQ(list->driveCount, 1);
    EXPECT_STREQ(list->slots[0].optical.serialText, c.serialText) << c.serialLength;
  }
}

TEST(OpticalEnumeration, NothingIsWrittenPastTheLastSlot) {
  fake::System system;
  fake::ScopedFakeSystem install(system);
  auto list = EnumerateWith(Letters{8, kMaxDrives}, system);
  EXPECT_EQ(list->driveCount, kMaxDrives);
  EXPECT_EQ(list->selectedIndex, 0);
  EXPECT_EQ(list->request.requestedDriveNumber, 0);
  EXPECT_EQ(list->slots[kMaxDrives - 1].hard.kind, KindHardDrive);
}

}  // namespace

namespace {

TEST(PowerConditionPage, DecodedToBitsAndWholeSeconds) {
  uint8_t page[drive::kPowerConditionPageLength] = {};
  page[11] = 0x01;                  // STANDBY only
  drive::PutBe32(page + 12, 6005);  // 600.5 s: whole seconds only
  drive::PutBe32(page + 16, 0xFFFFFFFFu);
  const drive::PowerTimerSettings timers = drive::DecodePowerConditionPage(page);
  EXPECT_FALSE(timers.idleEnabled);
  EXPECT_TRUE(timers.standbyEnabled);
  EXPECT_EQ(timers.idleSeconds, 600u);
  EXPECT_EQ(timers.standbySeconds, 429496729u);  // read as the 32-bit unsigned field it is
}

}  // namespace
