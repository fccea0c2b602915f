// The command line: which drive, which action, the levels and timers to set,
// and whether to close after it.
#pragma once

#include <cstdint>
#include <string>

#include "drive/CommandLineRequest.h"

namespace app {

// The number after the first occurrence of `option` in `text`, read as atoi
// reads (blanks, a sign, digits; 0 without digits), or -1 when the option is
// absent or ends the text. A number beyond 32 bits saturates, so it names no
// drive instead of wrapping into one.
int32_t NumberAfter(const std::string& text, const char* option);

// The options that carry a value, with the value right after the colon:
// /APM:n (1-254) or /APM:OFF, /AAM:n (128-254) or /AAM:OFF, the optical
// drive's timers /TIMER-IDLE:h:m:s and /TIMER-STANDBY:h:m:s, and a hard
// drive's standby timer /TIMER-STANDBY:h:m:s, or OFF. Whether a timer suits
// the drive is known once the drive is (TimersFitDrive). None of them contains an older option:
// "/STANDBY" is found inside anything that begins with it.
extern const char* const kSerialOption;        // /SERIAL:text or /SERIAL:"text"
extern const char* const kScheduleOption;      // /SCHEDULE
extern const char* const kUnscheduleOption;    // /UNSCHEDULE (holds no /SCHEDULE)
extern const char* const kApmOption;
extern const char* const kAamOption;
extern const char* const kIdleTimerOption;
extern const char* const kStandbyTimerOption;

// The value written after `option` in the upper-case `line`: it runs to the
// next blank, "/" or quote; empty when the option is absent.
std::string ValueAfter(const std::string& line, const char* option);
// A level from min to max, or kSettingOff for OFF; false when the text is
// neither.
bool ReadLevel(const std::string& value, int32_t min, int32_t max, int32_t* level);
// h:m:s (minutes and seconds below 60) as units of 100 ms, or kSettingOff
// for OFF; false otherwise.
bool ReadTimer(const std::string& value, int32_t* timer);
// Whether the timers asked suit the kind of drive named: an optical drive's
// up to 1:49:13 (its page's limit), a hard drive's standby timer 0:00:05 to
// 5:30:00 (or 0:00:00, off). When not, records the first that does not, with
// its range, as the refused option.
bool TimersFitDrive(drive::CommandLineRequest& request, bool hardDrive);

// The value after `option`, which may be quoted ("text with blanks"): a
// quoted value runs to the closing quote, any other as ValueAfter's. Sets
// `begin` and `end` to the span the option and its value take in `line`;
// empty, with begin == end == npos, when the option is absent.
std::string QuotableValueAfter(const std::string& line, const char* option, size_t* begin,
                               size_t* end);

// Fills `request` from a complete command line (the program's path included).
// Options are found anywhere, in any case, without separators.
void ParseCommandLine(const char* commandLine, drive::CommandLineRequest& request);

}  // namespace app
