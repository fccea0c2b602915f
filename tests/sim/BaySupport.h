// Helpers for the bay tests: a fixture that loads and installs a bay, and
// senders that build the platform's records by hand and call the platform
// seam, as the program does.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/SystemCalls.h"
#include "sim/Bay.h"

namespace simtest {

class BayTest : public ::testing::Test {
 protected:
  void Load(const std::string& text) {
    std::string error;
    ASSERT_TRUE(bay.LoadText(text, &error)) << error;
    install.reset();  // the old one uninstalls when it goes
    install.reset(new sim::ScopedBayInstall(bay));
  }

  HANDLE Open(const std::string& path) {
    return platform::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN);
  }

  sim::Bay bay;
  std::unique_ptr<sim::ScopedBayInstall> install;
};

struct ScsiResult {
  BOOL ok = FALSE;
  uint8_t status = 0xEE;
  uint32_t transferred = 0;   // DataTransferLength on return
  uint8_t senseLength = 0;    // SenseInfoLength on return
  std::vector<uint8_t> data;  // the whole data buffer after the call
  uint8_t sense[32] = {};
};

// One SPTD with a 12-byte CDB; the data buffer starts filled with `fill`.
inline ScsiResult SendCdb(HANDLE device, const std::vector<uint8_t>& cdb, uint32_t length,
                          UCHAR dataIn = SCSI_IOCTL_DATA_IN, uint8_t fill = 0xEE) {
  struct {
    SCSI_PASS_THROUGH_DIRECT sptd;
    UCHAR sense[32];
  } block;
  std::memset(&block, 0, sizeof block);
  ScsiResult result;
  result.data.assign(length, fill);
  block.sptd.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
  block.sptd.CdbLength = 12;
  block.sptd.SenseInfoLength = 32;
  block.sptd.DataIn = dataIn;
  block.sptd.DataTransferLength = length;
  block.sptd.TimeOutValue = 108000;
  block.sptd.DataBuffer = length ? result.data.data() : nullptr;
  block.sptd.SenseInfoOffset = offsetof(decltype(block), sense);
  std::memcpy(block.sptd.Cdb, cdb.data(), cdb.size() < 12 ? cdb.size() : 12);
  DWORD returned = 0;
  result.ok = platform::DeviceIoControl(device, IOCTL_SCSI_PASS_THROUGH_DIRECT, &block,
                                        sizeof block, &block, sizeof block, &returned);
  result.status = block.sptd.ScsiStatus;
  result.transferred = block.sptd.DataTransferLength;
  result.senseLength = block.sptd.SenseInfoLength;
  std::memcpy(result.sense, block.sense, sizeof result.sense);
  return result;
}

// One SPTD with a 12-byte CDB that sends `data` to the device (data out).
inline ScsiResult SendCdbOut(HANDLE device, const std::vector<uint8_t>& cdb,
                             const std::vector<uint8_t>& data) {
  struct {
    SCSI_PASS_THROUGH_DIRECT sptd;
    UCHAR sense[32];
  } block;
  std::memset(&block, 0, sizeof block);
  ScsiResult result;
  result.data = data;
  block.sptd.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
  block.sptd.CdbLength = 12;
  block.sptd.SenseInfoLength = 32;
  block.sptd.DataIn = SCSI_IOCTL_DATA_OUT;
  block.sptd.DataTransferLength = static_cast<ULONG>(data.size());
  block.sptd.TimeOutValue = 108000;
  block.sptd.DataBuffer = result.data.empty() ? nullptr : result.data.data();
  block.sptd.SenseInfoOffset = offsetof(decltype(block), sense);
  std::memcpy(block.sptd.Cdb, cdb.data(), cdb.size() < 12 ? cdb.size() : 12);
  DWORD returned = 0;
  result.ok = platform::DeviceIoControl(device, IOCTL_SCSI_PASS_THROUGH_DIRECT, &block,
                                        sizeof block, &block, sizeof block, &returned);
  result.status = block.sptd.ScsiStatus;
  result.transferred = block.sptd.DataTransferLength;
  result.senseLength = block.sptd.SenseInfoLength;
  std::memcpy(result.sense, block.sense, sizeof result.sense);
  return result;
}

