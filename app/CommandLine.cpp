#include "app/CommandLine.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <limits>

namespace app {

const char* const kSerialOption = "/SERIAL:";
const char* const kScheduleOption = "/SCHEDULE";
const char* const kUnscheduleOption = "/UNSCHEDULE";
const char* const kApmOption = "/APM:";
const char* const kAamOption = "/AAM:";
const char* const kIdleTimerOption = "/TIMER-IDLE:";
const char* const kStandbyTimerOption = "/TIMER-STANDBY:";

namespace {
// 100 ms units: what an optical drive's page takes (01:49:13.5), and the
// range of a hard drive's standby timer (5 s to 5 h 30 min).
constexpr int32_t kMaxOpticalTimer = 0xFFFF;
constexpr int32_t kShortestDiskTimer = 50;
constexpr int32_t kLongestDiskTimer = 198000;
}

int32_t NumberAfter(const std::string& text, const char* option) {
  const size_t found = text.find(option);
  if (found == std::string::npos) return -1;
  size_t at = found + std::strlen(option);
  if (at >= text.size()) return -1;

  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int64_t value = 0;
  const int64_t limit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > limit) value = limit;
  }
  if (negative) return static_cast<int32_t>(-value);  // down to INT32_MIN
  return static_cast<int32_t>(value < limit ? value : limit - 1);
}

std::string ValueAfter(const std::string& line, const char* option) {
  const size_t found = line.find(option);
  if (found == std::string::npos) return std::string();
  const size_t begin = found + std::strlen(option);
  size_t end = begin;
  while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end])) &&
         line[end] != '/' && line[end] != '"')
    ++end;
  return line.substr(begin, end - begin);
}

std::string QuotableValueAfter(const std::string& line, const char* option, size_t* begin,
                               size_t* end) {
  *begin = *end = std::string::npos;
  const size_t found = line.find(option);
  if (found == std::string::npos) return std::string();
  const size_t valueBegin = found + std::strlen(option);
  std::string value;
  size_t valueEnd;
  if (valueBegin < line.size() && line[valueBegin] == '"') {
    const size_t closing = line.find('"', valueBegin + 1);
    valueEnd = closing == std::string::npos ? line.size() : closing + 1;
    value = line.substr(valueBegin + 1, (closing == std::string::npos ? line.size() : closing) -
                                            valueBegin - 1);
  } else {
    value = ValueAfter(line, option);
    valueEnd = valueBegin + value.size();
  }
  *begin = found;
  *end = valueEnd;
  return value;
}

namespace {

// A decimal number of 1 to `maxDigits` digits, nothing else.
bool ReadDigits(const std::string& text, size_t maxDigits, int32_t* value) {
  if (text.empty() || text.size() > maxDigits) return false;
  int32_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  *value = number;
  return true;
}

}  // namespace

bool ReadLevel(const std::string& value, int32_t min, int32_t max, int32_t* level) {
  if (value == "OFF") {
    *level = drive::kSettingOff;
    return true;
  }
  int32_t number = 0;
  if (!ReadDigits(value, 3, &number) || number < min || number > max) return false;
  *level = number;
  return true;
}

bool ReadTimer(const std::string& value, int32_t* timer) {
  if (value == "OFF") {
    *timer = drive::kSettingOff;
    return true;
  }
  const size_t first = value.find(':');
  const size_t second = first == std::string::npos ? first : value.find(':', first + 1);
  if (second == std::string::npos) return false;
  int32_t hours = 0, minutes = 0, seconds = 0;
  if (!ReadDigits(value.substr(0, first), 2, &hours) ||
      !ReadDigits(value.substr(first + 1, second - first - 1), 2, &minutes) ||
      !ReadDigits(value.substr(second + 1), 2, &seconds) || minutes > 59 || seconds > 59)
    return false;
  *timer = (hours * 3600 + minutes * 60 + seconds) * 10;
  return true;
}

bool TimersFitDrive(drive::CommandLineRequest& request, bool hardDrive) {
  const auto refuse = [&request](const char* option, int32_t timer, const char* range) {
    const int32_t seconds = timer / 10;
    std::snprintf(request.refusedOption, sizeof request.refusedOption, "%s%d:%02d:%02d (%s)",
                  option, static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60), range);
    request.outcome = drive::OutcomeValueRefused;
    return false;
  };
  const auto set = [](int32_t timer) { return timer >= 0; };  // neither OFF nor absent
  if (hardDrive) {
    // 0:00:00 turns the timer off, as OFF does.
    const int32_t timer = request.standbyTimer;
    if (set(timer) && timer != 0 && (timer < kShortestDiskTimer || timer > kLongestDiskTimer))
      return refuse(kStandbyTimerOption, timer, "a hard drive's: 0:00:05 to 5:30:00");
    return true;
  }
  for (const auto& timer : {std::make_pair(kIdleTimerOption, request.idleTimer),
                            std::make_pair(kStandbyTimerOption, request.standbyTimer)}) {
    if (set(timer.second) && timer.second > kMaxOpticalTimer)
      return refuse(timer.first, timer.second, "an optical drive's: up to 1:49:13");
  }
  return true;
}

