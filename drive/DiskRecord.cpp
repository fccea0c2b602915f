#include "drive/DiskRecord.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Calendar.h"
#include "platform/Settings.h"

namespace drive {

namespace {

constexpr int64_t kRateAfter = 3600;  // seconds of readings before a rate means anything

// The registry section of a disk: a key name may not hold a backslash.
std::string Section(const std::string& serial) {
  std::string section = "Disk " + serial;
  for (char& c : section)
    if (c == '\\') c = '_';
  return section;
}

std::string Read(const std::string& section, const char* entry) {
  return platform::GetProfileString(section.c_str(), entry, "");
}

bool ReadNumber(const std::string& section, const char* entry, int64_t* value) {
  const std::string text = Read(section, entry);
  if (text.empty()) return false;
  char* end = nullptr;
  const long long number = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || number < 0) return false;  // a damaged value is no value
  *value = number;
  return true;
}

void Write(const std::string& section, const char* entry, int64_t value) {
  platform::WriteProfileString(section.c_str(), entry, std::to_string(value).c_str());
}

std::string Grouped(uint32_t count) {  // 56789 as "56,789"
  std::string digits = std::to_string(count);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
  return digits;
}

}  // namespace

std::string ShownSerial(const char* serialText) {
  std::string serial(serialText, strnlen(serialText, kSerialTextLength));
  if (!serial.empty() && serial[0] == '#') serial.erase(0, 1);
  const size_t first = serial.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return serial.substr(first, serial.find_last_not_of(' ') - first + 1);
}

std::string RecordSerial(const HardDriveInfo& disk) {
  // The driver's serial is kept trimmed already (discovery).
  return disk.driverSerial[0] != '\0'
             ? std::string(disk.driverSerial, strnlen(disk.driverSerial, kSerialTextLength))
             : ShownSerial(disk.serialText);
}

DiskRecord LoadDiskRecord(const std::string& serial) {
  DiskRecord record = {};
  if (serial.empty()) return record;
  const std::string section = Section(serial);
  int64_t seconds = 0, at = 0;
  record.timerSet = ReadNumber(section, "Standby timer", &seconds) && seconds <= 0xFFFFFFFF &&
                    ReadNumber(section, "Standby timer set", &at);
  record.timerSeconds = static_cast<uint32_t>(seconds);
  record.timerSetAt = at;
  int64_t asked = seconds;
  ReadNumber(section, "Standby timer asked", &asked);
  record.timerAsked = asked <= 0xFFFFFFFF ? static_cast<uint32_t>(asked) : record.timerSeconds;
  int64_t loads = -1, spinUps = -1;
  record.firstReading = ReadNumber(section, "First reading", &record.firstReadAt);
  record.first.hasHeadLoads = ReadNumber(section, "First head loads", &loads) && loads <= 0xFFFFFFFF;
  record.first.hasSpinUps = ReadNumber(section, "First spin-ups", &spinUps) && spinUps <= 0xFFFFFFFF;
  record.first.headLoads = record.first.hasHeadLoads ? static_cast<uint32_t>(loads) : 0;
  record.first.spinUps = record.first.hasSpinUps ? static_cast<uint32_t>(spinUps) : 0;
  record.first.intact = record.firstReading;
  return record;
}

void SaveStandbyTimer(const std::string& serial, uint32_t held, uint32_t asked, int64_t at) {
  if (serial.empty()) return;
  Write(Section(serial), "Standby timer", held);
  Write(Section(serial), "Standby timer asked", asked);
  Write(Section(serial), "Standby timer set", at);
}

void SaveFirstReading(const std::string& serial, const WearCounts& counts, int64_t at) {
  if (serial.empty() || !counts.intact || LoadDiskRecord(serial).firstReading) return;
  const std::string section = Section(serial);
  if (counts.hasHeadLoads) Write(section, "First head loads", counts.headLoads);
  if (counts.hasSpinUps) Write(section, "First spin-ups", counts.spinUps);
  Write(section, "First reading", at);  // last: a reading is kept whole or not at all
}

std::string PeriodText(uint32_t seconds) {
  const uint32_t hours = seconds / 3600, minutes = seconds / 60 % 60, rest = seconds % 60;
  std::string text;
  const auto add = [&text](uint32_t value, const char* unit) {
    if (value == 0) return;
    if (!text.empty()) text += ' ';
    text += std::to_string(value) + ' ' + unit;
  };
  add(hours, "h");
  add(minutes, "min");
  add(rest, "s");
  return text.empty() ? "0 s" : text;
}

std::string StandbyTimerText(const DiskRecord& record) {
  if (!record.timerSet) return "unknown: drives do not report it";
  const std::string date = platform::DateText(record.timerSetAt);
  if (record.timerSeconds == 0) return "off, set " + date;
  std::string nearest;
  if (record.timerAsked != record.timerSeconds) {
    char asked[32];
    std::snprintf(asked, sizeof asked, " (nearest to %u:%02u:%02u)", record.timerAsked / 3600,
                  record.timerAsked / 60 % 60, record.timerAsked % 60);
    nearest = asked;
  }
  return PeriodText(record.timerSeconds) + nearest + ", set " + date +
         "; the drive forgets it when it loses power";
}

std::string WearText(bool has, uint32_t count, bool firstHas, uint32_t firstCount,
                     int64_t firstAt, int64_t now) {
  if (!has) return "not reported";
  std::string text = Grouped(count);
  const int64_t elapsed = now - firstAt;
  if (!firstHas || elapsed < kRateAfter || count < firstCount) return text;
  const double perDay = static_cast<double>(count - firstCount) * 86400.0 / elapsed;
  char rate[48];
  std::snprintf(rate, sizeof rate, perDay < 10 ? " (%.1f a day)" : " (%.0f a day)", perDay);
  return text + rate;
}

}  // namespace drive
