#include "app/TaskRequest.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/DriveSelection.h"
#include "app/ScheduledTask.h"
#include "app/SecurityDescriptor.h"
#include "drive/AtaCommands.h"
#include "drive/HardDriveDiscovery.h"
#include "drive/IdentifyData.h"
#include "framework/Shell.h"
#include "platform/SystemCalls.h"

namespace app {

namespace {
const char* const kNotRegistered = "The scheduled task \"%s\" could not be made (error 0x%08lX).";
const char* const kNotRemoved = "The scheduled task \"%s\" could not be removed (error 0x%08lX).";
const char* const kPlaceNotSafe =
    "No scheduled task was made, and nothing was done: %s can be changed by %s, and the task "
    "would run whatever lies there with administrator rights. Put Torvane in a folder that only "
    "administrators can change, such as C:\\Program Files\\Torvane, and run it from there.";
const char* const kPlaceUnknown =
    "No scheduled task was made, and nothing was done: who may change %s could not be read "
    "(error %lu). Put Torvane in a folder that only administrators can change, such as "
    "C:\\Program Files\\Torvane, and run it from there.";
const char* const kNoSerial =
    "No scheduled task was made, and nothing was done: the drive has no serial number, and a "
    "task names its drive by one.";
const char* const kSerialNotWritable =
    "No scheduled task was made, and nothing was done: the drive's serial number \"%s\" cannot "
    "be written on a command line.";
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND): there was no such task.
constexpr DWORD kNoSuchTask = 0x80070002;
constexpr DWORD kLongestPath = 32768 * 3;  // UTF-8 of the longest path the system has

std::string Formatted(const char* format, const std::string& a, const std::string& b = "") {
  std::vector<char> text(std::strlen(format) + a.size() + b.size() + 1);
  std::snprintf(text.data(), text.size(), format, a.c_str(), b.c_str());
  return text.data();
}

std::string Unreadable(const std::string& path) {
  std::vector<char> text(std::strlen(kPlaceUnknown) + path.size() + 16);
  std::snprintf(text.data(), text.size(), kPlaceUnknown, path.c_str(),
                static_cast<unsigned long>(platform::GetLastError()));
  return text.data();
}

// Who besides administrators and the system may change `path`; "" when nobody.
std::string Judge(const std::string& path, uint32_t rights, std::string* unreadable) {
  std::vector<char> sddl(65536);
  if (!platform::GetSecurityText(path.c_str(), sddl.data(), static_cast<DWORD>(sddl.size()))) {
    *unreadable = Unreadable(path);
    return std::string();
  }
  return WhoMayChange(sddl.data(), rights);
}

// The folder `path` lies in ("C:\" for "C:\Torvane"); empty above the root.
std::string Parent(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos || slash + 1 == path.size()) return std::string();
  std::string parent = path.substr(0, slash);
  if (parent.size() == 2 && parent[1] == ':') parent += '\\';  // the root keeps its backslash
  if (parent.empty() || parent == "\\" || parent.find('\\') == std::string::npos)
    return std::string();  // \\server\share and the like: no folder above
  return parent;
}
}  // namespace

std::string ProgramPlaceProblem() {
  std::vector<char> path(kLongestPath);
  if (platform::GetProgramPath(path.data(), kLongestPath) == 0)
    return Unreadable("Torvane.exe");
  std::string place = path.data();
  // The program itself, its folder (a DLL put beside it is loaded too), and
  // every folder above, any of which could be swapped for another.
  uint32_t rights = kReplacesFile;
  for (int level = 0; !place.empty(); ++level, place = Parent(place)) {
    std::string unreadable;
    const std::string who = Judge(place, rights, &unreadable);
    if (!unreadable.empty()) return unreadable;
    if (!who.empty()) return Formatted(kPlaceNotSafe, place, who);
    rights = level == 0 ? kChangesFolder : kReplacesSubfolder;
  }
  return std::string();
}

std::string TaskSerialProblem(drive::DriveList& list, int slot) {
  if (slot < 0 || slot >= list.driveCount) return std::string();
  drive::DriveSlot& named = list.slots[slot];
  drive::HardDriveInfo& disk = named.hard;
  if (disk.kind == drive::KindHardDrive && disk.identityPending && disk.driverSerial[0] == '\0') {
    uint8_t identify[drive::kIdentifyLength];
    if (drive::AtaIdentifyDevice(disk, identify, sizeof identify) &&
        drive::CarriesIdentifyData(identify))
      drive::TakeIdentity(disk, identify);
  }
  const std::string serial = TaskSerial(named);
  if (serial.empty()) return kNoSerial;
  if (!SerialFitsCommandLine(serial)) return Formatted(kSerialNotWritable, serial);
  return std::string();
}

void CarryOutTaskRequest(drive::DriveList& list, int slot) {
  drive::CommandLineRequest& request = list.request;
  if (request.schedule == drive::ScheduleNone || request.outcome != drive::OutcomeDone) return;
  const bool named = slot >= 0 && slot < list.driveCount;
  std::vector<std::string> names;  // the tasks to make or remove
  if (named) names.push_back(TaskName(TaskSerial(list.slots[slot])));
  // /UNSCHEDULE /SERIAL: removes the task of that name, drive or no drive.
  if (request.schedule == drive::ScheduleRemove && request.requestedSerial[0] != '\0') {
    const std::string asWritten = TaskName(request.requestedSerial);
    if (names.empty() || _stricmp(names[0].c_str(), asWritten.c_str()) != 0)
      names.push_back(asWritten);
  }
  if (names.empty()) return;

  BOOL done = TRUE;
  std::string failed;
  DWORD error = 0;
  for (const std::string& name : names) {
    BOOL ok;
    if (request.schedule == drive::ScheduleRemove) {
      ok = platform::DeleteTask(name.c_str()) || platform::GetLastError() == kNoSuchTask;
    } else {
      const drive::DriveSlot& drive = list.slots[slot];
      const std::string display(drive.hard.displayName,
                                strnlen(drive.hard.displayName, drive::kDisplayNameLength));
      std::vector<char> path(kLongestPath);
      platform::GetProgramPath(path.data(), kLongestPath);
      const std::string xml = TaskDefinitionXml(
          path.data(), TaskArguments(request, DriveOption(TaskSerial(drive))),
          "Puts back the settings of " + display +
              " when the PC starts, at every log-on and when the PC wakes from sleep.");
      ok = platform::RegisterTask(name.c_str(), xml.c_str());
    }
    if (!ok && done) failed = name, error = platform::GetLastError();
    done = done && ok;
  }
  if (done) return;
  char text[512];
  std::snprintf(text, sizeof text,
                request.schedule == drive::ScheduleRemove ? kNotRemoved : kNotRegistered,
                failed.c_str(), static_cast<unsigned long>(error));
  fw::AfxMessageBox(text, MB_ICONERROR);
  drive::RecordOutcome(request, drive::OutcomeTaskFailed);
}

}  // namespace app
