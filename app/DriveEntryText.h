// The text of one drive box entry.
#pragma once

#include <string>

#include "drive/DriveList.h"

namespace app {

constexpr size_t kEntryTextLimit = 63;

// "[HDD%d - %d GB]:" (decimal gigabytes, remainder dropped) or "[ODD%d]:  ",
// then the drive's name; at most 63 characters: the name is cut, never the
// label.
std::string DriveEntryText(const drive::DriveSlot& slot, int number);

}  // namespace app
