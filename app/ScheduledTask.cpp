#include "app/ScheduledTask.h"

#include <cstdio>

#include "app/CommandLine.h"

namespace app {

namespace {

// Text for an XML element: the five characters XML reserves, escaped.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Element(const char* name, const std::string& text) {
  return std::string("<") + name + ">" + Escaped(text) + "</" + name + ">";
}

std::string LevelText(int32_t level) {
  return level == drive::kSettingOff ? "OFF" : std::to_string(level);
}

std::string TimerText(int32_t timer) {  // 100 ms units of whole seconds, as h:m:s
  if (timer == drive::kSettingOff) return "OFF";
  const int32_t seconds = timer / 10;
  char text[16];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

// The System log's record of a wake-up, as an event query.
const char* const kWakeQuery =
    "<QueryList><Query Id=\"0\" Path=\"System\"><Select Path=\"System\">"
    "*[System[Provider[@Name='Microsoft-Windows-Power-Troubleshooter'] and EventID=1]]"
    "</Select></Query></QueryList>";

}  // namespace

std::string TaskName(const std::string& drive) {
  std::string name = "Torvane " + drive;
  for (char& c : name)
    if (std::string("\\/:*?\"<>|").find(c) != std::string::npos || c < ' ') c = '_';
  return name;
}

std::string DriveOption(const std::string& serial, int32_t kind, int32_t number) {
  if (!serial.empty()) {
    const bool quoted = serial.find(' ') != std::string::npos;
    return std::string(kSerialOption) + (quoted ? "\"" + serial + "\"" : serial);
  }
  return std::string(kind == drive::KindOpticalRequest ? "/DRIVE:ODD" : "/DRIVE:HDD") +
         std::to_string(number);
}

std::string TaskArguments(const drive::CommandLineRequest& request, const std::string& drive) {
  std::string arguments = drive;
  const auto add = [&arguments](const std::string& option) { arguments += " " + option; };
  if (request.aamLevel != drive::kNotRequested) add(kAamOption + LevelText(request.aamLevel));
  if (request.apmLevel != drive::kNotRequested) add(kApmOption + LevelText(request.apmLevel));
  if (request.idleTimer != drive::kNotRequested)
    add(kIdleTimerOption + TimerText(request.idleTimer));
  if (request.standbyTimer != drive::kNotRequested)
    add(kStandbyTimerOption + TimerText(request.standbyTimer));
  if (request.requestedAction == drive::ActionStandby) add("/STANDBY");
  if (request.requestedAction == drive::ActionSilent) add("/SILENT");
  if (request.requestedAction == drive::ActionFast) add("/FAST");
  add("/QUIT");
  return arguments;
}

std::string TaskDefinitionXml(const std::string& command, const std::string& arguments,
                              const std::string& description) {
  // The program's folder is its working folder, where its manual lies.
  const size_t slash = command.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : command.substr(0, slash);
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
      "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
      "<RegistrationInfo>" + Element("Author", "Torvane") + Element("Description", description) +
      "</RegistrationInfo>"
      "<Triggers>"
      "<LogonTrigger><Enabled>true</Enabled></LogonTrigger>"
      // After sleep, USB disks take a few seconds to come back.
      "<EventTrigger><Enabled>true</Enabled>" + Element("Subscription", kWakeQuery) +
      "<Delay>PT10S</Delay></EventTrigger>"
      "</Triggers>"
      "<Principals><Principal id=\"Author\">"
      "<LogonType>InteractiveToken</LogonType><RunLevel>HighestAvailable</RunLevel>"
      "</Principal></Principals>"
      "<Settings>"
      "<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
      "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
      "<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
      "<ExecutionTimeLimit>PT10M</ExecutionTimeLimit>"
      "<Enabled>true</Enabled>"
      "</Settings>"
      "<Actions Context=\"Author\"><Exec>" + Element("Command", command) +
      Element("Arguments", arguments);
  if (!folder.empty()) xml += Element("WorkingDirectory", folder);
  xml += "</Exec></Actions></Task>";
  return xml;
}

}  // namespace app
