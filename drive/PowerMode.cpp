#include "drive/PowerMode.h"

namespace drive {

namespace {

struct PowerModeMeaning {
  uint8_t count;
  bool asleep;
  const char* text;
};

constexpr PowerModeMeaning kPowerModes[] = {
    {0x00, true, "standby"},
    {0x01, true, "standby (Standby_y)"},
    {0x40, false, "NV cache, spun down"},
    {0x41, false, "NV cache, spinning"},
    {0x80, false, "idle"},
    {0x81, false, "idle (Idle_a)"},
    {0x82, false, "idle (Idle_b)"},
    {0x83, false, "idle (Idle_c)"},
    {0xFF, false, "active"},
};

}  // namespace

PowerModeAnswer ReadPowerModeAnswer(const AtaTaskFile& registers) {
  constexpr PowerModeAnswer kNoAnswer = {false, false, nullptr};
  if ((registers.status & (kAtaStatusBsy | kAtaStatusErr)) != 0) return kNoAnswer;
  if ((registers.status & kAtaStatusDrdy) == 0) return kNoAnswer;
  for (const PowerModeMeaning& mode : kPowerModes)
    if (mode.count == registers.sectorCount) return {true, mode.asleep, mode.text};
  return kNoAnswer;
}

}  // namespace drive
