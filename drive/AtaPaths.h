// The ATA command paths: one function per way a command can travel to a
// drive, all with one signature, looked up by the drive's ataPath.
#pragma once

#include <cstdint>

#include "drive/AtaCommands.h"

namespace drive {

using AtaPathSend = bool (*)(HANDLE device, const AtaTaskFile& input, uint32_t dataClass,
                             void* data, int length, AtaTaskFile* output);

// Null for PathNone, PathReserved and any value that is not a path.
AtaPathSend AtaPathFunction(int32_t path);

// The data area of an IOCTL_ATA_PASS_THROUGH exchange follows the platform
// record and 4 filler bytes: offset 44 on 32-bit Windows.
constexpr int kAtaPassThroughMaxData = 512;
extern const int kAtaPassThroughDataOffset;

}  // namespace drive
