// /SCHEDULE and /UNSCHEDULE, carried out once the window has closed: the
// task that puts a drive's settings back is registered, or removed.
#pragma once

#include "drive/DriveList.h"

namespace app {

// Registers or removes the task of the drive in `slot` (the one the command
// line named) when the request asks for it and all else went well; records
// OutcomeTaskFailed, and says why in a box, when the scheduler refuses.
void CarryOutTaskRequest(drive::DriveList& list, int slot);

}  // namespace app
