// Pass-through transport: one 12-byte command block, one data buffer, one
// result. Every SCSI and MMC command of the program goes through
// ScsiPassThrough; the four wrappers build the generic blocks others share.
#pragma once

#include <cstdint>

#include "platform/PlatformTypes.h"

namespace drive {

// 1: status GOOD; -1: the control code failed; otherwise the SCSI status byte
// (2 CHECK CONDITION, 8 BUSY, ...).
using DriveCommandResult = int32_t;
constexpr DriveCommandResult kCommandGood = 1;
constexpr DriveCommandResult kNotDelivered = -1;
constexpr DriveCommandResult kCheckCondition = 2;

constexpr int kCdbLength = 12;
constexpr int kSenseLength = 32;
// Seconds the driver waits for a device before it gives up on a command, as
// IOCTL_ATA_PASS_THROUGH does: a bridge that never answers a block it does
// not know must not hold the program for hours. The longest legitimate
// command, a read of a damaged disc, ends well within it.
constexpr uint32_t kPassThroughTimeout = 60;

enum CdbDirection : uint32_t { CdbDataIn = 0, CdbDataOut = 1, CdbNoData = 2 };

// Indexed by CDB byte 0. Only CdbDataOut changes what is sent; every other
// opcode, no-data ones included, goes out as data-in.
extern const uint32_t CdbDirectionTable[256];

DriveCommandResult ScsiPassThrough(HANDLE device, const uint8_t cdb[kCdbLength], void* data,
                                   uint16_t length);

// The sense area of this thread's most recent ScsiPassThrough (all zero when
// its control code failed). Each thread has its own copy.
const uint8_t* LastSenseData();
// Whether this thread's most recent ScsiPassThrough reached the device and
// came back (false when its control code failed: refused, or given up on).
bool LastCommandDelivered();

constexpr uint16_t kInquiryLength = 68;
constexpr uint16_t kReadCapacityLength = 8;

DriveCommandResult Inquiry(HANDLE device, uint8_t* buffer);       // at least 68 bytes
DriveCommandResult ReadCapacity(HANDLE device, uint8_t* buffer);  // at least 8 bytes
// Mode commands carry their length in byte 8 only: lengths up to 255.
DriveCommandResult ModeSense10(HANDLE device, uint8_t pageCode, uint8_t* buffer, uint8_t length);
DriveCommandResult ModeSelect10(HANDLE device, uint8_t* buffer, uint8_t length);

}  // namespace drive
