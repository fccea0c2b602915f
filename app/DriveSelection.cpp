#include "app/DriveSelection.h"

#include <cctype>
#include <cstring>

#include "drive/DiskRecord.h"

namespace app {

std::string DriveSerial(const drive::DriveSlot& slot) {
  return drive::ShownSerial(slot.hard.serialText);
}

std::string TaskSerial(const drive::DriveSlot& slot) {
  return slot.hard.kind == drive::KindHardDrive ? drive::RecordSerial(slot.hard) : DriveSerial(slot);
}

namespace {
// `serial` as kept in a field of kSerialTextLength, against the upper-case
// `wanted`. A serial number longer than the field was cut to fit: the whole
// one, as written elsewhere, names the drive as well as the part kept.
bool SameSerial(std::string serial, bool cut, const std::string& wanted) {
  for (char& c : serial) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return !serial.empty() &&
         (serial == wanted || (cut && wanted.compare(0, serial.size(), serial) == 0));
}
}  // namespace

bool HasSerial(const drive::DriveSlot& slot, const char* wanted) {
  const bool shownCut = std::strlen(slot.hard.serialText) == drive::kSerialTextLength - 1;
  if (SameSerial(DriveSerial(slot), shownCut, wanted)) return true;
  if (slot.hard.kind != drive::KindHardDrive) return false;
  const std::string driver(slot.hard.driverSerial,
                           strnlen(slot.hard.driverSerial, drive::kSerialTextLength));
  return SameSerial(driver, driver.size() == drive::kSerialTextLength - 1, wanted);
}

SerialSelection SelectDriveBySerial(const drive::DriveList& list,
                                    drive::CommandLineRequest& request) {
  int found = -1, kind = drive::KindNoRequest, number = -1;
  int counts[3] = {};  // drives of each kind seen so far: a drive's number in the box
  for (int i = 0; i < list.driveCount && i < drive::kMaxDrives; ++i) {
    const drive::DriveSlot& slot = list.slots[i];
    const int slotKind = slot.hard.kind == drive::KindOpticalDrive ? drive::KindOpticalRequest
                                                                   : drive::KindHardDriveRequest;
    const int slotNumber = counts[slotKind]++;
    if (!HasSerial(slot, request.requestedSerial)) continue;
    if (found != -1) return SerialTwoDrives;
    found = i, kind = slotKind, number = slotNumber;
  }
  if (found == -1) return SerialNoDrive;
  // A task must never act on a drive it did not mean.
  if (request.requestedDriveNumber != -1 &&
      (request.requestedDriveKind != kind || request.requestedDriveNumber != number))
    return SerialOtherDrive;
  request.requestedDriveKind = kind;
  request.requestedDriveNumber = number;
  return SerialSelected;
}

}  // namespace app
