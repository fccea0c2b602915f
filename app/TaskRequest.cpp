#include "app/TaskRequest.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/DriveSelection.h"
#include "app/ScheduledTask.h"
#include "framework/Shell.h"
#include "platform/SystemCalls.h"

namespace app {

namespace {
const char* const kNotRegistered = "The scheduled task \"%s\" could not be made (error 0x%08lX).";
const char* const kNotRemoved = "The scheduled task \"%s\" could not be removed (error 0x%08lX).";
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND): there was no such task.
constexpr DWORD kNoSuchTask = 0x80070002;

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
  return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}
}  // namespace

void CarryOutTaskRequest(drive::DriveList& list, int slot) {
  drive::CommandLineRequest& request = list.request;
  if (request.schedule == drive::ScheduleNone || request.outcome != drive::OutcomeDone) return;
  if (slot < 0 || slot >= list.driveCount) return;

  const drive::DriveSlot& named = list.slots[slot];
  const bool optical = named.hard.kind == drive::KindOpticalDrive;
  const int32_t kind = optical ? drive::KindOpticalRequest : drive::KindHardDriveRequest;
  const int32_t number = optical ? slot - list.hardDriveCount : slot;  // hard drives come first
  const std::string serial = DriveSerial(named);
  const std::string name =
      TaskName(!serial.empty() ? serial : (optical ? "ODD" : "HDD") + std::to_string(number));

  BOOL done;
  if (request.schedule == drive::ScheduleRemove) {
    done = platform::DeleteTask(name.c_str()) || platform::GetLastError() == kNoSuchTask;
  } else {
    const std::string drive(named.hard.displayName,
                            strnlen(named.hard.displayName, drive::kDisplayNameLength));
    const std::string xml = TaskDefinitionXml(
        ProgramPath(), TaskArguments(request, DriveOption(serial, kind, number)),
        "Puts back the settings of " + drive + " at log-on and when the PC wakes from sleep.");
    done = platform::RegisterTask(name.c_str(), xml.c_str());
  }
  if (done) return;
  char text[256];
  std::snprintf(text, sizeof text,
                request.schedule == drive::ScheduleRemove ? kNotRemoved : kNotRegistered,
                name.c_str(), static_cast<unsigned long>(platform::GetLastError()));
  fw::AfxMessageBox(text, MB_ICONERROR);
  drive::RecordOutcome(request, drive::OutcomeTaskFailed);
}

}  // namespace app
