#include "drive/Transport.h"

#include <cstddef>
#include <cstring>

#include "drive/Bytes.h"
#include "platform/SystemCalls.h"

namespace drive {

namespace {

// The block handed to the driver: the platform's pass-through record, a
// filler, and the sense area the driver fills. 80 bytes with the sense area at
// 48 on 32-bit Windows; on 64-bit the record is 56 bytes and the rest follows.
struct PassThroughBuffer {
  SCSI_PASS_THROUGH_DIRECT sptd;
  ULONG filler;
  UCHAR sense[kSenseLength];
};

static_assert(sizeof(void*) != 4 || sizeof(PassThroughBuffer) == 80, "32-bit buffer size");
static_assert(sizeof(void*) != 4 || offsetof(PassThroughBuffer, sense) == 48, "32-bit sense area");

thread_local uint8_t lastSense[kSenseLength];
thread_local bool lastDelivered = false;

}  // namespace

// clang-format off
const uint32_t CdbDirectionTable[256] = {
//  x0 x1 x2 x3 x4 x5 x6 x7 x8 x9 xA xB xC xD xE xF
    2, 2, 2, 0, 1, 2, 2, 2, 0, 2, 1, 2, 2, 2, 2, 2,  // 0x
    2, 2, 0, 2, 2, 1, 2, 2, 2, 2, 0, 2, 0, 1, 2, 2,  // 1x
    2, 2, 2, 0, 2, 0, 2, 2, 0, 2, 1, 2, 2, 2, 2, 2,  // 2x
    2, 2, 2, 0, 2, 2, 2, 2, 2, 2, 2, 1, 0, 2, 2, 2,  // 3x
    2, 2, 0, 0, 0, 2, 0, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 4x
    2, 0, 0, 2, 1, 1, 2, 2, 2, 2, 0, 2, 0, 1, 2, 2,  // 5x
    0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 6x
    2, 2, 2, 2, 2, 2, 2, 2, 0, 2, 2, 2, 2, 2, 2, 2,  // 7x
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 8x
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 9x
    2, 2, 2, 2, 2, 2, 2, 2, 0, 2, 1, 2, 0, 0, 2, 0,  // Ax
    2, 2, 2, 2, 2, 2, 1, 2, 2, 0, 2, 2, 2, 2, 0, 1,  // Bx
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // Cx
    2, 2, 2, 2, 2, 2, 2, 0, 0, 0, 2, 2, 2, 2, 2, 0,  // Dx
    2, 2, 2, 2, 2, 2, 2, 2, 2, 0, 0, 2, 2, 2, 2, 0,  // Ex
    0, 0, 1, 0, 0, 2, 2, 2, 0, 1, 0, 2, 1, 2, 2, 0,  // Fx
};
// clang-format on

DriveCommandResult ScsiPassThrough(HANDLE device, const uint8_t cdb[kCdbLength], void* data,
                                   uint16_t length) {
  PassThroughBuffer block;
  std::memset(&block, 0, sizeof block);

  SCSI_PASS_THROUGH_DIRECT& sptd = block.sptd;
  sptd.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
  sptd.CdbLength = kCdbLength;
  sptd.SenseInfoLength = kSenseLength;
  sptd.DataTransferLength = length;
  sptd.TimeOutValue = kPassThroughTimeout;
  sptd.DataBuffer = data;
  sptd.SenseInfoOffset = offsetof(PassThroughBuffer, sense);
  if (CdbDirectionTable[cdb[0]] == CdbDataOut) {
    sptd.DataIn = SCSI_IOCTL_DATA_OUT;
  } else {
    sptd.DataIn = SCSI_IOCTL_DATA_IN;
    // Bytes the device does not send then read as zero.
    if (length != 0 && data != nullptr) std::memset(data, 0, length);
  }
  std::memcpy(sptd.Cdb, cdb, kCdbLength);

  DWORD returned = 0;
  const BOOL delivered = platform::DeviceIoControl(device, IOCTL_SCSI_PASS_THROUGH_DIRECT, &block,
                                                   sizeof block, &block, sizeof block, &returned);
  DriveCommandResult result = kNotDelivered;
  if (delivered) result = sptd.ScsiStatus == 0 ? kCommandGood : sptd.ScsiStatus;

  // A failed control code leaves the cleared area: the copy is then all zero.
  std::memcpy(lastSense, block.sense, kSenseLength);
  lastDelivered = delivered != FALSE;
  return result;
}

const uint8_t* LastSenseData() { return lastSense; }

bool LastCommandDelivered() { return lastDelivered; }

// Generic command blocks shared by the hard drive and optical code.

DriveCommandResult Inquiry(HANDLE device, uint8_t* buffer) {
  uint8_t cdb[kCdbLength] = {};
  cdb[0] = 0x12;            // INQUIRY
  cdb[4] = kInquiryLength;  // allocation length
  return ScsiPassThrough(device, cdb, buffer, kInquiryLength);
}

DriveCommandResult ReadCapacity(HANDLE device, uint8_t* buffer) {
  uint8_t cdb[kCdbLength] = {};
  cdb[0] = 0x25;  // READ CAPACITY(10)
  return ScsiPassThrough(device, cdb, buffer, kReadCapacityLength);
}

DriveCommandResult ModeSense10(HANDLE device, uint8_t pageCode, uint8_t* buffer, uint8_t length) {
  uint8_t cdb[kCdbLength] = {};
  cdb[0] = 0x5A;      // MODE SENSE(10)
  cdb[1] = 0x10;      // as the drives expect it (not DBD 0x08)
  cdb[2] = pageCode;  // page control 00b: current values
  cdb[7] = 0;         // allocation length, high byte
  cdb[8] = length;    // allocation length, low byte
  return ScsiPassThrough(device, cdb, buffer, length);
}

DriveCommandResult ModeSelect10(HANDLE device, uint8_t* buffer, uint8_t length) {
  uint8_t cdb[kCdbLength] = {};
  cdb[0] = 0x55;    // MODE SELECT(10)
  cdb[1] = 0x10;    // PF set, SP clear
  cdb[7] = 0;       // parameter list length, high byte
  cdb[8] = length;  // parameter list length, low byte
  return ScsiPassThrough(device, cdb, buffer, length);
}

}  // namespace drive
