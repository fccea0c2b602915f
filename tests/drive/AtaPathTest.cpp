// The bytes each ATA command path hands to the system, and how each path
// decodes what comes back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "FakeSystem.h"
#include "drive/AtaCommands.h"
#include "drive/AtaPaths.h"
#include "drive/IdentifyData.h"
#include "drive/PowerMode.h"
#include "drive/Transport.h"

namespace {

using namespace drive;

HardDriveInfo DriveOnPath(int32_t path) {
  HardDriveInfo drive = {};
  drive.deviceHandle = reinterpret_cast<HANDLE>(0x42);
  drive.kind = KindHardDrive;
  drive.ataPath = path;
  return drive;
}

std::vector<uint8_t> CdbOf(const fake::IoCall& call) {
  SCSI_PASS_THROUGH_DIRECT sptd;
  std::memcpy(&sptd, call.in.data(), sizeof sptd);
  return std::vector<uint8_t>(sptd.Cdb, sptd.Cdb + 12);
}

SCSI_PASS_THROUGH_DIRECT RecordOf(const fake::IoCall& call) {
  SCSI_PASS_THROUGH_DIRECT sptd;
  std::memcpy(&sptd, call.in.data(), sizeof sptd);
  return sptd;
}

// A SCSI device answering every command block with `status`, optional sense
// and optional data (copied into a data-in buffer).
struct ScriptedScsi {
  std::vector<uint8_t> sense;
  std::vector<std::vector<uint8_t>> dataPerCall;
  std::vector<uint8_t> statusPerCall;
  size_t call = 0;

