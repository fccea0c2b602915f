// A disk's SCSI answers through IOCTL_SCSI_PASS_THROUGH_DIRECT: INQUIRY,
// READ CAPACITY(10), and what a disk does with commands it does not know.
#include "BaySupport.h"

namespace {

using simtest::SendCdb;

const std::vector<uint8_t> kInquiry68 = {0x12, 0, 0, 0, 68, 0, 0, 0, 0, 0, 0, 0};
const std::vector<uint8_t> kReadCapacity = {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

class ScsiDisk : public simtest::BayTest {};

TEST_F(ScsiDisk, InquiryAnswersStandardDataCutToTheAllocationLength) {
  Load("[disk 1]\nvendor = ACME\nproduct = AD5000AKSX-00V1A\nrevision = 01.0\nremovable = yes\n");
  HANDLE disk = Open("\\\\.\\PhysicalDrive1");
  simtest::ScsiResult r = SendCdb(disk, kInquiry68, 68);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.status, 0x00);
  EXPECT_EQ(r.transferred, 36u);  // the device sends 36 bytes of 68 asked for
  EXPECT_EQ(r.data[0], 0x00);     // direct-access device
  EXPECT_EQ(r.data[1], 0x80);     // RMB
  EXPECT_EQ(r.data[4], 31);       // additional length
  EXPECT_EQ(std::string(r.data.begin() + 8, r.data.begin() + 36), "ACME    AD5000AKSX-00V1A01.0");
  EXPECT_EQ(r.data[36], 0xEE);  // beyond the answer the buffer is untouched

  simtest::ScsiResult cut = SendCdb(disk, {0x12, 0, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0}, 68);
  EXPECT_EQ(cut.transferred, 12u);
  EXPECT_EQ(cut.data[12], 0xEE);
}

TEST_F(ScsiDisk, InquiryReportsTheConfiguredDeviceType) {
  Load("[disk 0]\ntype = 5\n");
  simtest::ScsiResult r = SendCdb(Open("\\\\.\\PhysicalDrive0"), kInquiry68, 68);
  EXPECT_EQ(r.data[0], 0x05);
  EXPECT_EQ(r.data[1], 0x00);
}

TEST_F(ScsiDisk, ReadCapacityIsBigEndian) {
  Load("[disk 0]\nlast_lba = 0x80000001\nblock_length = 4096\n");
  simtest::ScsiResult r = SendCdb(Open("\\\\.\\PhysicalDrive0"), kReadCapacity, 8);
  ASSERT_EQ(r.status, 0x00);
  const std::vector<uint8_t> expected = {0x80, 0x00, 0x00, 0x01, 0x00, 0x00, 0x10, 0x00};
  EXPECT_EQ(r.data, expected);
  EXPECT_EQ(r.transferred, 8u);
}

struct FailingCommand {
  const char* bay;
  std::vector<uint8_t> cdb;
  uint8_t key, asc, ascq;
};

class ScsiDiskSense : public simtest::BayTest,
                      public ::testing::WithParamInterface<FailingCommand> {};

TEST_P(ScsiDiskSense, CheckConditionWithFixedSense) {
  Load(GetParam().bay);
  simtest::ScsiResult r = SendCdb(Open("\\\\.\\PhysicalDrive0"), GetParam().cdb, 16);
  ASSERT_TRUE(r.ok);  // delivered: the control code succeeds
  EXPECT_EQ(r.status, 0x02);
  EXPECT_EQ(r.transferred, 0u);
  EXPECT_EQ(r.senseLength, 18);
  EXPECT_EQ(r.sense[0], 0x70);
  EXPECT_EQ(r.sense[2], GetParam().key);
  EXPECT_EQ(r.sense[7], 0x0A);
  EXPECT_EQ(r.sense[12], GetParam().asc);
  EXPECT_EQ(r.sense[13], GetParam().ascq);
  EXPECT_EQ(r.data, std::vector<uint8_t>(16, 0xEE));
}

const std::vector<uint8_t> kSatIdentify = {0xA1, 0x08, 0x0E, 0, 0, 0, 0, 0, 0xA0, 0xEC, 0, 0};
const std::vector<uint8_t> kDfIdentify = {0xDF, 0x10, 0, 0x02, 0, 0, 0, 0, 0, 0, 0xA0, 0xEC};
const std::vector<uint8_t> kF8Identify = {0xF8, 0, 0x22, 0x10, 1, 0, 0, 0, 0, 0, 0xA0, 0xEC};
const std::vector<uint8_t> kModeSense = {0x5A, 0x10, 0x2A, 0, 0, 0, 0, 0, 32, 0, 0, 0};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Bay, ScsiDiskSense,
    ::testing::Values(
        FailingCommand{"[disk 0]\nread_capacity = no_medium\n", kReadCapacity, 0x02, 0x3A, 0},
        FailingCommand{"[disk 0]\nread_capacity = unsupported\n", kReadCapacity, 0x05, 0x20, 0},
        FailingCommand{"[disk 0]\ninquiry = fail\n", kInquiry68, 0x04, 0x44, 0},
        FailingCommand{"[disk 0]\n", kModeSense, 0x05, 0x20, 0},
        // Bridge commands the disk does not honour are unknown opcodes too.
        FailingCommand{"[disk 0]\nata_paths = vendor_f8\n", kSatIdentify, 0x05, 0x20, 0},
        FailingCommand{"[disk 0]\nata_paths = sat12\n", kDfIdentify, 0x05, 0x20, 0},
        FailingCommand{"[disk 0]\nata_paths = sat12\n", kF8Identify, 0x05, 0x20, 0}));
// clang-format on

TEST_F(ScsiDisk, DriverWithoutPassThroughFailsTheControlCode) {
  Load("[disk 0]\nscsi_pass_through = no\n");
  simtest::ScsiResult r = SendCdb(Open("\\\\.\\PhysicalDrive0"), kInquiry68, 68);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.data[0], 0xEE);
}

TEST_F(ScsiDisk, RecordOfAnotherSizeIsRefused) {
  Load("[disk 0]\n");
  struct {
    SCSI_PASS_THROUGH_DIRECT sptd;
    UCHAR sense[32];
  } block = {};
  uint8_t data[68];
  block.sptd.Length = sizeof(SCSI_PASS_THROUGH_DIRECT) - 4;
  block.sptd.CdbLength = 12;
  block.sptd.DataIn = SCSI_IOCTL_DATA_IN;
  block.sptd.DataTransferLength = 68;
  block.sptd.DataBuffer = data;
  block.sptd.Cdb[0] = 0x12;
  block.sptd.Cdb[4] = 68;
  DWORD returned;
  EXPECT_FALSE(platform::DeviceIoControl(Open("\\\\.\\PhysicalDrive0"),
                                         IOCTL_SCSI_PASS_THROUGH_DIRECT, &block, sizeof block,
                                         &block, sizeof block, &returned));
}

TEST_F(ScsiDisk, DataOutDirectionGetsNoDataIn) {
  Load("[disk 0]\n");
  simtest::ScsiResult r =
      SendCdb(Open("\\\\.\\PhysicalDrive0"), kInquiry68, 68, SCSI_IOCTL_DATA_OUT);
  EXPECT_EQ(r.status, 0x00);
  EXPECT_EQ(r.transferred, 0u);
  EXPECT_EQ(r.data[0], 0xEE);
}

}  // namespace
