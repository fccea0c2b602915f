// Choosing a drive by its serial number, and the task that keeps its settings.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/DriveSelection.h"
#include "app/ScheduledTask.h"

namespace {

using drive::CommandLineRequest;

// Two hard drives and two optical drives, with the serial numbers given
// ("" for none), as discovery leaves them.
std::unique_ptr<drive::DriveList> Drives(const std::vector<const char*>& serials) {
  auto list = std::make_unique<drive::DriveList>();
  std::memset(list.get(), 0, sizeof *list);
  for (size_t i = 0; i < serials.size(); ++i) {
    drive::HardDriveInfo& slot = list->slots[i].hard;
    slot.kind = i < 2 ? drive::KindHardDrive : drive::KindOpticalDrive;
    std::snprintf(slot.serialText, sizeof slot.serialText, "%s", serials[i]);
  }
  list->driveCount = static_cast<int32_t>(serials.size());
  return list;
}

TEST(SelectDriveBySerial, FindsOneDriveOrSaysWhyNot) {
  struct Case {
    const char* line;
    std::vector<const char*> serials;
    app::SerialSelection selection;
    int32_t kind, number;
  };
  const Case cases[] = {
      {"T /SERIAL:s246j1rz", {"#AAA", "#S246J1RZ  ", "#X", "#Y"}, app::SerialSelected, 1, 1},
      {"T /SERIAL:9TV1ABCD", {"#    9TV1ABCD", "#B", "", ""}, app::SerialSelected, 1, 0},
      {"T /SERIAL:br0810", {"#A", "#B", "#X", "#BR0810"}, app::SerialSelected, 2, 1},
      {"T /SERIAL:NOSUCH", {"#A", "#B", "#X", "#Y"}, app::SerialNoDrive, 0, -1},
      {"T /SERIAL:twin", {"#TWIN", "#B", "#twin", "#Y"}, app::SerialTwoDrives, 0, -1},
      {"T /SERIAL:B /DRIVE:HDD0", {"#A", "#B", "#X", "#Y"}, app::SerialOtherDrive, 1, 0},
      {"T /SERIAL:B /DRIVE:HDD1", {"#A", "#B", "#X", "#Y"}, app::SerialSelected, 1, 1},
      {"T /SERIAL:B /DRIVE:ODD1", {"#A", "#B", "#X", "#Y"}, app::SerialOtherDrive, 2, 1},
      // A serial number cut to the field's 30 characters, named whole.
      {"T /SERIAL:DR2160S-0A1B2C3D4E5F6071829304A5B6",
       {"#A", "#B", "#DR2160S-0A1B2C3D4E5F6071829304", "#Y"}, app::SerialSelected, 2, 0},
      {"T /SERIAL:A1", {"#A", "#B", "#X", "#Y"}, app::SerialNoDrive, 0, -1},  // not cut: exact
  };
  for (const Case& c : cases) {
    auto list = Drives(c.serials);
    app::ParseCommandLine(c.line, list->request);
    EXPECT_EQ(app::SelectDriveBySerial(*list, list->request), c.selection) << c.line;
    EXPECT_EQ(list->request.requestedDriveKind, c.kind) << c.line;
    EXPECT_EQ(list->request.requestedDriveNumber, c.number) << c.line;
  }
}

TEST(ScheduledTask, ArgumentsNameTheDriveAndRepeatTheSettings) {
  struct Case {
    const char* line;
    std::string drive;
    const char* arguments;
  };
  const Case cases[] = {
      {"T /SERIAL:S246J1RZ123456 /AAM:128 /SCHEDULE", app::DriveOption("S246J1RZ123456"),
       "/SERIAL:S246J1RZ123456 /AAM:128 /QUIT"},
      {"T /DRIVE:HDD1 /SCHEDULE /APM:OFF /AAM:200 /STANDBY", app::DriveOption("WD-WX 12"),
       "/SERIAL:\"WD-WX 12\" /AAM:200 /APM:OFF /STANDBY /QUIT"},
      {"T /DRIVE:ODD2 /TIMER-IDLE:0:05:00 /TIMER-STANDBY:OFF /SILENT /SCHEDULE",
       app::DriveOption("AB/12"), "/SERIAL:\"AB/12\" /TIMER-IDLE:0:05:00 /TIMER-STANDBY:OFF /SILENT /QUIT"},
  };
  for (const Case& c : cases) {
    CommandLineRequest request = {};
    app::ParseCommandLine(c.line, request);
    EXPECT_EQ(app::TaskArguments(request, c.drive), c.arguments) << c.line;
  }
  EXPECT_EQ(app::TaskName("S246J1RZ123456"), "Torvane S246J1RZ123456");
  EXPECT_EQ(app::TaskName("AB/12:34\\5"), "Torvane AB_12_34_5");
  // A serial number goes into the task only when it reads back as itself.
  for (const char* serial : {"S246J1RZ", "WD-WX 12", "AB/12", "a b/c-d.e_f"})
    EXPECT_TRUE(app::SerialFitsCommandLine(serial)) << serial;
  for (const char* serial : {"", "AB\"12", "TAB\t1", "\xC3\xA9T\xC3\xA9"})
    EXPECT_FALSE(app::SerialFitsCommandLine(serial)) << serial;
}

// Tags open and close in order; text holds no bare '<' or '&'.
bool WellFormed(const std::string& xml) {
  std::vector<std::string> open;
  for (size_t at = 0; at < xml.size();) {
    if (xml[at] == '&') {
      const size_t end = xml.find(';', at);
      const std::string entity = xml.substr(at, end == std::string::npos ? 0 : end - at + 1);
      if (entity != "&amp;" && entity != "&lt;" && entity != "&gt;" && entity != "&quot;" &&
          entity != "&apos;")
        return false;
      at = end + 1;
      continue;
    }
    if (xml[at] != '<') {
      ++at;
      continue;
    }
    const size_t end = xml.find('>', at);
    if (end == std::string::npos) return false;
    std::string tag = xml.substr(at + 1, end - at - 1);
    at = end + 1;
    if (tag[0] == '?') continue;
    if (tag.find('<') != std::string::npos) return false;
    if (tag[0] == '/') {
      if (open.empty() || open.back() != tag.substr(1)) return false;
      open.pop_back();
    } else if (tag.back() != '/') {
      open.push_back(tag.substr(0, tag.find(' ')));
    }
  }
  return open.empty();
}

TEST(ScheduledTask, DefinitionRunsAsTheSystemAtStartLogOnAndEveryWake) {
  const std::string xml = app::TaskDefinitionXml(
      "C:\\Tools & m\xC3\xB6re\\Torvane.exe", "/SERIAL:\"A<B\" /APM:128 /QUIT", "Keeps \"HDD\" settings");
  EXPECT_TRUE(WellFormed(xml)) << xml;
  for (const char* part : {
           "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">",
           "<BootTrigger><Enabled>true</Enabled>",
           "<LogonTrigger><Enabled>true</Enabled></LogonTrigger>",
           "&lt;Select Path=&quot;System&quot;&gt;*[System[Provider[@Name=&apos;Microsoft-Windows-Power-"
           "Troubleshooter&apos;] and EventID=1]]&lt;/Select&gt;",
           "*[System[Provider[@Name=&apos;Microsoft-Windows-Kernel-Power&apos;] and EventID=507]]",
           "<UserId>S-1-5-18</UserId><RunLevel>HighestAvailable</RunLevel>",
           "<Command>C:\\Tools &amp; m\xC3\xB6re\\Torvane.exe</Command>",
           "<Arguments>/SERIAL:&quot;A&lt;B&quot; /APM:128 /QUIT</Arguments>",
           "<WorkingDirectory>C:\\Tools &amp; m\xC3\xB6re</WorkingDirectory>",
       })
    EXPECT_NE(xml.find(part), std::string::npos) << part;
  EXPECT_FALSE(WellFormed("<Task><A></Task></A>"));  // the checker itself can fail
  EXPECT_FALSE(WellFormed("<Task>a & b</Task>"));
}

}  // namespace