void ParseCommandLine(const char* commandLine, drive::CommandLineRequest& request) {
  std::string line = commandLine ? commandLine : "";
  for (char& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const auto has = [&line](const char* option) { return line.find(option) != std::string::npos; };

  request.quitAfterAction = 0;
  request.requestedDriveNumber = -1;
  request.requestedDriveKind = 0;
  request.requestedAction = drive::ActionNone;
  request.outcome = drive::OutcomeDone;
  request.refusedOption[0] = '\0';
  request.requestedSerial[0] = '\0';
  request.schedule = drive::ScheduleNone;

  // The serial number first, and out of the line: a quoted one may hold
  // anything, and none of it may read as another option.
  size_t serialBegin, serialEnd;
  const std::string serial = QuotableValueAfter(line, kSerialOption, &serialBegin, &serialEnd);
  bool serialRefused = false;
  if (serialBegin != std::string::npos) {
    const size_t first = serial.find_first_not_of(' ');
    const std::string trimmed =
        first == std::string::npos ? std::string()
                                   : serial.substr(first, serial.find_last_not_of(' ') - first + 1);
    serialRefused = trimmed.empty() || trimmed.size() >= sizeof request.requestedSerial;
    if (!serialRefused)
      std::snprintf(request.requestedSerial, sizeof request.requestedSerial, "%s", trimmed.c_str());
    line.replace(serialBegin, serialEnd - serialBegin, serialEnd - serialBegin, ' ');
  }

  request.requestedDriveNumber = NumberAfter(line, "/DRIVE:HDD");
  if (request.requestedDriveNumber != -1) {
    request.requestedDriveKind = drive::KindHardDriveRequest;
  } else {
    request.requestedDriveNumber = NumberAfter(line, "/DRIVE:ODD");
    if (request.requestedDriveNumber != -1) request.requestedDriveKind = drive::KindOpticalRequest;
  }
  // Later tests win: /FAST over /SILENT over /STANDBY, whatever their order.
  if (has("/STANDBY")) request.requestedAction = drive::ActionStandby;
  if (has("/SILENT")) request.requestedAction = drive::ActionSilent;
  if (has("/FAST")) request.requestedAction = drive::ActionFast;
  if (has("/QUIT")) request.quitAfterAction = 1;
  if (has(kScheduleOption)) request.schedule = drive::ScheduleCreate;
  if (has(kUnscheduleOption)) request.schedule = drive::ScheduleRemove;
  // Making or removing a task is a run of its own: nobody watches its end.
  if (request.schedule != drive::ScheduleNone) request.quitAfterAction = 1;

  if (serialRefused)  // empty, or longer than any serial number
    std::snprintf(request.refusedOption, sizeof request.refusedOption, "%s%.40s", kSerialOption,
                  serial.c_str());
  // The valued options; the first one refused is kept to be reported.
  struct Valued {
    const char* option;
    int32_t* field;
    bool timer;
    int32_t min, max;
  };
  const Valued valued[] = {
      {kApmOption, &request.apmLevel, false, 1, 254},
      {kAamOption, &request.aamLevel, false, 128, 254},
      {kIdleTimerOption, &request.idleTimer, true, 0, 0},
      {kStandbyTimerOption, &request.standbyTimer, true, 0, 0},
  };
  for (const Valued& v : valued) {
    *v.field = drive::kNotRequested;
    if (!has(v.option)) continue;
    const std::string value = ValueAfter(line, v.option);
    const bool read = v.timer ? ReadTimer(value, v.field) : ReadLevel(value, v.min, v.max, v.field);
    if (read) continue;
    *v.field = drive::kNotRequested;
    if (request.refusedOption[0] == '\0')
      std::snprintf(request.refusedOption, sizeof request.refusedOption, "%s%s", v.option,
                    value.c_str());
  }
  // A task that would do nothing is not made.
  const bool setsSomething = request.requestedAction != drive::ActionNone ||
                             request.apmLevel != drive::kNotRequested ||
                             request.aamLevel != drive::kNotRequested ||
                             request.idleTimer != drive::kNotRequested ||
                             request.standbyTimer != drive::kNotRequested;
  if (request.schedule == drive::ScheduleCreate && !setsSomething &&
      request.refusedOption[0] == '\0')
    std::snprintf(request.refusedOption, sizeof request.refusedOption, "%s", kScheduleOption);
  if (request.refusedOption[0] != '\0') request.outcome = drive::OutcomeValueRefused;
}

}  // namespace app
