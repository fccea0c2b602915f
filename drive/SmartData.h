// The wear counters of a disk's SMART data (the 512 bytes of SMART READ
// DATA): how often its heads were loaded and how often it spun up.
//   byte 0-1     revision
//   byte 2-361   30 attribute entries of 12 bytes:
//                  0 id (0: unused)  1-2 flags  3 value  4 worst
//                  5-10 raw value, least significant byte first  11 reserved
//   byte 511     checksum: all 512 bytes add up to 0 (modulo 256)
#pragma once

#include <cstdint>

namespace drive {

constexpr int kSmartDataLength = 512;
constexpr uint8_t kAttributeSpinUps = 4;         // start/stop count
constexpr uint8_t kAttributeHeadLoads = 193;     // load/unload cycle count
constexpr uint8_t kAttributeHeadLoadsOld = 225;  // the same, where some drives keep it

struct WearCounts {
  bool intact;        // the checksum holds: the numbers below can be trusted
  bool hasHeadLoads;  // attribute 193, or 225 without it
  uint32_t headLoads;
  bool hasSpinUps;
  uint32_t spinUps;
};

// Reads both counters; a table whose checksum fails gives nothing. A count is
// the low 32 bits of the raw value: the upper bytes hold vendor data on some
// drives.
WearCounts ReadWearCounts(const uint8_t data[kSmartDataLength]);

}  // namespace drive
