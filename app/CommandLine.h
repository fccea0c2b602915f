// The command line: which drive, which action, and whether to close after it.
#pragma once

#include <cstdint>
#include <string>

#include "drive/CommandLineRequest.h"

namespace app {

// The number after the first occurrence of `option` in `text`, read as atoi
// reads (blanks, a sign, digits; 0 without digits), or -1 when the option is
// absent or ends the text. A number beyond 32 bits saturates, so it names no
// drive instead of wrapping into one.
int32_t NumberAfter(const std::string& text, const char* option);

// Fills `request` from a complete command line (the program's path included).
// Options are found anywhere, in any case, without separators.
void ParseCommandLine(const char* commandLine, drive::CommandLineRequest& request);

}  // namespace app