// Sense key, ASC and ASCQ of fixed-format sense, as one value 0xKKAAQQ.
inline uint32_t SenseCode(const ScsiResult& r) {
  return (uint32_t{static_cast<uint8_t>(r.sense[2] & 0x0F)} << 16) | (uint32_t{r.sense[12]} << 8) |
         r.sense[13];
}

// The seven ATA command registers in the order of the task file.
struct Registers {
  uint8_t features, count, lbaLow, lbaMid, lbaHigh, device, command;
};

struct AtaResult {
  BOOL ok = FALSE;
  uint8_t taskFile[8] = {};  // CurrentTaskFile on return: error, count, LBA x3, device, status
  uint32_t transferred = 0;
  std::vector<uint8_t> data;
};

inline AtaResult SendAta(HANDLE device, const Registers& r, uint32_t length, USHORT flags) {
  struct {
    ATA_PASS_THROUGH_EX apt;
    UCHAR data[512];
  } block;
  std::memset(&block, 0, sizeof block);
  block.apt.Length = sizeof(ATA_PASS_THROUGH_EX);
  block.apt.AtaFlags = flags;
  block.apt.DataTransferLength = length;
  block.apt.TimeOutValue = 60;
  block.apt.DataBufferOffset = offsetof(decltype(block), data);
  const UCHAR taskFile[8] = {r.features, r.count,  r.lbaLow,  r.lbaMid,
                             r.lbaHigh,  r.device, r.command, 0};
  std::memcpy(block.apt.CurrentTaskFile, taskFile, 8);
  AtaResult result;
  DWORD returned = 0;
  result.ok = platform::DeviceIoControl(device, IOCTL_ATA_PASS_THROUGH, &block, sizeof block,
                                        &block, sizeof block, &returned);
  std::memcpy(result.taskFile, block.apt.CurrentTaskFile, 8);
  result.transferred = block.apt.DataTransferLength;
  result.data.assign(block.data, block.data + length);
  return result;
}

struct SmartResult {
  BOOL ok = FALSE;
  std::vector<uint8_t> out;  // SENDCMDOUTPARAMS head (16 bytes) and data
};

inline SmartResult SendSmart(HANDLE device, DWORD code, const Registers& r, uint32_t length) {
  std::vector<uint8_t> in(32, 0);  // SENDCMDINPARAMS up to bBuffer
  SENDCMDINPARAMS params;
  std::memset(&params, 0, sizeof params);
  params.cBufferSize = length;
  params.irDriveRegs.bFeaturesReg = r.features;
  params.irDriveRegs.bSectorCountReg = r.count;
  params.irDriveRegs.bSectorNumberReg = r.lbaLow;
  params.irDriveRegs.bCylLowReg = r.lbaMid;
  params.irDriveRegs.bCylHighReg = r.lbaHigh;
  params.irDriveRegs.bDriveHeadReg = r.device;
  params.irDriveRegs.bCommandReg = r.command;
  params.bDriveNumber = r.device;
  std::memcpy(in.data(), &params, 32);
  SmartResult result;
  result.out.assign(16 + length, 0xEE);
  DWORD returned = 0;
  result.ok = platform::DeviceIoControl(device, code, in.data(), 32, result.out.data(),
                                        static_cast<DWORD>(result.out.size()), &returned);
  return result;
}

inline uint16_t Word(const std::vector<uint8_t>& identify, int word) {
  return static_cast<uint16_t>(identify[2 * word] | (identify[2 * word + 1] << 8));
}

// Text of an IDENTIFY string field, read high byte first from each word.
inline std::string AtaText(const std::vector<uint8_t>& identify, int firstWord, int words) {
  std::string text;
  for (int w = firstWord; w < firstWord + words; ++w) {
    text.push_back(static_cast<char>(Word(identify, w) >> 8));
    text.push_back(static_cast<char>(Word(identify, w) & 0xFF));
  }
  return text;
}

constexpr Registers kIdentify = {0, 0, 0, 0, 0, 0xA0, 0xEC};
constexpr Registers kCheckPowerMode = {0, 0, 0, 0, 0, 0xA0, 0xE5};
constexpr Registers kStandbyImmediate = {0, 0, 0, 0, 0, 0xA0, 0xE0};
inline Registers SetFeatures(uint8_t subcommand, uint8_t count) {
  return {subcommand, count, 0, 0, 0, 0xA0, 0xEF};
}

}  // namespace simtest
