#include <gtest/gtest.h>

#include <climits>

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
  CommandLineRequest request = {7, 7, 7, 7};
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

}  // namespace
