#include "drive/AtaPaths.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

#include "drive/Bytes.h"
#include "drive/Transport.h"
#include "platform/SystemCalls.h"

namespace drive {

namespace {

// ---------------------------------------------------------------------------
// PathSmart: the drive-command control codes. No registers come back.
// ---------------------------------------------------------------------------
constexpr DWORD kSmartInSize = offsetof(SENDCMDINPARAMS, bBuffer);    // 32
constexpr DWORD kSmartOutHead = offsetof(SENDCMDOUTPARAMS, bBuffer);  // 16

bool SendSmart(HANDLE device, const AtaTaskFile& in, uint32_t dataClass, void* data, int length,
               AtaTaskFile* /*output*/) {
  SENDCMDINPARAMS params;
  std::memset(&params, 0, sizeof params);
  params.cBufferSize = static_cast<DWORD>(length);
  params.irDriveRegs.bFeaturesReg = in.features;
  params.irDriveRegs.bSectorCountReg = in.sectorCount;
  params.irDriveRegs.bSectorNumberReg = 0;  // the LBA low byte is not carried here
  params.irDriveRegs.bCylLowReg = in.lbaMid;
  params.irDriveRegs.bCylHighReg = in.lbaHigh;
  params.irDriveRegs.bDriveHeadReg = in.device;
  params.irDriveRegs.bCommandReg = in.command;
  params.bDriveNumber = in.device;

  // Output: SENDCMDOUTPARAMS head, then the data (one spare byte, as the
  // record's own one-byte buffer has it).
  std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[length + 17]);
  if (!out) return false;
  std::memset(out.get(), 0, length + 17);

