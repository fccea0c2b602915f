#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "app/CommandLine.h"

namespace {

using app::NumberAfter;
using app::ParseCommandLine;
using drive::CommandLineRequest;

TEST(NumberAfter, ReadsAsAtoiDoes) {
  struct Case {
    const char* text;
    int32_t number;
  };
  const Case cases[] = {
      {"X /DRIVE:HDD1", 1},
      {"X /DRIVE:HDD 2", 2},
      {"X /DRIVE:HDD\t 12 /QUIT", 12},
      {"X /DRIVE:HDDA", 0},
      {"X /DRIVE:HDD /QUIT", 0},
      {"X /DRIVE:HDD", -1},        // ends the text
      {"X", -1},                   // absent
      {"X /DRIVE:HDD-1", -1},
      {"X /DRIVE:HDD-5", -5},
      {"X /DRIVE:HDD+7", 7},
      {"X /DRIVE:HDD3/STANDBY", 3},
      {"X /DRIVE:HDD1 /DRIVE:HDD2", 1},  // the first occurrence
      {"X /DRIVE:HDD2147483647", INT32_MAX},
      {"X /DRIVE:HDD99999999999999999999", INT32_MAX},  // saturates: names no drive
      {"X /DRIVE:HDD-99999999999999999999", INT32_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(NumberAfter(c.text, "/DRIVE:HDD"), c.number) << c.text;
}

CommandLineRequest Parse(const char* line) {
  CommandLineRequest request;
  std::memset(&request, 7, sizeof request);  // every field is set by the parse
  ParseCommandLine(line, request);
  return request;
}

TEST(ParseCommandLine, DriveActionAndQuit) {
  struct Case {
    const char* line;
    int32_t number, kind, action;
    uint8_t quit;
  };
  const Case cases[] = {
      {"C:\\Torvane.exe", -1, 0, 0, 0},
      {"Torvane.exe /DRIVE:HDD1 /STANDBY /QUIT", 1, 1, 1, 1},
      {"torvane.exe /drive:hdd1 /standby /quit", 1, 1, 1, 1},
      {"Torvane.exe /DRIVE:ODD0 /SILENT /QUIT", 0, 2, 2, 1},
      {"Torvane.exe /DRIVE:HDD-1 /DRIVE:ODD0", 0, 2, 0, 0},
      {"Torvane.exe /DRIVE:HDD-5 /DRIVE:ODD0", -5, 1, 0, 0},
      {"Torvane.exe /DRIVE:HDD0 /DRIVE:ODD0", 0, 1, 0, 0},
      {"Torvane.exe /DRIVE:ODD1 /DRIVE:HDD", 1, 2, 0, 0},  // HDD ends the line: ODD counts
      {"Torvane.exe /FAST /STANDBY", -1, 0, 3, 0},
      {"Torvane.exe /STANDBY /FAST", -1, 0, 3, 0},
      {"Torvane.exe /SILENT /STANDBY", -1, 0, 2, 0},
      {"Torvane.exe /FAST /SILENT", -1, 0, 3, 0},
      {"Torvane.exe /FASTER /QUITTING", -1, 0, 3, 1},  // found inside longer words
      {"Torvane.exe /MINIMIZE /DRIVE:HDD 3", 3, 1, 0, 0},
      {"C:\\Program Files\\Tools /DRIVE:ODD\\Torvane.exe", 0, 2, 0, 0},  // the path counts too
  };
  for (const Case& c : cases) {
    const CommandLineRequest r = Parse(c.line);
    EXPECT_EQ(r.requestedDriveNumber, c.number) << c.line;
    EXPECT_EQ(r.requestedDriveKind, c.kind) << c.line;
    EXPECT_EQ(r.requestedAction, c.action) << c.line;
    EXPECT_EQ(r.quitAfterAction, c.quit) << c.line;
  }
}

TEST(ParseCommandLine, NoLineAtAll) {
  const CommandLineRequest r = Parse(nullptr);
  EXPECT_EQ(r.requestedDriveNumber, -1);
  EXPECT_EQ(r.requestedAction, 0);
}

TEST(ParseCommandLine, LevelsAndTimersToReapply) {
  struct Case {
    const char* line;
    int32_t apm, aam, idle, standby, action;
  };
  const int32_t none = drive::kNotRequested, off = drive::kSettingOff;
  const Case cases[] = {
      {"T.exe /DRIVE:HDD0 /APM:128 /AAM:OFF /QUIT", 128, off, none, none, 0},
      {"t.exe /drive:hdd0 /apm:off /aam:254 /standby", off, 254, none, none, 1},
      {"T.exe /APM:1/AAM:128", 1, 128, none, none, 0},  // a "/" ends a value
      {"T.exe \"/APM:254\"", 254, none, none, none, 0},
      {"T.exe /DRIVE:ODD0 /TIMER-IDLE:0:05:00 /TIMER-STANDBY:OFF /QUIT", none, none, 3000, off,
       0},
      // "/STANDBY" is not found inside the standby timer's option.
      {"T.exe /DRIVE:ODD0 /TIMER-STANDBY:1:49:13", none, none, none, 65530, 0},
      {"T.exe /TIMER-IDLE:0:0:0 /TIMER-STANDBY:00:01:00 /STANDBY", none, none, 0, 600, 1},
  };
  for (const Case& c : cases) {
    const CommandLineRequest r = Parse(c.line);
    EXPECT_EQ(r.apmLevel, c.apm) << c.line;
    EXPECT_EQ(r.aamLevel, c.aam) << c.line;
    EXPECT_EQ(r.idleTimer, c.idle) << c.line;
    EXPECT_EQ(r.standbyTimer, c.standby) << c.line;
    EXPECT_EQ(r.requestedAction, c.action) << c.line;
    EXPECT_STREQ(r.refusedOption, "") << c.line;
    EXPECT_EQ(r.outcome, drive::OutcomeDone) << c.line;
  }
}

TEST(ParseCommandLine, ValuesOutOfRangeOrMalformedAreRefused) {
  struct Case {
    const char* line;
    const char* refused;
  };
  const Case cases[] = {
      {"T.exe /APM:0", "/APM:0"},
      {"T.exe /APM:255", "/APM:255"},
      {"T.exe /APM:", "/APM:"},
      {"T.exe /APM:12X", "/APM:12X"},
      {"T.exe /APM:-5", "/APM:-5"},
      {"T.exe /APM:0128", "/APM:0128"},  // four digits: no level is written so
      {"T.exe /AAM:127", "/AAM:127"},
      {"T.exe /AAM:ON", "/AAM:ON"},
      {"T.exe /TIMER-IDLE:0:60:00", "/TIMER-IDLE:0:60:00"},
      {"T.exe /TIMER-STANDBY:10", "/TIMER-STANDBY:10"},
      {"T.exe /TIMER-STANDBY:0:1:2:3", "/TIMER-STANDBY:0:1:2:3"},
      {"T.exe /TIMER-STANDBY::1:2", "/TIMER-STANDBY::1:2"},
      {"T.exe /APM:300 /AAM:20", "/APM:300"},  // the first refused is the one told
  };
  for (const Case& c : cases) {
    const CommandLineRequest r = Parse(c.line);
    EXPECT_STREQ(r.refusedOption, c.refused) << c.line;
    EXPECT_EQ(r.outcome, drive::OutcomeValueRefused) << c.line;
  }
  const CommandLineRequest both = Parse("T.exe /APM:300 /AAM:200");
  EXPECT_EQ(both.apmLevel, drive::kNotRequested);
  EXPECT_EQ(both.aamLevel, 200);

  // Timers, once the kind of drive named is known.
  const struct {
    const char* line;
    bool hardDrive;
    const char* refused;  // "" when the timers suit the drive
  } timers[] = {
      {"T.exe /TIMER-IDLE:1:49:13", false, ""},
      {"T.exe /TIMER-IDLE:1:49:14", false, "/TIMER-IDLE:1:49:14 (an optical drive's: up to 1:49:13)"},
      {"T.exe /TIMER-STANDBY:5:30:00", true, ""},
      {"T.exe /TIMER-STANDBY:0:00:00", true, ""},  // off
      {"T.exe /TIMER-STANDBY:9:0:0", true, "/TIMER-STANDBY:9:00:00 (a hard drive's: 0:00:05 to 5:30:00)"},
      {"T.exe /TIMER-STANDBY:0:0:4", true, "/TIMER-STANDBY:0:00:04 (a hard drive's: 0:00:05 to 5:30:00)"},
      {"T.exe /TIMER-STANDBY:OFF", true, ""},
  };
  for (const auto& t : timers) {
    CommandLineRequest r = Parse(t.line);
    EXPECT_EQ(app::TimersFitDrive(r, t.hardDrive), t.refused[0] == '\0') << t.line;
    EXPECT_STREQ(r.refusedOption, t.refused) << t.line;
  }
}

TEST(ParseCommandLine, OlderLinesReadAsBefore) {
  // The valued options never turn an older line into something else.
  const CommandLineRequest r = Parse("Torvane.exe /DRIVE:HDD1 /STANDBY /QUIT");
  EXPECT_EQ(r.apmLevel, drive::kNotRequested);
  EXPECT_EQ(r.aamLevel, drive::kNotRequested);
  EXPECT_EQ(r.idleTimer, drive::kNotRequested);
  EXPECT_EQ(r.standbyTimer, drive::kNotRequested);
  EXPECT_EQ(r.outcome, drive::OutcomeDone);
}

TEST(ParseCommandLine, SerialNumberAndTasks) {
  struct Case {
    const char* line;
    const char* serial;
    int32_t schedule, action, apm;
    uint8_t quit;
    const char* refused;
  };
  const int32_t none = drive::kNotRequested;
  const Case cases[] = {
      {"T.exe /SERIAL:s246j1rz123456 /APM:200 /QUIT", "S246J1RZ123456", 0, 0, 200, 1, ""},
      {"T.exe /SERIAL:\"WD-WX 1234 \" /STANDBY", "WD-WX 1234", 0, 1, none, 0, ""},
      {"T.exe /SERIAL:AB/QUIT", "AB", 0, 0, none, 1, ""},  // a "/" ends it
      // Nothing inside a quoted serial number reads as an option.
      {"T.exe /SERIAL:\"X/FAST/QUIT/SCHEDULE\" /APM:1", "X/FAST/QUIT/SCHEDULE", 0, 0, 1, 0, ""},
      {"T.exe /SERIAL:S1 /AAM:128 /SCHEDULE", "S1", 1, 0, none, 1, ""},
      {"T.exe /SERIAL:S1 /UNSCHEDULE", "S1", 2, 0, none, 1, ""},
      {"T.exe /SERIAL:S1 /SCHEDULE", "S1", 1, 0, none, 1, "/SCHEDULE"},  // nothing to keep
      {"T.exe /SERIAL: /APM:1", "", 0, 0, 1, 0, "/SERIAL:"},
      {"T.exe /SERIAL:\"  \"", "", 0, 0, none, 0, "/SERIAL:  "},
  };
  for (const Case& c : cases) {
    const CommandLineRequest r = Parse(c.line);
    EXPECT_STREQ(r.requestedSerial, c.serial) << c.line;
    EXPECT_EQ(r.schedule, c.schedule) << c.line;
    EXPECT_EQ(r.requestedAction, c.action) << c.line;
    EXPECT_EQ(r.apmLevel, c.apm) << c.line;
    EXPECT_EQ(r.quitAfterAction, c.quit) << c.line;
    EXPECT_STREQ(r.refusedOption, c.refused) << c.line;
  }
}

TEST(RecordOutcome, TheFirstFailureStays) {
  CommandLineRequest request = {};
  drive::RecordOutcome(request, drive::OutcomeNotSupported);
  drive::RecordOutcome(request, drive::OutcomeCommandFailed);
  EXPECT_EQ(request.outcome, drive::OutcomeNotSupported);
}

}  // namespace
