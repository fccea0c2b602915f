// The media an optical drive of the bay can hold: names as the bay file and
// the tests give them, their MMC-6 profiles, the kind of medium each profile
// belongs to and a usual size.
#pragma once

#include <cstdint>
#include <string>

#include "sim/BayConfig.h"

namespace sim {

// "none", a name such as "cd-rw", "dvd+r-dl" or "bd-re" (any case), or a
// profile number ("0x0050"). Fills profile, kind and the usual last LBA;
// false for anything else.
bool ParseMediumName(const std::string& text, OpticalMedium* medium);

// cd below 0010h, dvd from 0010h to 003Fh, bd from 0040h (BD and HD DVD
// spin at about the same 1X); none for 0000h.
MediumKind KindOfProfile(uint16_t profile);

// Last LBA of a full medium in 2048-byte blocks: an 80-minute CD, a
// single- or dual-layer DVD, a single-layer BD.
uint32_t UsualLastLba(uint16_t profile);

// "cd", "dvd", "bd" or "none".
const char* MediumKindName(MediumKind kind);

}  // namespace sim
