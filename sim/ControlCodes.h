// The control codes a disk answers, from the platform's records in the
// caller's buffers to the device models and back: SCSI pass-through direct,
// ATA pass-through, the SMART drive-command codes, the storage property
// query and the drive geometry. Also what the trace shows of each request.
#pragma once

#include <string>

#include "platform/PlatformTypes.h"
#include "sim/BayConfig.h"
#include "sim/ScsiDisk.h"
#include "sim/Trace.h"

namespace sim {

// The result of a control code: what DeviceIoControl returns, the error it
// leaves, and for a delivered SCSI command its status (-1 otherwise).
struct ControlResult {
  BOOL ok = FALSE;
  DWORD error = 0;
  int scsiStatus = -1;
};

// Fills the request part of a trace entry (code, bytes, len, dir) from the
// buffers as the caller handed them over.
void DescribeControl(DWORD code, const void* in, DWORD inSize, DWORD outSize, TraceEntry* entry);

// `target` null: the driver offers no SCSI pass-through on this device.
ControlResult ScsiPassThroughDirect(ScsiTarget* target, void* in, DWORD inSize, void* out,
                                    DWORD outSize, DWORD* returned);
ControlResult AtaPassThrough(SimDisk& disk, void* in, DWORD inSize, void* out, DWORD outSize,
                             DWORD* returned);
ControlResult SmartCommand(SimDisk& disk, DWORD code, void* in, DWORD inSize, void* out,
                           DWORD outSize, DWORD* returned);
ControlResult QueryStorageProperty(const DiskConfig& disk, void* in, DWORD inSize, void* out,
                                   DWORD outSize, DWORD* returned);
ControlResult DriveGeometry(const DiskConfig& disk, void* out, DWORD outSize, DWORD* returned);

inline ControlResult Failed(DWORD error) { return {FALSE, error, -1}; }

}  // namespace sim
