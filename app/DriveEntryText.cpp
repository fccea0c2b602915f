#include "app/DriveEntryText.h"

#include <cstdio>
#include <cstring>

namespace app {

std::string DriveEntryText(const drive::DriveSlot& slot, int number) {
  char prefix[64];
  if (slot.hard.kind == drive::KindOpticalDrive) {
    std::snprintf(prefix, sizeof prefix, "[ODD%d]:  ", number);
  } else {
    // Capacities beyond 2^31 GB cannot occur; the cast is safe for any 64-bit size / 1e9.
    std::snprintf(prefix, sizeof prefix, "[HDD%d - %llu GB]:", number,
                  static_cast<unsigned long long>(slot.hard.capacityBytes / 1000000000ull));
  }
  // The name as shown: without the blanks that pad the identification
  // fields. The name kept in the slot, which keys the stored speed lists,
  // keeps them.
  std::string name(slot.hard.displayName, strnlen(slot.hard.displayName, drive::kDisplayNameLength));
  name.erase(name.find_last_not_of(' ') + 1);
  std::string text = prefix + name;
  if (text.size() > kEntryTextLimit) text.resize(kEntryTextLimit);
  return text;
}

}  // namespace app