  const DWORD code = dataClass == AtaNoData ? SMART_SEND_DRIVE_COMMAND : SMART_RCV_DRIVE_DATA;
  DWORD returned = 0;
  if (!platform::DeviceIoControl(device, code, &params, kSmartInSize, out.get(),
                                 kSmartOutHead + length, &returned)) {
    return false;
  }
  if (data != nullptr && length > 0) std::memcpy(data, out.get() + kSmartOutHead, length);
  return true;
}

// ---------------------------------------------------------------------------
// PathAtaPassThrough: IOCTL_ATA_PASS_THROUGH. The driver hands the registers
// back in the same task file; success is the control code's.
// ---------------------------------------------------------------------------
struct AtaPassThroughBuffer {
  ATA_PASS_THROUGH_EX apt;
  ULONG filler;
  UCHAR data[kAtaPassThroughMaxData];
};
static_assert(sizeof(void*) != 4 || offsetof(AtaPassThroughBuffer, data) == 44,
              "32-bit ATA pass-through data offset");

constexpr uint32_t kAtaPassThroughTimeout = 60;  // seconds

bool SendAtaPassThrough(HANDLE device, const AtaTaskFile& in, uint32_t dataClass, void* data,
                        int length, AtaTaskFile* output) {
  if (length > kAtaPassThroughMaxData) return false;
  AtaPassThroughBuffer block;
  std::memset(&block, 0, sizeof block);

  ATA_PASS_THROUGH_EX& apt = block.apt;
  apt.Length = sizeof(ATA_PASS_THROUGH_EX);
  apt.AtaFlags = dataClass == AtaDataIn    ? ATA_FLAGS_DATA_IN
                 : dataClass == AtaDataOut ? ATA_FLAGS_DATA_OUT
                                           : ATA_FLAGS_DRDY_REQUIRED;
  apt.DataTransferLength = static_cast<ULONG>(length);
  apt.TimeOutValue = kAtaPassThroughTimeout;
  apt.DataBufferOffset = offsetof(AtaPassThroughBuffer, data);
  apt.CurrentTaskFile[0] = in.features;
  apt.CurrentTaskFile[1] = in.sectorCount;
  apt.CurrentTaskFile[2] = in.lbaLow;
  apt.CurrentTaskFile[3] = in.lbaMid;
  apt.CurrentTaskFile[4] = in.lbaHigh;
  apt.CurrentTaskFile[5] = in.device;
  apt.CurrentTaskFile[6] = in.command;
  apt.CurrentTaskFile[7] = 0;

  const DWORD size = static_cast<DWORD>(kAtaPassThroughDataOffset + length);
  DWORD returned = 0;
  if (!platform::DeviceIoControl(device, IOCTL_ATA_PASS_THROUGH, &block, size, &block, size,
                                 &returned)) {
    return false;
  }
  // The registers are reported, not judged: a caller that needs to know
  // whether the drive really answered (the path probe) reads the status.
  if (output != nullptr) {
    output->error = apt.CurrentTaskFile[0];
    output->sectorCount = apt.CurrentTaskFile[1];
    output->lbaLow = apt.CurrentTaskFile[2];
    output->lbaMid = apt.CurrentTaskFile[3];
    output->lbaHigh = apt.CurrentTaskFile[4];
    output->device = apt.CurrentTaskFile[5];
    output->status = apt.CurrentTaskFile[6];
  }
  if (data != nullptr && length > 0) std::memcpy(data, block.data, length);
  return true;
}

// ---------------------------------------------------------------------------
// PathSat12: SAT ATA PASS-THROUGH (12). With CK_COND the registers come back
// in the ATA Status Return sense descriptor (SAT-2, descriptor code 09h).
// ---------------------------------------------------------------------------
constexpr uint8_t kSatProtocolNonData = 3;
constexpr uint8_t kSatProtocolPioIn = 4;
constexpr uint8_t kSatProtocolPioOut = 5;
constexpr uint8_t kSatCheckCondition = 0x20;  // CK_COND
constexpr uint8_t kSatTransferToHost = 0x08;  // T_DIR
constexpr uint8_t kSatByteBlock = 0x04;       // BYTE_BLOCK
constexpr uint8_t kSatLengthInFeatures = 0x01;  // T_LENGTH 01b
constexpr uint8_t kSatLengthInCount = 0x02;     // T_LENGTH 10b

// SAT returns the registers in the sense data, in either format the
// translator is set to (D_SENSE in the control mode page; 0, fixed, is the
// default):
//   descriptor (72h/73h): an ATA Status Return descriptor, code 09h:
//     +3 error  +5 count  +7 LBA low  +9 LBA mid  +11 LBA high  +12 device
//     +13 status
//   fixed (70h/71h) with ASC/ASCQ 00h/1Dh, ATA PASS-THROUGH INFORMATION
//   AVAILABLE: INFORMATION bytes 3-6 error, status, device, count;
//   COMMAND-SPECIFIC INFORMATION bytes 9-11 LBA low, mid, high.
// A bridge that ignores CK_COND answers GOOD with no sense, and one that
// refuses ATA PASS-THROUGH answers ILLEGAL REQUEST: neither is a register
// block, and reading one as such would see an all-zero "standby" drive.
constexpr uint8_t kAtaStatusReturnDescriptor = 0x09;
constexpr uint8_t kAtaPassThroughInformation = 0x1D;  // ASCQ, with ASC 00h

bool ReadStatusReturnDescriptor(const uint8_t* sense, AtaTaskFile* registers) {
  const int end = 8 + sense[7] < kSenseLength ? 8 + sense[7] : kSenseLength;
  for (int at = 8; at + 2 <= end; at += 2 + sense[at + 1]) {
    const uint8_t* d = sense + at;
    if (d[0] != kAtaStatusReturnDescriptor) continue;
    if (at + 14 > kSenseLength || d[1] < 0x0C) return false;
    registers->error = d[3];
    registers->sectorCount = d[5];
    registers->lbaLow = d[7];
    registers->lbaMid = d[9];
    registers->lbaHigh = d[11];
    registers->device = d[12];
    registers->status = d[13];
    return true;
  }
  return false;
}

bool ReadFixedFormatRegisters(const uint8_t* sense, AtaTaskFile* registers) {
  if (sense[12] != 0x00 || sense[13] != kAtaPassThroughInformation) return false;
  registers->error = sense[3];
  registers->status = sense[4];
  registers->device = sense[5];
  registers->sectorCount = sense[6];
  registers->lbaLow = sense[9];
  registers->lbaMid = sense[10];
  registers->lbaHigh = sense[11];
  return true;
}

// The registers a CK_COND answer carries; false when it carries none.
bool ReadSatRegisters(const uint8_t* sense, AtaTaskFile* registers) {
  switch (sense[0] & 0x7F) {  // response code; bit 7 is VALID in fixed format
    case 0x72: case 0x73: return ReadStatusReturnDescriptor(sense, registers);
    case 0x70: case 0x71: return ReadFixedFormatRegisters(sense, registers);
    default: return false;
  }
}

bool SendSat12(HANDLE device, const AtaTaskFile& in, uint32_t dataClass, void* data, int length,
               AtaTaskFile* output) {
  if (length > 0xFFFF) return false;
  const uint8_t protocol = dataClass == AtaDataIn    ? kSatProtocolPioIn
                           : dataClass == AtaDataOut ? kSatProtocolPioOut
                                                     : kSatProtocolNonData;
  uint8_t flags = kSatByteBlock;
  if (output != nullptr) flags |= kSatCheckCondition;
  if (dataClass != AtaDataOut) flags |= kSatTransferToHost;
  // The length in blocks lies in FEATURES where the command leaves it free
  // (IDENTIFY), else in COUNT (SMART READ DATA's FEATURES is its subcommand).
  if (dataClass != AtaNoData) flags |= in.features == 0 ? kSatLengthInFeatures : kSatLengthInCount;

  uint8_t cdb[kCdbLength] = {};
  cdb[0] = 0xA1;  // ATA PASS-THROUGH (12)
  cdb[1] = static_cast<uint8_t>(protocol << 1);
  cdb[2] = flags;
  cdb[3] = in.features;
  cdb[4] = in.sectorCount;
  cdb[5] = in.lbaLow;
  cdb[6] = in.lbaMid;
  cdb[7] = in.lbaHigh;
  cdb[8] = in.device;
  cdb[9] = in.command;
  cdb[10] = 0;
  cdb[11] = 0;

  const DriveCommandResult result =
      ScsiPassThrough(device, cdb, data, static_cast<uint16_t>(length));
  if (output == nullptr) return result == kCommandGood;

  // CK_COND makes a device that honours it answer CHECK CONDITION; the
  // registers are in this thread's sense copy of this very command.
  if (result == kNotDelivered) return false;
  if (!ReadSatRegisters(LastSenseData(), output)) return false;
  return (output->status & kAtaStatusErr) == 0;
}

// ---------------------------------------------------------------------------
// The two USB bridges' vendor command blocks. Both are data-in opcodes, so
// they go out data-in even when no data moves; the registers are read back
// with a second vendor command.
// ---------------------------------------------------------------------------
constexpr uint16_t kReadBackLength = 16;
constexpr uint16_t kWideReadBackLength = 20;  // the DFh register file shifted by 4

bool SendVendorDF(HANDLE device, const AtaTaskFile& in, uint32_t /*dataClass*/, void* data,
                  int length, AtaTaskFile* output) {
  if (length > 0xFFFF) return false;
  uint8_t cdb[kCdbLength] = {};
  cdb[0] = 0xDF;
  cdb[1] = 0x10;
  cdb[2] = 0x00;
  PutBe16(cdb + 3, static_cast<uint16_t>(length));  // bytes 3-4: transfer length
  cdb[5] = in.features;
  cdb[6] = in.sectorCount;
  cdb[7] = in.lbaLow;
  cdb[8] = in.lbaMid;
  cdb[9] = in.lbaHigh;
  cdb[10] = in.device;
  cdb[11] = in.command;
  if (ScsiPassThrough(device, cdb, data, static_cast<uint16_t>(length)) != kCommandGood)
    return false;
  if (output == nullptr) return true;

  uint8_t readBack[kCdbLength] = {};
  readBack[0] = 0xDF;
  readBack[1] = 0x10;
  readBack[2] = 0x00;
  PutBe16(readBack + 3, kReadBackLength);  // bytes 3-4: 16 bytes
  readBack[5] = 0x00;
  PutBe16(readBack + 6, 0x8000);  // bytes 6-7: register read-back
  readBack[11] = 0xFD;
  uint8_t r[kReadBackLength] = {};
  if (ScsiPassThrough(device, readBack, r, kReadBackLength) != kCommandGood) return false;

  // The block starts at r4 when r8 echoes the device value. The error and
  // status registers then lie at r17 and r18, past the 16 bytes transferred:
  // a second read of 20 bytes fetches them. Without them the answer cannot
  // be judged, so a failed second read fails the command.
  const int base = r[8] == in.device ? 4 : 0;
  uint8_t wide[kWideReadBackLength] = {};
  std::memcpy(wide, r, sizeof r);
  if (base == 4) {
    PutBe16(readBack + 3, kWideReadBackLength);
    if (ScsiPassThrough(device, readBack, wide, kWideReadBackLength) != kCommandGood) return false;
  }
  output->sectorCount = wide[base + 0];
  output->lbaMid = wide[base + 4];
  output->lbaLow = wide[base + 6];
  output->lbaHigh = wide[base + 10];
  output->error = wide[base + 13];
  output->status = wide[base + 14];
  output->device = r[9];
  return true;
}

bool SendVendorF8(HANDLE device, const AtaTaskFile& in, uint32_t /*dataClass*/, void* data,
                  int length, AtaTaskFile* output) {
  if (length > 0xFFFF) return false;
  uint8_t cdb[kCdbLength] = {};
  cdb[0] = 0xF8;
  cdb[1] = 0x00;
  cdb[2] = 0x22;
  cdb[3] = 0x10;
  cdb[4] = static_cast<uint8_t>(length / 512);  // blocks: 1 for IDENTIFY, 0 without data
  cdb[5] = in.features;
  cdb[6] = in.sectorCount;
  cdb[7] = in.lbaLow;
  cdb[8] = in.lbaMid;
  cdb[9] = in.lbaHigh;
  cdb[10] = in.device;
  cdb[11] = in.command;
  if (ScsiPassThrough(device, cdb, data, static_cast<uint16_t>(length)) != kCommandGood)
    return false;
  if (output == nullptr) return true;

  uint8_t readBack[kCdbLength] = {};
  readBack[0] = 0xF8;
  readBack[1] = 0x00;
  readBack[2] = 0x21;
  uint8_t r[kReadBackLength] = {};
  if (ScsiPassThrough(device, readBack, r, kReadBackLength) != kCommandGood) return false;

  output->error = r[1];
  output->sectorCount = r[2];
  output->lbaLow = r[3];
  output->lbaMid = r[4];
  output->lbaHigh = r[5];
  output->device = r[6];
  output->status = r[7];
  return true;
}

// Indexed by ataPath; paths 0 and 4 send nothing.
const AtaPathSend kPathTable[] = {
    nullptr,             // PathNone
    SendSmart,           // PathSmart
    SendAtaPassThrough,  // PathAtaPassThrough
    SendSat12,           // PathSat12
    nullptr,             // PathReserved
    SendVendorDF,        // PathVendorDF
    SendVendorF8,        // PathVendorF8
};

}  // namespace

const int kAtaPassThroughDataOffset = offsetof(AtaPassThroughBuffer, data);

AtaPathSend AtaPathFunction(int32_t path) {
  if (path < 0 || path >= static_cast<int32_t>(sizeof kPathTable / sizeof kPathTable[0]))
    return nullptr;
  return kPathTable[path];
}

}  // namespace drive
