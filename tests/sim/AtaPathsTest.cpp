// The ATA device reached over each of the five command paths: IDENTIFY,
// SET FEATURES with the drive's refusals, CHECK POWER MODE and STANDBY
// IMMEDIATE, each path reporting the outcome its own way.
#include "BaySupport.h"

namespace {

using simtest::Registers;

// What one ATA command gave over a path.
struct Outcome {
  bool ok = false;            // the path reported success
  bool hasRegisters = false;  // the path returned the registers below
  uint8_t error = 0, count = 0, status = 0;
  std::vector<uint8_t> data;
};

Outcome ViaSmart(HANDLE disk, const Registers& r, bool dataIn) {
  simtest::SmartResult s = simtest::SendSmart(
      disk, dataIn ? SMART_RCV_DRIVE_DATA : SMART_SEND_DRIVE_COMMAND, r, dataIn ? 512 : 0);
  Outcome o;
  o.ok = s.ok;
  if (!s.ok && s.out[4] == 1) {  // DRIVERSTATUS: SMART_IDE_ERROR and the error register
    o.hasRegisters = true;
    o.error = s.out[5];
    o.status = 0x01;
  }
  if (dataIn) o.data.assign(s.out.begin() + 16, s.out.end());
  return o;
}

Outcome ViaAtaPassThrough(HANDLE disk, const Registers& r, bool dataIn) {
  simtest::AtaResult a = simtest::SendAta(disk, r, dataIn ? 512 : 0,
                                          dataIn ? ATA_FLAGS_DATA_IN : ATA_FLAGS_DRDY_REQUIRED);
  Outcome o;
  o.ok = a.ok && !(a.taskFile[6] & 0x01);
  o.hasRegisters = a.ok;
  o.error = a.taskFile[0];
  o.count = a.taskFile[1];
  o.status = a.taskFile[6];
  o.data = a.data;
  return o;
}

Outcome ViaSat12(HANDLE disk, const Registers& r, bool dataIn) {
  // PIO data-in or non-data; CK_COND, T_DIR, BYTE_BLOCK; T_LENGTH 01 with data.
  const uint8_t protocol = static_cast<uint8_t>(dataIn ? 4 << 1 : 3 << 1);
  const uint8_t flags = dataIn ? 0x2D : 0x2C;
  const std::vector<uint8_t> cdb = {0xA1,      protocol,  flags,     r.features, r.count, r.lbaLow,
                                    r.lbaMid, r.lbaHigh, r.device, r.command,  0,       0};
  simtest::ScsiResult s = simtest::SendCdb(disk, cdb, dataIn ? 512 : 0);
  Outcome o;
  o.hasRegisters = s.ok && s.sense[0] == 0x72 && s.sense[8] == 0x09;
  o.error = s.sense[11];
  o.count = s.sense[13];
  o.status = s.sense[21];
  o.ok = o.hasRegisters && !(o.status & 0x01);
  o.data = s.data;
  return o;
}

Outcome ViaVendor(HANDLE disk, const Registers& r, bool dataIn, bool df) {
  std::vector<uint8_t> command;
  std::vector<uint8_t> readBack;
  if (df) {
    const uint8_t length = dataIn ? 2 : 0;  // 512 bytes, high byte first
    command = {0xDF,    0x10,     0,       length,  0,        r.features,
               r.count, r.lbaLow, r.lbaMid, r.lbaHigh, r.device, r.command};
    readBack = {0xDF, 0x10, 0, 0, 0x10, 0, 0x80, 0, 0, 0, 0, 0xFD};
  } else {
    const uint8_t blocks = dataIn ? 1 : 0;
    command = {0xF8,    0x00,     0x22,     0x10,      blocks,   r.features,
               r.count, r.lbaLow, r.lbaMid, r.lbaHigh, r.device, r.command};
    readBack = {0xF8, 0, 0x21, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  }
  simtest::ScsiResult c = simtest::SendCdb(disk, command, dataIn ? 512 : 0);
  simtest::ScsiResult b = simtest::SendCdb(disk, readBack, 16);
  Outcome o;
  o.hasRegisters = c.ok && c.status == 0 && b.ok && b.status == 0;
  o.error = df ? b.data[13] : b.data[1];
  o.count = df ? b.data[0] : b.data[2];
  o.status = df ? b.data[14] : b.data[7];
  o.ok = o.hasRegisters && !(o.status & 0x01);
  o.data = c.data;
  return o;
}

struct Path {
  const char* name;  // as ata_paths names it
  Outcome (*send)(HANDLE, const Registers&, bool);
  bool registersOnSuccess;
};

const Path kPaths[] = {
    {"smart", ViaSmart, false},
    {"ata_pass_through", ViaAtaPassThrough, true},
    {"sat12", ViaSat12, true},
    {"vendor_df", [](HANDLE d, const Registers& r, bool in) { return ViaVendor(d, r, in, true); },
     true},
    {"vendor_f8", [](HANDLE d, const Registers& r, bool in) { return ViaVendor(d, r, in, false); },
     true},
};

class AtaPath : public simtest::BayTest, public ::testing::WithParamInterface<Path> {
 protected:
  // Disk 0 honours only the path under test.
  HANDLE LoadDisk(const std::string& keys) {
    Load(std::string("[disk 0]\nmodel = ACMEDISK AD501L\nserial = S0MUJ1KP123456\nata_paths = ") +
         GetParam().name + "\n" + keys);
    return Open("\\\\.\\PhysicalDrive0");
  }
  Outcome Send(HANDLE disk, const Registers& r, bool dataIn = false) {
    return GetParam().send(disk, r, dataIn);
  }
};

TEST_P(AtaPath, IdentifyArrivesWhole) {
  HANDLE disk = LoadDisk("apm = 192\n");
  Outcome o = Send(disk, simtest::kIdentify, true);
  ASSERT_TRUE(o.ok);
  ASSERT_EQ(o.data.size(), 512u);
  EXPECT_EQ(simtest::AtaText(o.data, 27, 20).substr(0, 16), "ACMEDISK AD501L ");
  EXPECT_EQ(simtest::AtaText(o.data, 10, 10), "S0MUJ1KP123456      ");
  EXPECT_EQ(simtest::Word(o.data, 91), 192);
  EXPECT_EQ(o.data[510], 0xA5);
}

TEST_P(AtaPath, SetFeaturesChangesTheDrive) {
  HANDLE disk = LoadDisk("apm = 254\naam = 254\n");
  EXPECT_TRUE(Send(disk, simtest::SetFeatures(0x05, 96)).ok);
  EXPECT_TRUE(Send(disk, simtest::SetFeatures(0xC2, 0)).ok);
  sim::Bay::FeatureState apm = bay.DiskApm(0);
  sim::Bay::FeatureState aam = bay.DiskAam(0);
  EXPECT_TRUE(apm.enabled);
  EXPECT_EQ(apm.level, 96);
  EXPECT_TRUE(aam.supported);
  EXPECT_FALSE(aam.enabled);
  Outcome id = Send(disk, simtest::kIdentify, true);
  EXPECT_EQ(simtest::Word(id.data, 86) & 0x0208, 0x0008);
  EXPECT_EQ(simtest::Word(id.data, 91), 96);
  EXPECT_EQ(bay.DiskPowerMode(0), 0xFF);  // SET FEATURES and IDENTIFY leave the power mode
}

TEST_P(AtaPath, RefusedSetFeaturesAbortsAndKeepsTheState) {
  HANDLE disk = LoadDisk("apm = 128\naam = disabled\n");
  const Registers refused[] = {
      simtest::SetFeatures(0x05, 0),   simtest::SetFeatures(0x05, 255),
      simtest::SetFeatures(0x42, 127), simtest::SetFeatures(0x42, 255),
      simtest::SetFeatures(0x66, 0),   {0, 0, 0, 0, 0, 0xA0, 0x42},  // no such command
  };
  for (const Registers& r : refused) {
    Outcome o = Send(disk, r);
    EXPECT_FALSE(o.ok) << std::hex << int(r.features) << " " << int(r.count);
    ASSERT_TRUE(o.hasRegisters);
    EXPECT_EQ(o.error, 0x04);          // ABRT
    EXPECT_EQ(o.status & 0x01, 0x01);  // ERR
  }
  EXPECT_EQ(bay.DiskApm(0).level, 128);
  EXPECT_FALSE(bay.DiskAam(0).enabled);
}

TEST_P(AtaPath, FeatureSetTheDriveLacksIsRefused) {
  HANDLE disk = LoadDisk("apm = unsupported\naam = unsupported\n");
  for (uint8_t sub : {0x05, 0x85, 0x42, 0xC2}) {
    Outcome o = Send(disk, simtest::SetFeatures(sub, 0x80));
    EXPECT_FALSE(o.ok) << int(sub);
    EXPECT_EQ(o.error, 0x04);
  }
}

TEST_P(AtaPath, CheckPowerModeAndStandbyImmediate) {
  for (const char* mode : {"active", "idle", "standby"}) {
    HANDLE disk = LoadDisk(std::string("power_mode = ") + mode + "\n");
    Outcome o = Send(disk, simtest::kCheckPowerMode);
    EXPECT_TRUE(o.ok);
    const uint8_t expected = mode[0] == 'a' ? 0xFF : mode[0] == 'i' ? 0x80 : 0x00;
    if (GetParam().registersOnSuccess) {
      EXPECT_EQ(o.count, expected) << mode;
    }
    EXPECT_EQ(bay.DiskPowerMode(0), expected);
  }
  HANDLE disk = LoadDisk("power_mode = idle\n");
  EXPECT_TRUE(Send(disk, simtest::kStandbyImmediate).ok);
  EXPECT_EQ(bay.DiskPowerMode(0), 0x00);
  Send(disk, simtest::kIdentify, true);
  EXPECT_EQ(bay.DiskPowerMode(0), 0x00);  // IDENTIFY does not wake the drive
}

INSTANTIATE_TEST_SUITE_P(Bay, AtaPath, ::testing::ValuesIn(kPaths),
                         [](const ::testing::TestParamInfo<Path>& info) {
                           return std::string(info.param.name);
                         });

class AtaPathChoice : public simtest::BayTest {};

// Paths a disk does not honour fail as the driver or the device does.
TEST_F(AtaPathChoice, PathsNotHonoured) {
  Load("[disk 0]\nata_paths = none\n");
  HANDLE disk = Open("\\\\.\\PhysicalDrive0");
  EXPECT_FALSE(simtest::SendAta(disk, simtest::kIdentify, 512, ATA_FLAGS_DATA_IN).ok);
  simtest::SmartResult smart =
      simtest::SendSmart(disk, SMART_RCV_DRIVE_DATA, simtest::kIdentify, 512);
  EXPECT_FALSE(smart.ok);
  EXPECT_EQ(smart.out[16], 0xEE);  // no data written
  EXPECT_FALSE(ViaSat12(disk, simtest::kIdentify, true).hasRegisters);
}

TEST_F(AtaPathChoice, SmartFilterPassesOnlyIdentifyAndSmart) {
  Load("[disk 0]\nata_paths = smart\nsmart_filter = yes\napm = 128\n");
  HANDLE disk = Open("\\\\.\\PhysicalDrive0");
  EXPECT_TRUE(ViaSmart(disk, simtest::kIdentify, true).ok);
  Outcome o = ViaSmart(disk, simtest::SetFeatures(0x05, 64), false);
  EXPECT_FALSE(o.ok);
  EXPECT_FALSE(o.hasRegisters);  // refused by the driver, not aborted by the drive
  EXPECT_EQ(bay.DiskApm(0).level, 128);
}

}  // namespace
