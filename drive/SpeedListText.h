// The stored form of a speed list: two method letters, a blank, then the
// speeds in KB/s joined by ",", for example "CD 7040,5632".
#pragma once

#include <string>

#include "drive/DriveList.h"

namespace drive {

constexpr size_t kSpeedListTextLimit = 255;  // characters, without the terminator

// The text for `table`. Entries that would make the text longer than the
// limit are left out whole; a number is never cut.
std::string FormatSpeedList(const SpeedTable& table);

// Reads `text` into `table` (speedCount, speeds and, for a non-empty text, the
// two method flags and probeFoundNone). Entries of 0 are skipped. Reading
// stops at the first entry that does not start with a number or does not fit
// a 32-bit speed, and at 128 entries, keeping what came before. The text of a
// probe that learned nothing, the two letters and the blank alone, sets
// probeFoundNone.
void ParseSpeedList(const std::string& text, SpeedTable& table);

}  // namespace drive
