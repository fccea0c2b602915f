// The standby timer of an ATA drive, as the count of IDLE (E3h) and STANDBY
// (E2h) gives it (ACS-3):
//   0          off
//   1-240      count x 5 s            (5 s to 20 min)
//   241-251    (count - 240) x 30 min (30 min to 5 h 30 min)
//   252        21 min
//   253        vendor-specific: never sent
//   254        reserved
//   255        21 min 15 s
#pragma once

#include <cstdint>

namespace drive {

constexpr uint32_t kShortestStandbyTimer = 5;      // seconds
constexpr uint32_t kLongestStandbyTimer = 19800;   // 5 h 30 min

// The count whose period lies nearest `seconds` (the longer of two as near:
// a drive asleep later than asked spins up no more often than wanted); 0 for
// 0. `seconds` outside the range gets the nearest end.
uint8_t StandbyTimerCount(uint32_t seconds);

// The period of a count in seconds; 0 for 0 and for the counts that name no
// period (253, 254).
uint32_t StandbyTimerSeconds(uint8_t count);

}  // namespace drive
