// Finding the drive a command line names by its serial number.
#pragma once

#include <string>

#include "drive/DriveList.h"

namespace app {

// The serial number as the window shows it, without the "#" and the blanks
// around it; empty when the drive has none.
std::string DriveSerial(const drive::DriveSlot& slot);

// The serial number that names the drive in its scheduled task: for a disk,
// the one its driver keeps when it keeps one (it finds the disk again without
// asking it, asleep or not), else the one the drive reported. Empty: none.
std::string TaskSerial(const drive::DriveSlot& slot);

// Does the drive have the serial number `wanted` (upper case)? Either the one
// it shows or, for a disk, the one its driver keeps; without regard to case.
bool HasSerial(const drive::DriveSlot& slot, const char* wanted);

enum SerialSelection {
  SerialSelected,    // the request now names that drive by kind and number
  SerialNoDrive,     // no drive has it
  SerialTwoDrives,   // more than one has it: which is meant cannot be told
  SerialOtherDrive,  // /DRIVE: names a drive whose serial number is another
};

// Resolves request.requestedSerial (upper case) against the listed drives,
// comparing without regard to case. On SerialSelected the request's kind and
// number name the drive, as /DRIVE: would; otherwise they are left alone.
SerialSelection SelectDriveBySerial(const drive::DriveList& list,
                                    drive::CommandLineRequest& request);

}  // namespace app
