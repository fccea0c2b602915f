// The scheduled task that keeps a drive's settings: it runs Torvane again at
// every log-on and each time the PC wakes from sleep. Plain text functions;
// the task is registered through the system-call seam.
#pragma once

#include <string>

#include "drive/CommandLineRequest.h"

namespace app {

// "Torvane " and what names the drive (its serial number, or HDDn / ODDn),
// with the characters a task name may not hold (\ / : * ? " < > |) as "_".
std::string TaskName(const std::string& drive);

// How the task names the drive: /SERIAL:text (quoted when it holds a blank)
// when it has a serial number, else /DRIVE:HDDn or /DRIVE:ODDn.
std::string DriveOption(const std::string& serial, int32_t kind, int32_t number);

// The task's arguments: the drive, the settings of `request` and /QUIT, in
// the order the program carries them out; /SCHEDULE itself is left out.
std::string TaskArguments(const drive::CommandLineRequest& request, const std::string& drive);

// The task's definition in the Task Scheduler's XML, version 1.2: a log-on
// trigger for any user, a trigger on the System log's wake-up event (event 1
// of Microsoft-Windows-Power-Troubleshooter), the highest run level, and
// one action running `command` with `arguments`.
std::string TaskDefinitionXml(const std::string& command, const std::string& arguments,
                              const std::string& description);

}  // namespace app
