// Builds IDENTIFY DEVICE data (ATA8-ACS, 256 little-endian words).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/BayConfig.h"

namespace sim {

struct IdentifyState {
  bool apmEnabled;
  uint8_t apmLevel;
  bool aamEnabled;
  uint8_t aamLevel;
};

// Puts `text` into words first..first+wordCount-1: two characters a word,
// the first in the high byte, blank padded on the right.
void PutAtaString(uint8_t* data, int firstWord, int wordCount, const std::string& text);

std::vector<uint8_t> BuildIdentifyData(const AtaDeviceConfig& config, const IdentifyState& state);

}  // namespace sim
