// What the real system's table of calls asks Windows beyond its plain
// functions: the program's path, who may change a file or folder, the clock.
#pragma once

#include "platform/PlatformTypes.h"

namespace platform {

DWORD RealProgramPath(char* path, DWORD size);
BOOL RealSecurityText(const char* path, char* text, DWORD size);
LONGLONG RealClockSeconds();

}  // namespace platform
