// /SCHEDULE and /UNSCHEDULE: what must hold before anything is sent, and the
// task that puts a drive's settings back, registered or removed once the
// window has closed.
#pragma once

#include <string>

#include "drive/DriveList.h"

namespace app {

// Why no task may run this program with administrator rights from where it
// lies: the file, its folder or a folder above it that someone other than
// administrators and the system can change, and who. Empty when none can.
std::string ProgramPlaceProblem();

// Why the drive in `slot` cannot be named in a task: it has no serial number,
// or one no command line can carry. A disk listed asleep whose driver keeps
// no serial number is asked for it first, with one IDENTIFY. Empty when the
// task can name it.
std::string TaskSerialProblem(drive::DriveList& list, int slot);

// Registers or removes the task of the drive in `slot` (the one the command
// line named; -1 when /UNSCHEDULE names a serial number no listed drive has)
// when the request asks for it and all else went well; records
// OutcomeTaskFailed, and says why in a box, when the scheduler refuses.
void CarryOutTaskRequest(drive::DriveList& list, int slot);

}  // namespace app
