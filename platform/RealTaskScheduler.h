// The real Task Scheduler of Windows, for the real system's table of calls.
#pragma once

#include "platform/PlatformTypes.h"

namespace platform {

BOOL RealRegisterTask(const char* name, const char* xml);
BOOL RealDeleteTask(const char* name);

}  // namespace platform
