// ATA PASS-THROUGH (12) as a SCSI / ATA Translation layer answers it (SAT-2):
// the ATA Status Return descriptor, CK_COND, errors, and the transfer length.
#include "BaySupport.h"

namespace {

using simtest::SendCdb;

std::vector<uint8_t> Sat(uint8_t protocol, uint8_t flags, uint8_t features, uint8_t count,
                         uint8_t command) {
  const uint8_t byte1 = static_cast<uint8_t>(protocol << 1);
  return {0xA1, byte1, flags, features, count, 0x11, 0x22, 0x33, 0xA0, command, 0, 0};
}

class SatBridge : public simtest::BayTest {
 protected:
  HANDLE LoadSat(const std::string& keys = "") {
    Load("[disk 0]\nata_paths = sat12\npower_mode = idle\napm = 128\n" + keys);
    return Open("\\\\.\\PhysicalDrive0");
  }
};

TEST_F(SatBridge, CheckConditionCarriesTheStatusReturnDescriptor) {
  simtest::ScsiResult r = SendCdb(LoadSat(), Sat(3, 0x2C, 0, 0, 0xE5), 0);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.status, 0x02);
  EXPECT_EQ(r.senseLength, 22);
  const uint8_t expected[22] = {
      0x72, 0x01, 0x00, 0x1D, 0,    0,    0,    0x0E,  // RECOVERED ERROR, 00h/1Dh
      0x09, 0x0C, 0x00, 0x00,                          // descriptor 09h, length, EXTEND, error
      0x00, 0x80, 0x00, 0x11, 0x00, 0x22, 0x00, 0x33,  // count (idle), LBA low, mid, high
      0xA0, 0x50};                                     // device, status DRDY|DSC
  EXPECT_EQ(std::vector<uint8_t>(r.sense, r.sense + 22),
            std::vector<uint8_t>(expected, expected + 22));
  EXPECT_EQ(r.sense[22], 0);
}

TEST_F(SatBridge, WithoutCkCondSuccessIsGoodWithoutSense) {
  simtest::ScsiResult r = SendCdb(LoadSat(), Sat(3, 0x0C, 0x05, 64, 0xEF), 0);
  EXPECT_EQ(r.status, 0x00);
  EXPECT_EQ(r.senseLength, 0);
  EXPECT_EQ(r.sense[0], 0x00);
  EXPECT_EQ(bay.DiskApm(0).level, 64);
}

TEST_F(SatBridge, AbortedCommandReportsAbortedWithTheDescriptor) {
  for (uint8_t flags : {0x0C, 0x2C}) {
    simtest::ScsiResult r = SendCdb(LoadSat(), Sat(3, flags, 0x05, 0, 0xEF), 0);
    EXPECT_EQ(r.status, 0x02);
    EXPECT_EQ(r.sense[0], 0x72);
    EXPECT_EQ(r.sense[1], 0x0B);  // ABORTED COMMAND
    EXPECT_EQ(r.sense[2], 0x00);
    EXPECT_EQ(r.sense[3], 0x00);
    EXPECT_EQ(r.sense[8], 0x09);
    EXPECT_EQ(r.sense[11], 0x04);  // ABRT
    EXPECT_EQ(r.sense[21], 0x51);  // DRDY|DSC|ERR
  }
}

TEST_F(SatBridge, IdentifyWithLengthInZeroFeaturesMovesTheHostsLength) {
  simtest::ScsiResult r = SendCdb(LoadSat(), Sat(4, 0x0D, 0, 0, 0xEC), 512);
  EXPECT_EQ(r.status, 0x00);
  EXPECT_EQ(r.transferred, 512u);
  EXPECT_EQ(r.data[510], 0xA5);
}

TEST_F(SatBridge, StrictBridgeMovesNoDataForZeroFeatures) {
  HANDLE disk = LoadSat("sat_strict = yes\n");
  simtest::ScsiResult r = SendCdb(disk, Sat(4, 0x0D, 0, 0, 0xEC), 512);
  EXPECT_EQ(r.status, 0x00);
  EXPECT_EQ(r.transferred, 0u);
  EXPECT_EQ(r.data, std::vector<uint8_t>(512, 0xEE));
  // A length given in blocks in the count register moves the data.
  simtest::ScsiResult counted = SendCdb(disk, Sat(4, 0x0E, 0, 1, 0xEC), 512);
  EXPECT_EQ(counted.transferred, 512u);
  EXPECT_EQ(counted.data[510], 0xA5);
}

TEST_F(SatBridge, LengthInBytesIsHonoured) {
  // T_LENGTH 10b, BYTE_BLOCK 0: the count register holds 64 bytes.
  simtest::ScsiResult r = SendCdb(LoadSat(), Sat(4, 0x0A, 0, 64, 0xEC), 512);
  EXPECT_EQ(r.transferred, 64u);
  EXPECT_EQ(r.data[64], 0xEE);
}

TEST_F(SatBridge, ProtocolThatCannotCarryTheDataIsAnInvalidField) {
  HANDLE disk = LoadSat();
  for (const std::vector<uint8_t>& cdb : {Sat(3, 0x0C, 0, 0, 0xEC),     // IDENTIFY as non-data
                                          Sat(4, 0x05, 0, 0, 0xEC),     // PIO data-in with T_DIR 0
                                          Sat(0, 0x00, 0, 0, 0xE5)}) {  // hard reset
    simtest::ScsiResult r = SendCdb(disk, cdb, 512);
    EXPECT_EQ(r.status, 0x02);
    EXPECT_EQ(r.sense[0], 0x70);
    EXPECT_EQ(r.sense[2], 0x05);
    EXPECT_EQ(r.sense[12], 0x24);
  }
  EXPECT_EQ(bay.DiskPowerMode(0), 0x80);
}

}  // namespace
