// Reads the text of a bay file into a BayConfig. The format is described in
// docs/simulated-bay.md; every error names the line it was found on.
#pragma once

#include <string>

#include "sim/BayConfig.h"

namespace sim {

// Fills `config` (defaults resolved) and returns true, or returns false with
// a message "line N: ..." in `error`; `config` is then unspecified.
bool ParseBayText(const std::string& text, BayConfig* config, std::string* error);

}  // namespace sim
