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

// How the task names its drive: /SERIAL:text, quoted when the text holds a
// blank or "/", which would end it otherwise.
std::string DriveOption(const std::string& serial);
// Whether DriveOption of `serial` reads back as that serial number: printable
// ASCII without a quote, which no quoting could carry.
bool SerialFitsCommandLine(const std::string& serial);

// The task's arguments: the drive, the settings of `request` and /QUIT, in
// the order the program carries them out; /SCHEDULE itself is left out.
std::string TaskArguments(const drive::CommandLineRequest& request, const std::string& drive);

// The task's definition in the Task Scheduler's XML, version 1.2: run as the
// system, at start-up before anyone logs on, at every user's log-on, and
// after every wake (the System log's wake-up from sleep, event 1 of
// Microsoft-Windows-Power-Troubleshooter, and from Modern Standby, event 507
// of Microsoft-Windows-Kernel-Power); one action running `command` (UTF-8)
// with `arguments`.
std::string TaskDefinitionXml(const std::string& command, const std::string& arguments,
                              const std::string& description);

}  // namespace app
