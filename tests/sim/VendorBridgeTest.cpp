// The USB bridges' vendor command blocks DFh and F8h and their register
// read-backs, byte by byte.
#include "BaySupport.h"

namespace {

using simtest::SendCdb;

const std::vector<uint8_t> kDfReadBack = {0xDF, 0x10, 0, 0, 0x10, 0, 0x80, 0, 0, 0, 0, 0xFD};
const std::vector<uint8_t> kF8ReadBack = {0xF8, 0, 0x21, 0, 0, 0, 0, 0, 0, 0, 0, 0};
// CHECK POWER MODE with recognisable LBA registers.
// clang-format off
const std::vector<uint8_t> kDfCheckPower =
    {0xDF, 0x10, 0, 0, 0, 0, 0, 0x11, 0x22, 0x33, 0xA0, 0xE5};
const std::vector<uint8_t> kF8CheckPower =
    {0xF8, 0, 0x22, 0x10, 0, 0, 0, 0x11, 0x22, 0x33, 0xA0, 0xE5};
// clang-format on

class VendorBridge : public simtest::BayTest {};

TEST_F(VendorBridge, DfReadBackAtBaseZero) {
  Load("[disk 0]\nata_paths = vendor_df\npower_mode = idle\n");
  HANDLE disk = Open("\\\\.\\PhysicalDrive0");
  EXPECT_EQ(SendCdb(disk, kDfCheckPower, 0).status, 0x00);
  simtest::ScsiResult r = SendCdb(disk, kDfReadBack, 16);
  ASSERT_EQ(r.status, 0x00);
  EXPECT_EQ(r.transferred, 16u);
  const std::vector<uint8_t> expected = {0x80, 0,    0,    0, 0x22, 0,    0x11, 0,
                                         0x00, 0xA0, 0x33, 0, 0,    0x00, 0x50, 0};
  EXPECT_EQ(r.data, expected);
}

TEST_F(VendorBridge, DfReadBackAtBaseFour) {
  Load("[disk 0]\nata_paths = vendor_df\ndf_layout = 4\n");
  HANDLE disk = Open("\\\\.\\PhysicalDrive0");
  SendCdb(disk, {0xDF, 0x10, 0, 0, 0, 0x05, 0, 0x11, 0x22, 0x33, 0xA0, 0xEF}, 0);  // APM 0: refused
  simtest::ScsiResult r = SendCdb(disk, {0xDF, 0x10, 0, 0, 0x14, 0, 0x80, 0, 0, 0, 0, 0xFD}, 20);
  ASSERT_EQ(r.transferred, 20u);
  const std::vector<uint8_t> expected = {0,    0, 0, 0, 0x00, 0, 0, 0,    0xA0, 0xA0,
                                         0x11, 0, 0, 0, 0x33, 0, 0, 0x04, 0x51, 0};
  EXPECT_EQ(r.data, expected);
}

TEST_F(VendorBridge, DfCommandIsGoodEvenWhenTheDriveAborts) {
  Load("[disk 0]\nata_paths = vendor_df\n");
  simtest::ScsiResult r = SendCdb(Open("\\\\.\\PhysicalDrive0"),
                                  {0xDF, 0x10, 0, 0, 0, 0x42, 0x7F, 0, 0, 0, 0xA0, 0xEF}, 0);
  EXPECT_EQ(r.status, 0x00);  // the outcome is in the register file only
}

TEST_F(VendorBridge, F8ReadBack) {
  Load("[disk 0]\nata_paths = vendor_f8\npower_mode = standby\n");
  HANDLE disk = Open("\\\\.\\PhysicalDrive0");
  EXPECT_EQ(SendCdb(disk, kF8CheckPower, 0).status, 0x00);
  simtest::ScsiResult r = SendCdb(disk, kF8ReadBack, 16);
  const std::vector<uint8_t> expected = {0, 0x00, 0x00, 0x11, 0x22, 0x33, 0xA0, 0x50,
                                         0, 0,    0,    0,    0,    0,    0,    0};
  EXPECT_EQ(r.data, expected);
}

TEST_F(VendorBridge, F8MovesWholeBlocksOnly) {
  Load("[disk 0]\nata_paths = vendor_f8\n");
  HANDLE disk = Open("\\\\.\\PhysicalDrive0");
  simtest::ScsiResult none =
      SendCdb(disk, {0xF8, 0, 0x22, 0x10, 0, 0, 0, 0, 0, 0, 0xA0, 0xEC}, 512);
  EXPECT_EQ(none.transferred, 0u);
  simtest::ScsiResult one = SendCdb(disk, {0xF8, 0, 0x22, 0x10, 1, 0, 0, 0, 0, 0, 0xA0, 0xEC}, 512);
  EXPECT_EQ(one.transferred, 512u);
  EXPECT_EQ(one.data[510], 0xA5);
  simtest::ScsiResult bad = SendCdb(disk, {0xF8, 0, 0x23, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 16);
  EXPECT_EQ(bad.status, 0x02);
  EXPECT_EQ(bad.sense[12], 0x24);  // INVALID FIELD IN CDB
}

}  // namespace
