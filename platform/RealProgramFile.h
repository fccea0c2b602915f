// The program's own file as the real system knows it: its path, and who may
// change a file or folder, for the real system's table of calls.
#pragma once

#include "platform/PlatformTypes.h"

namespace platform {

DWORD RealProgramPath(char* path, DWORD size);
BOOL RealSecurityText(const char* path, char* text, DWORD size);

}  // namespace platform
