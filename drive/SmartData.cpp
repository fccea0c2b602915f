#include "drive/SmartData.h"

namespace drive {

namespace {
constexpr int kFirstEntry = 2;
constexpr int kEntryLength = 12;
constexpr int kEntries = 30;

uint32_t RawCount(const uint8_t* entry) {
  return static_cast<uint32_t>(entry[5]) | static_cast<uint32_t>(entry[6]) << 8 |
         static_cast<uint32_t>(entry[7]) << 16 | static_cast<uint32_t>(entry[8]) << 24;
}
}  // namespace

WearCounts ReadWearCounts(const uint8_t data[kSmartDataLength]) {
  WearCounts counts = {};
  uint8_t sum = 0;
  for (int i = 0; i < kSmartDataLength; ++i) sum = static_cast<uint8_t>(sum + data[i]);
  if (sum != 0) return counts;
  counts.intact = true;
  bool loadsFrom193 = false;
  for (int i = 0; i < kEntries; ++i) {
    const uint8_t* entry = data + kFirstEntry + i * kEntryLength;
    if (entry[0] == kAttributeSpinUps && !counts.hasSpinUps) {
      counts.hasSpinUps = true;
      counts.spinUps = RawCount(entry);
    } else if (entry[0] == kAttributeHeadLoads && !loadsFrom193) {
      loadsFrom193 = counts.hasHeadLoads = true;
      counts.headLoads = RawCount(entry);
    } else if (entry[0] == kAttributeHeadLoadsOld && !counts.hasHeadLoads) {
      counts.hasHeadLoads = true;
      counts.headLoads = RawCount(entry);
    }
  }
  return counts;
}

}  // namespace drive