  BOOL operator()(HANDLE, DWORD code, void*, DWORD, void* out, DWORD, DWORD*) {
    if (code != IOCTL_SCSI_PASS_THROUGH_DIRECT) return FALSE;
    auto* sptd = static_cast<SCSI_PASS_THROUGH_DIRECT*>(out);
    if (call < dataPerCall.size() && !dataPerCall[call].empty())
      std::memcpy(sptd->DataBuffer, dataPerCall[call].data(), dataPerCall[call].size());
    sptd->ScsiStatus = call < statusPerCall.size() ? statusPerCall[call] : 0;
    if (!sense.empty())
      std::memcpy(static_cast<uint8_t*>(out) + sptd->SenseInfoOffset, sense.data(), sense.size());
    ++call;
    return TRUE;
  }
};

// Descriptor-format sense carrying an ATA Status Return descriptor.
std::vector<uint8_t> StatusReturnSense(uint8_t status, uint8_t count, uint8_t error = 0) {
  std::vector<uint8_t> s(32, 0);
  s[0] = 0x72;
  s[1] = 0x01;  // RECOVERED ERROR
  s[3] = 0x1D;  // ATA pass-through information available
  s[7] = 14;
  s[8] = 0x09;
  s[9] = 0x0C;
  s[11] = error;
  s[13] = count;
  s[15] = 0x11;  // lba low
  s[17] = 0x22;  // lba mid
  s[19] = 0x33;  // lba high
  s[20] = 0xA0;
  s[21] = status;
  return s;
}

TEST(AtaSat12, CommandBlocksCarryProtocolFlagsAndRegisters) {
  struct Case {
    const char* name;
    std::function<void(const HardDriveInfo&)> send;
    std::vector<uint8_t> cdb;
    uint32_t length;
  };
  uint8_t identify[512];
  AtaTaskFile out = {};
  const Case cases[] = {
      {"IDENTIFY", [&](const HardDriveInfo& d) { AtaIdentifyDevice(d, identify, 512); },
       {0xA1, 0x08, 0x0D, 0, 0, 0, 0, 0, 0xA0, 0xEC, 0, 0}, 512},
      {"SET FEATURES 05h 96", [](const HardDriveInfo& d) { AtaSetFeatures(d, 0x05, 96); },
       {0xA1, 0x06, 0x0C, 0x05, 96, 0, 0, 0, 0xA0, 0xEF, 0, 0}, 0},
      {"CHECK POWER MODE", [&](const HardDriveInfo& d) { AtaCheckPowerMode(d, &out); },
       {0xA1, 0x06, 0x2C, 0, 0, 0, 0, 0, 0xA0, 0xE5, 0, 0}, 0},
      {"STANDBY IMMEDIATE", [](const HardDriveInfo& d) { AtaStandbyImmediate(d); },
       {0xA1, 0x06, 0x0C, 0, 0, 0, 0, 0, 0xA0, 0xE0, 0, 0}, 0},
      {"IDLE, timer 20 min", [](const HardDriveInfo& d) { AtaIdle(d, 240); },
       {0xA1, 0x06, 0x0C, 0, 240, 0, 0, 0, 0xA0, 0xE3, 0, 0}, 0},
      {"STANDBY, timer 1 h", [](const HardDriveInfo& d) { AtaStandby(d, 242); },
       {0xA1, 0x06, 0x0C, 0, 242, 0, 0, 0, 0xA0, 0xE2, 0, 0}, 0},
      // FEATURES holds the subcommand: the length is in COUNT (T_LENGTH 10b).
      {"SMART READ DATA", [&](const HardDriveInfo& d) { AtaSmartReadData(d, identify); },
       {0xA1, 0x08, 0x0E, 0xD0, 1, 0, 0x4F, 0xC2, 0xA0, 0xB0, 0, 0}, 512},
  };
  for (const Case& c : cases) {
    fake::System system;
    system.ioControl = ScriptedScsi{};
    fake::ScopedFakeSystem install(system);
    c.send(DriveOnPath(PathSat12));
    ASSERT_EQ(system.calls.size(), 1u) << c.name;
    EXPECT_EQ(CdbOf(system.calls[0]), c.cdb) << c.name;
    EXPECT_EQ(RecordOf(system.calls[0]).DataTransferLength, c.length) << c.name;
    EXPECT_EQ(RecordOf(system.calls[0]).DataIn, SCSI_IOCTL_DATA_IN) << c.name;
  }
}

// Fixed-format sense with the registers of an ATA PASS-THROUGH command, as a
// translator with D_SENSE 0 answers (VALID set or not).
std::vector<uint8_t> FixedAtaSense(uint8_t status, uint8_t count, uint8_t responseCode = 0x70) {
  std::vector<uint8_t> s(32, 0);
  s[0] = responseCode;
  s[2] = 0x01;  // RECOVERED ERROR
  s[3] = 0;     // error
  s[4] = status;
  s[5] = 0xA0;  // device
  s[6] = count;
  s[7] = 10;
  s[9] = 0x11, s[10] = 0x22, s[11] = 0x33;  // LBA low, mid, high
  s[13] = 0x1D;                             // ATA pass-through information available
  return s;
}

// The same descriptor after another one (a field replaceable unit one, 03h).
std::vector<uint8_t> SecondDescriptorSense(uint8_t status, uint8_t count) {
  std::vector<uint8_t> s = StatusReturnSense(status, count);
  s.insert(s.begin() + 8, {0x03, 0x02, 0x00, 0x01});
  s[7] += 4;
  s.resize(32);
  return s;
}

TEST(AtaSat12, CheckPowerModeReadsTheRegistersInEitherSenseFormat) {
  struct Case {
    uint8_t scsiStatus;
    std::vector<uint8_t> sense;
    bool succeeds;
    uint8_t sectorCount;
  };
  const Case cases[] = {
      {2, StatusReturnSense(0x50, 0x80), true, 0x80},           // idle
      {2, StatusReturnSense(0x50, 0x00), true, 0x00},           // standby
      {2, StatusReturnSense(0x51, 0xFF, 0x04), false, 0xFF},    // ERR: aborted
      {2, SecondDescriptorSense(0x50, 0x82), true, 0x82},       // not the first descriptor
      {2, FixedAtaSense(0x50, 0x01), true, 0x01},               // fixed, Standby_y
      {2, FixedAtaSense(0x50, 0xFF, 0xF0), true, 0xFF},         // fixed, VALID set
      {2, FixedAtaSense(0x51, 0x00), false, 0x00},              // fixed, ERR
      // No register block: a bridge that ignores CK_COND (GOOD, no sense) and
      // one that refuses the opcode (fixed-format ILLEGAL REQUEST).
      {0, {}, false, 0x99},
      {2, {0x70, 0, 0x05, 0, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0x20}, false, 0x99},
  };
  for (const Case& c : cases) {
    fake::System system;
    ScriptedScsi device;
    device.sense = c.sense;
    device.statusPerCall = {c.scsiStatus};
    system.ioControl = device;
    fake::ScopedFakeSystem install(system);
    AtaTaskFile out = {};
    out.sectorCount = 0x99;
    EXPECT_EQ(AtaCheckPowerMode(DriveOnPath(PathSat12), &out), c.succeeds);
    EXPECT_EQ(out.sectorCount, c.sectorCount);
    if (c.sense.size() > 8 && c.succeeds) {
      EXPECT_EQ(out.lbaLow, 0x11);
      EXPECT_EQ(out.lbaMid, 0x22);
      EXPECT_EQ(out.lbaHigh, 0x33);
      EXPECT_EQ(out.device, 0xA0);
    }
  }
}

// What every CHECK POWER MODE answer means, whichever path carried it.
TEST(PowerModeAnswers, ReadThroughOneTable) {
  struct Case {
    uint8_t status, count;
    bool answered, asleep;
    const char* text;
  };
  const Case cases[] = {
      {0x50, 0x00, true, true, "standby"},        {0x50, 0x01, true, true, "standby (Standby_y)"},
      {0x40, 0x40, true, false, "NV cache, spun down"},
      {0x50, 0x41, true, false, "NV cache, spinning"},
      {0x50, 0x80, true, false, "idle"},          {0x50, 0x81, true, false, "idle (Idle_a)"},
      {0x50, 0x82, true, false, "idle (Idle_b)"}, {0x50, 0x83, true, false, "idle (Idle_c)"},
      {0x50, 0xFF, true, false, "active"},
      {0x00, 0x00, false, false, nullptr},  // a block of zeros: DRDY clear
      {0xD0, 0xFF, false, false, nullptr},  // BSY: the rest means nothing
      {0x51, 0xFF, false, false, nullptr},  // ERR
      {0x50, 0x02, false, false, nullptr},  // a count ATA does not define
  };
  for (const Case& c : cases) {
    AtaTaskFile registers = {};
    registers.status = c.status;
    registers.sectorCount = c.count;
    const PowerModeAnswer answer = ReadPowerModeAnswer(registers);
    EXPECT_EQ(answer.answered, c.answered) << int(c.status) << "/" << int(c.count);
    EXPECT_EQ(answer.asleep, c.asleep) << int(c.status) << "/" << int(c.count);
    EXPECT_STREQ(answer.text, c.text) << int(c.status) << "/" << int(c.count);
  }
}

TEST(AtaSat12, FailedControlCodeFailsTheCommand) {
  fake::System system;  // no ioControl: every control code fails
  fake::ScopedFakeSystem install(system);
  AtaTaskFile out = {};
  EXPECT_FALSE(AtaCheckPowerMode(DriveOnPath(PathSat12), &out));
}

TEST(AtaSat12, WithoutRegistersOnlyGoodSucceeds) {
  fake::System system;
  ScriptedScsi device;
  device.statusPerCall = {2};
  device.sense = StatusReturnSense(0x50, 0);
  system.ioControl = device;
  fake::ScopedFakeSystem install(system);
  EXPECT_FALSE(AtaStandbyImmediate(DriveOnPath(PathSat12)));
}

TEST(AtaSmart, NoDataCommandGoesOutAsSendWithTheRegisterBlock) {
  fake::System system;
  system.ioControl = [](HANDLE, DWORD, void*, DWORD, void*, DWORD, DWORD*) -> BOOL { return TRUE; };
  fake::ScopedFakeSystem install(system);

  EXPECT_TRUE(AtaSetFeatures(DriveOnPath(PathSmart), 0x42, 0xFE));

  ASSERT_EQ(system.calls.size(), 1u);
  const fake::IoCall& call = system.calls[0];
  EXPECT_EQ(call.code, 0x7C084u);
  ASSERT_EQ(call.in.size(), 32u);
  EXPECT_EQ(call.outSize, 16u);
  const std::vector<uint8_t> expected = {
      0, 0, 0, 0,                                    // cBufferSize
      0x42, 0xFE, 0x00, 0x00, 0x00, 0xA0, 0xEF, 0,   // IDEREGS
      0xA0, 0, 0, 0,                                 // bDriveNumber, reserved
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(call.in, expected);
}

TEST(AtaSmart, IdentifyReceivesDataAfterTheOutputHead) {
  fake::System system;
  system.ioControl = [](HANDLE, DWORD, void*, DWORD, void* out, DWORD outSize, DWORD* returned)
      -> BOOL {
    auto* bytes = static_cast<uint8_t*>(out);
    for (DWORD i = 16; i < outSize; ++i) bytes[i] = static_cast<uint8_t>(i - 16);
    *returned = outSize;
    return TRUE;
  };
  fake::ScopedFakeSystem install(system);
  uint8_t identify[512] = {};

  EXPECT_TRUE(AtaIdentifyDevice(DriveOnPath(PathSmart), identify, 512));

  const fake::IoCall& call = system.calls[0];
  EXPECT_EQ(call.code, 0x7C088u);
  EXPECT_EQ(call.outSize, 528u);
  EXPECT_EQ(call.in[0] | call.in[1] << 8, 512);
  EXPECT_EQ(call.in[4 + 6], 0xEC);
  EXPECT_EQ(identify[0], 0);
  EXPECT_EQ(identify[255], 255);
  EXPECT_EQ(identify[256], 0);
}

TEST(AtaSmart, CheckPowerModeLeavesTheCallersRecordUntouched) {
  for (BOOL answer : {TRUE, FALSE}) {
    fake::System system;
    system.ioControl = [answer](HANDLE, DWORD, void*, DWORD, void*, DWORD, DWORD*) -> BOOL {
      return answer;
    };
    fake::ScopedFakeSystem install(system);
    AtaTaskFile out = {};
    out.sectorCount = 0x99;
    EXPECT_EQ(AtaCheckPowerMode(DriveOnPath(PathSmart), &out), answer == TRUE);
    EXPECT_EQ(out.sectorCount, 0x99);
  }
}

TEST(AtaPassThroughPath, IdentifyExchangesTheRecordAndData) {
  fake::System system;
  system.ioControl = [](HANDLE, DWORD, void* in, DWORD, void*, DWORD, DWORD*) -> BOOL {
    auto* bytes = static_cast<uint8_t*>(in);
    const auto* apt = static_cast<ATA_PASS_THROUGH_EX*>(in);
    std::memset(bytes + apt->DataBufferOffset, 0x3C, apt->DataTransferLength);
    return TRUE;
  };
  fake::ScopedFakeSystem install(system);
  uint8_t identify[512] = {};

  EXPECT_TRUE(AtaIdentifyDevice(DriveOnPath(PathAtaPassThrough), identify, 512));

  const fake::IoCall& call = system.calls[0];
  EXPECT_EQ(call.code, 0x4D02Cu);
  EXPECT_EQ(call.in.size(), 512u + kAtaPassThroughDataOffset);
  EXPECT_EQ(call.outSize, 512u + kAtaPassThroughDataOffset);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(call.in.size(), 556u);
  }
  ATA_PASS_THROUGH_EX apt;
  std::memcpy(&apt, call.in.data(), sizeof apt);
  EXPECT_EQ(apt.Length, sizeof(ATA_PASS_THROUGH_EX));
  EXPECT_EQ(apt.AtaFlags, ATA_FLAGS_DATA_IN);
  EXPECT_EQ(apt.DataTransferLength, 512u);
  EXPECT_EQ(apt.TimeOutValue, 60u);
  EXPECT_EQ(apt.DataBufferOffset, static_cast<ULONG_PTR>(kAtaPassThroughDataOffset));
  const uint8_t task[8] = {0, 0, 0, 0, 0, 0xA0, 0xEC, 0};
  EXPECT_EQ(0, std::memcmp(apt.CurrentTaskFile, task, 8));
  EXPECT_EQ(identify[0], 0x3C);
  EXPECT_EQ(identify[511], 0x3C);
}

TEST(AtaPassThroughPath, CheckPowerModeReportsTheRegistersTheControlCodeDecides) {
  fake::System system;
  system.ioControl = [](HANDLE, DWORD, void* in, DWORD, void*, DWORD, DWORD*) -> BOOL {
    auto* apt = static_cast<ATA_PASS_THROUGH_EX*>(in);
    EXPECT_EQ(apt->AtaFlags, ATA_FLAGS_DRDY_REQUIRED);
    apt->CurrentTaskFile[0] = 0x04;
    apt->CurrentTaskFile[1] = 0x80;
    apt->CurrentTaskFile[6] = 0x51;  // reported, not judged on this path
    return TRUE;
  };
  fake::ScopedFakeSystem install(system);
  AtaTaskFile out = {};
  EXPECT_TRUE(AtaCheckPowerMode(DriveOnPath(PathAtaPassThrough), &out));
  EXPECT_EQ(out.sectorCount, 0x80);
  EXPECT_EQ(out.status, 0x51);
  EXPECT_EQ(out.error, 0x04);
  EXPECT_EQ(out.device, 0xA0);  // as sent: the driver left it
}

TEST(AtaVendorPaths, TransferLengthFieldsAndReadBackBlocks) {
  struct Case {
    int32_t path;
    bool identify;
    std::vector<uint8_t> cdb;
  };
  const Case cases[] = {
      {PathVendorDF, true, {0xDF, 0x10, 0, 0x02, 0x00, 0, 0, 0, 0, 0, 0xA0, 0xEC}},
      {PathVendorDF, false, {0xDF, 0x10, 0, 0x00, 0x00, 0, 0, 0, 0, 0, 0xA0, 0xE5}},
      {PathVendorF8, true, {0xF8, 0, 0x22, 0x10, 1, 0, 0, 0, 0, 0, 0xA0, 0xEC}},
      {PathVendorF8, false, {0xF8, 0, 0x22, 0x10, 0, 0, 0, 0, 0, 0, 0xA0, 0xE5}},
  };
  for (const Case& c : cases) {
    fake::System system;
    system.ioControl = ScriptedScsi{};
    fake::ScopedFakeSystem install(system);
    uint8_t identify[512];
    AtaTaskFile out = {};
    const HardDriveInfo drive = DriveOnPath(c.path);
    if (c.identify) {
      EXPECT_TRUE(AtaIdentifyDevice(drive, identify, 512));
      ASSERT_EQ(system.calls.size(), 1u);  // no registers wanted: no read-back
    } else {
      EXPECT_TRUE(AtaCheckPowerMode(drive, &out));
      ASSERT_EQ(system.calls.size(), 2u);
      const std::vector<uint8_t> readBack =
          c.path == PathVendorDF
              ? std::vector<uint8_t>{0xDF, 0x10, 0, 0, 0x10, 0, 0x80, 0, 0, 0, 0, 0xFD}
              : std::vector<uint8_t>{0xF8, 0, 0x21, 0, 0, 0, 0, 0, 0, 0, 0, 0};
      EXPECT_EQ(CdbOf(system.calls[1]), readBack);
      EXPECT_EQ(RecordOf(system.calls[1]).DataTransferLength, 16u);
      EXPECT_EQ(RecordOf(system.calls[1]).DataIn, SCSI_IOCTL_DATA_IN);
    }
    EXPECT_EQ(CdbOf(system.calls[0]), c.cdb);
    EXPECT_EQ(RecordOf(system.calls[0]).DataIn, SCSI_IOCTL_DATA_IN);
    EXPECT_EQ(RecordOf(system.calls[0]).DataTransferLength, c.identify ? 512u : 0u);
  }
}

TEST(AtaVendorPaths, ReadBackDecoding) {
  const std::vector<uint8_t> none;
  std::vector<uint8_t> f8(16, 0);
  f8[1] = 0x04, f8[2] = 0x80, f8[3] = 0x11, f8[4] = 0x22, f8[5] = 0x33, f8[6] = 0xA0, f8[7] = 0x50;
  std::vector<uint8_t> df0(16, 0);  // base 0: r8 is not the device value
  df0[0] = 0x80, df0[4] = 0x22, df0[6] = 0x11, df0[9] = 0xB0, df0[10] = 0x33, df0[13] = 0x04,
  df0[14] = 0x50;
  std::vector<uint8_t> df4(16, 0);  // base 4: r8 echoes the device value
  df4[4] = 0x80, df4[8] = 0xA0, df4[9] = 0xA0, df4[10] = 0x11, df4[14] = 0x33;
  std::vector<uint8_t> df4Wide = df4;  // read again with 20 bytes: error and status
  df4Wide.resize(20);
  df4Wide[17] = 0x04, df4Wide[18] = 0x50;

  struct Case {
    int32_t path;
    std::vector<std::vector<uint8_t>> readBacks;
    AtaTaskFile expected;  // error, count, lbaLow, lbaMid, lbaHigh, device, status
  };
  const Case cases[] = {
      {PathVendorF8, {f8}, {{0x04}, 0x80, 0x11, 0x22, 0x33, 0xA0, {0x50}}},
      {PathVendorDF, {df0}, {{0x04}, 0x80, 0x11, 0x22, 0x33, 0xB0, {0x50}}},
      {PathVendorDF, {df4, df4Wide}, {{0x04}, 0x80, 0x11, 0xA0, 0x33, 0xA0, {0x50}}},
  };
  for (const Case& c : cases) {
    fake::System system;
    ScriptedScsi device;
    device.dataPerCall = {none};
    device.dataPerCall.insert(device.dataPerCall.end(), c.readBacks.begin(), c.readBacks.end());
    system.ioControl = device;
    fake::ScopedFakeSystem install(system);
    AtaTaskFile out = {};
    out.error = out.status = 0xEE;
    ASSERT_TRUE(AtaCheckPowerMode(DriveOnPath(c.path), &out));
    EXPECT_EQ(out.error, c.expected.error);
    EXPECT_EQ(out.sectorCount, c.expected.sectorCount);
    EXPECT_EQ(out.lbaLow, c.expected.lbaLow);
    EXPECT_EQ(out.lbaMid, c.expected.lbaMid);
    EXPECT_EQ(out.lbaHigh, c.expected.lbaHigh);
    EXPECT_EQ(out.device, c.expected.device);
    EXPECT_EQ(out.status, c.expected.status);
    ASSERT_EQ(system.calls.size(), 1 + c.readBacks.size());
    if (c.readBacks.size() > 1) {  // the wide read: 20 bytes, in byte 4 as well
      EXPECT_EQ(CdbOf(system.calls[2])[4], 0x14);
      EXPECT_EQ(RecordOf(system.calls[2]).DataTransferLength, 20u);
    }
  }
}

TEST(AtaVendorPaths, FailedExchangeFailsTheCommand) {
  for (int32_t path : {PathVendorDF, PathVendorF8}) {
    for (size_t failing : {0u, 1u}) {
      fake::System system;
      ScriptedScsi device;
      device.statusPerCall = {0, 0};
      device.statusPerCall[failing] = 2;
      system.ioControl = device;
      fake::ScopedFakeSystem install(system);
      AtaTaskFile out = {};
      EXPECT_FALSE(AtaCheckPowerMode(DriveOnPath(path), &out)) << path << " " << failing;
    }
  }
  // A block at base 4 whose error and status need the 20-byte read, refused.
  fake::System system;
  ScriptedScsi device;
  std::vector<uint8_t> base4(16, 0);
  base4[8] = 0xA0;
  device.dataPerCall = {{}, base4};
  device.statusPerCall = {0, 0, 2};
  system.ioControl = device;
  fake::ScopedFakeSystem install(system);
  AtaTaskFile out = {};
  EXPECT_FALSE(AtaCheckPowerMode(DriveOnPath(PathVendorDF), &out));
  EXPECT_EQ(system.calls.size(), 3u);
}

TEST(AtaExecute, PathsWithoutAWayToTheDriveSendNothing) {
  for (int32_t path : {int32_t{PathNone}, int32_t{PathReserved}, 7, -1}) {
    fake::System system;
    system.ioControl = [](HANDLE, DWORD, void*, DWORD, void*, DWORD, DWORD*) -> BOOL {
      return TRUE;
    };
    fake::ScopedFakeSystem install(system);
    const HardDriveInfo drive = DriveOnPath(path);
    uint8_t identify[512];
    AtaTaskFile out = {};
    EXPECT_FALSE(AtaSetFeatures(drive, 0x05, 128)) << path;
    EXPECT_FALSE(AtaIdentifyDevice(drive, identify, 512)) << path;
    EXPECT_FALSE(AtaCheckPowerMode(drive, &out)) << path;
    EXPECT_FALSE(AtaStandbyImmediate(drive)) << path;
    EXPECT_TRUE(system.calls.empty()) << path;
  }
}

TEST(AtaDataClass, OnlyIdentifyAndSmartReadDataMoveData) {
  for (int code = 0; code < 256; ++code)
    EXPECT_EQ(AtaDataClassTable[code], code == 0xEC || code == 0xB0 ? AtaDataIn : AtaNoData) << code;
}

TEST(AtaProbe, TriesThePathsInOrderAndKeepsNoneWhenAllFail) {
  fake::System system;
  std::vector<std::string> tried;
  system.ioControl = [&](HANDLE, DWORD code, void*, DWORD, void* out, DWORD, DWORD*) -> BOOL {
    if (code == IOCTL_SCSI_PASS_THROUGH_DIRECT) {
      auto* sptd = static_cast<SCSI_PASS_THROUGH_DIRECT*>(out);
      char opcode[8];
      std::snprintf(opcode, sizeof opcode, "%02X", sptd->Cdb[0]);
      tried.push_back(opcode);
      sptd->ScsiStatus = 2;  // ILLEGAL REQUEST, say
      return TRUE;
    }
    tried.push_back(code == IOCTL_ATA_PASS_THROUGH ? "ATA" : code == SMART_RCV_DRIVE_DATA ? "SMART"
                                                                                          : "?");
    return FALSE;
  };
  fake::ScopedFakeSystem install(system);
  HardDriveInfo drive = DriveOnPath(PathSmart);

  EXPECT_FALSE(ProbeAtaCommandPath(drive));
  EXPECT_EQ(drive.ataPath, PathNone);
  // The power mode first, on each path that returns registers; then
  // IDENTIFY, SMART last.
  EXPECT_EQ(tried, (std::vector<std::string>{"ATA", "A1", "DF", "F8", "ATA", "A1", "DF", "F8",
                                             "SMART"}));
}

TEST(AtaProbe, SatOnlyDiskIsFoundByItsPowerModeAndIdentifiedOnce) {
  fake::System system;
  int controlCodesRefused = 0;
  system.ioControl = [&](HANDLE, DWORD code, void*, DWORD, void* out, DWORD, DWORD*) -> BOOL {
    if (code != IOCTL_SCSI_PASS_THROUGH_DIRECT) {
      ++controlCodesRefused;
      return FALSE;
    }
    auto* sptd = static_cast<SCSI_PASS_THROUGH_DIRECT*>(out);
    if (sptd->Cdb[0] == 0xA1 && (sptd->Cdb[2] & 0x20)) {  // CK_COND: active, in the sense
      const std::vector<uint8_t> sense = StatusReturnSense(0x50, 0xFF);
      std::memcpy(static_cast<uint8_t*>(out) + sptd->SenseInfoOffset, sense.data(), 32);
      sptd->ScsiStatus = 2;
    } else if (sptd->Cdb[0] == 0xA1) {  // IDENTIFY, with a model number in words 27-46
      static_cast<uint8_t*>(sptd->DataBuffer)[2 * 27] = 'M';
    }
    return TRUE;
  };
  fake::ScopedFakeSystem install(system);
  HardDriveInfo drive = DriveOnPath(PathNone);
  uint8_t identify[512];

  EXPECT_EQ(ProbeAtaPath(drive, identify), ProbeIdentified);
  EXPECT_EQ(drive.ataPath, PathSat12);
  EXPECT_EQ(identify[2 * 27], 'M');
  EXPECT_EQ(controlCodesRefused, 1);  // IOCTL_ATA_PASS_THROUGH only: SMART is never asked
  EXPECT_EQ(system.calls.size(), 3u);
}

// A bridge that answers GOOD but moves no data (a strictly read SAT, whose
// T_LENGTH names FEATURES, here 0) leaves the buffer empty: that is no
// identify data, and the probe goes on to the next path.
TEST(AtaProbe, GoodWithoutIdentifyDataIsNotAPath) {
  fake::System system;
  std::vector<uint8_t> answerFor[256];  // what each opcode's data phase brings, by CDB byte 0
  std::vector<uint8_t> identify(512, 0);
  identify[2 * 10] = '7';  // a serial number alone is identify data
  answerFor[0xF8] = identify;
  system.ioControl = [&](HANDLE, DWORD code, void*, DWORD, void* out, DWORD, DWORD*) -> BOOL {
    if (code != IOCTL_SCSI_PASS_THROUGH_DIRECT) return FALSE;
    auto* sptd = static_cast<SCSI_PASS_THROUGH_DIRECT*>(out);
    const std::vector<uint8_t>& data = answerFor[sptd->Cdb[0]];
    if (sptd->DataBuffer && !data.empty())
      std::memcpy(sptd->DataBuffer, data.data(), std::min<size_t>(data.size(), sptd->DataTransferLength));
    return TRUE;  // GOOD for A1h, DFh and F8h alike
  };
  fake::ScopedFakeSystem install(system);
  HardDriveInfo drive = DriveOnPath(PathNone);
  EXPECT_TRUE(ProbeAtaCommandPath(drive));
  EXPECT_EQ(drive.ataPath, PathVendorF8);
}

TEST(IdentifyData, ChecksumDecidesWhenTheSignatureIsThere) {
  uint8_t data[512] = {};
  EXPECT_FALSE(CarriesIdentifyData(data));  // an empty buffer
  data[2 * 27 + 1] = 'X';                    // a model number
  EXPECT_TRUE(CarriesIdentifyData(data));
  data[510] = 0xA5;  // signature, checksum not matching
  EXPECT_FALSE(CarriesIdentifyData(data));
  data[511] = static_cast<uint8_t>(0 - 'X' - 0xA5);  // checksum: all bytes sum to 0
  EXPECT_TRUE(CarriesIdentifyData(data));
  std::memset(data, 0, sizeof data);
  data[2 * 100] = 1;  // something elsewhere, but neither model nor serial
  EXPECT_FALSE(CarriesIdentifyData(data));
}

}  // namespace
