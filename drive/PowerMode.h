// What a drive's answer to CHECK POWER MODE says: whether it came from the
// drive at all, whether the drive sleeps, and how the page names the mode.
// The path probe and the page read every answer through this one table.
#pragma once

#include "drive/AtaCommands.h"

namespace drive {

struct PowerModeAnswer {
  bool answered;     // the registers are the drive's own answer
  bool asleep;       // a command that needs the platters spins it up first
  const char* text;  // as the page shows it; null when not answered
};

// ACS-3 CHECK POWER MODE, the count register:
//   00h Standby_z, 01h Standby_y                       asleep
//   40h, 41h NV cache power mode, 80h idle,
//   81h-83h Idle_a, Idle_b, Idle_c, FFh active         awake
// Not an answer: BSY set (the other registers mean nothing then), ERR set,
// DRDY clear (a block of zeros from a bridge or driver that had nothing to
// report), or a count ATA does not define.
PowerModeAnswer ReadPowerModeAnswer(const AtaTaskFile& registers);

}  // namespace drive
