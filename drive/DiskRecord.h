// What Torvane keeps of a hard drive between runs, by its serial number, in
// the program's registry key: the standby timer it set and when (the drive
// cannot report it), and the first wear counts it read and when (so that a
// later reading gives a rate). Section "Disk <serial>".
#pragma once

#include <cstdint>
#include <string>

#include "drive/DriveList.h"
#include "drive/SmartData.h"

namespace drive {

struct DiskRecord {
  bool timerSet;          // Torvane set the timer: timerSeconds (0: off) at timerSetAt
  uint32_t timerSeconds;  // what the drive holds
  uint32_t timerAsked;    // what was asked, when the drive could hold only another
  int64_t timerSetAt;     // clock seconds
  bool firstReading;      // wear counts were read before: these, at firstReadAt
  WearCounts first;
  int64_t firstReadAt;
};

// A serial text ("#" and the serial number, blanks kept) as the window shows
// it: without the "#" and the blanks around it; empty when there is none.
std::string ShownSerial(const char* serialText);

// The serial number a disk is kept by: the one its driver keeps, which is
// there even while it sleeps, else the one it reported. Empty: none.
std::string RecordSerial(const HardDriveInfo& disk);

DiskRecord LoadDiskRecord(const std::string& serial);
void SaveStandbyTimer(const std::string& serial, uint32_t held, uint32_t asked, int64_t at);
// Keeps `counts` as the first reading unless one is kept already.
void SaveFirstReading(const std::string& serial, const WearCounts& counts, int64_t at);

// "20 min", "21 min 15 s", "1 h 30 min", "45 s".
std::string PeriodText(uint32_t seconds);
// What the page says of the timer: "20 min, set 2026-12-08; the drive
// forgets it when it loses power" (with "(nearest to 0:45:00)" after the
// period when the drive could not hold what was asked), "off, set ...", or
// "unknown: drives do not report it".
std::string StandbyTimerText(const DiskRecord& record);
// A counter with its rate a day since the first reading: "56,789 (12 a day)";
// "56,789" alone until an hour has passed; "not reported" without it.
std::string WearText(bool has, uint32_t count, bool firstHas, uint32_t firstCount,
                     int64_t firstAt, int64_t now);

}  // namespace drive
