#include "drive/StandbyTimer.h"

namespace drive {

uint32_t StandbyTimerSeconds(uint8_t count) {
  if (count <= 240) return count * 5u;
  if (count <= 251) return (count - 240u) * 1800u;
  if (count == 252) return 21 * 60;
  if (count == 255) return 21 * 60 + 15;
  return 0;
}

uint8_t StandbyTimerCount(uint32_t seconds) {
  if (seconds == 0) return 0;
  uint8_t best = 1;
  uint32_t bestDistance = UINT32_MAX;
  for (int count = 1; count <= 255; ++count) {
    const uint32_t period = StandbyTimerSeconds(static_cast<uint8_t>(count));
    if (period == 0) continue;
    const uint32_t distance = period > seconds ? period - seconds : seconds - period;
    const bool longerAsNear =
        distance == bestDistance && period > StandbyTimerSeconds(best);
    if (distance < bestDistance || longerAsNear) {
      best = static_cast<uint8_t>(count);
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace drive
