#include "app/ScheduledTask.h"

#include <cctype>
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

// The System log's records of a wake-up, as event queries: from sleep, and
// from Modern Standby, which logs no sleep at all.
std::string WakeQuery(const char* provider, int event) {
  return std::string("<QueryList><Query Id=\"0\" Path=\"System\"><Select Path=\"System\">"
                     "*[System[Provider[@Name='") +
         provider + "'] and EventID=" + std::to_string(event) +
         "]]</Select></Query></QueryList>";
}

// After a wake, USB disks take a few seconds to come back.
std::string WakeTrigger(const char* provider, int event) {
  return "<EventTrigger><Enabled>true</Enabled>" +
         Element("Subscription", WakeQuery(provider, event)) + "<Delay>PT10S</Delay></EventTrigger>";
}

}  // namespace

std::string TaskName(const std::string& drive) {
  std::string name = "Torvane " + drive;
  for (char& c : name)
    if (std::string("\\/:*?\"<>|").find(c) != std::string::npos || c < ' ') c = '_';
  return name;
}

std::string DriveOption(const std::string& serial) {
  const bool quoted = serial.find_first_of(" /") != std::string::npos;
  return std::string(kSerialOption) + (quoted ? "\"" + serial + "\"" : serial);
}

bool SerialFitsCommandLine(const std::string& serial) {
  for (char c : serial)
    if (c < ' ' || c > '~' || c == '"') return false;
  drive::CommandLineRequest request = {};
  ParseCommandLine(("Torvane.exe " + DriveOption(serial) + " /QUIT").c_str(), request);
  std::string upper = serial;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return !serial.empty() && request.refusedOption[0] == '\0' && upper == request.requestedSerial;
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
      "<BootTrigger><Enabled>true</Enabled><Delay>PT30S</Delay></BootTrigger>"
      "<LogonTrigger><Enabled>true</Enabled></LogonTrigger>" +
      WakeTrigger("Microsoft-Windows-Power-Troubleshooter", 1) +
      WakeTrigger("Microsoft-Windows-Kernel-Power", 507) +
      "</Triggers>"
      // Drive settings belong to the machine: the system runs the task, for
      // whoever logs on and before anyone does.
      "<Principals><Principal id=\"Author\">"
      "<UserId>S-1-5-18</UserId><RunLevel>HighestAvailable</RunLevel>"
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
