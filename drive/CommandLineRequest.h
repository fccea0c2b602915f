// What the command line asks for; read once at start-up and consumed by the
// page that first refreshes the named drive.
#pragma once

#include <cstdint>

namespace drive {

enum RequestedAction : int32_t {
  ActionNone = 0,
  ActionStandby = 1,
  ActionSilent = 2,
  ActionFast = 3,
};

enum RequestedDriveKind : int32_t {
  KindNoRequest = 0,
  KindHardDriveRequest = 1,
  KindOpticalRequest = 2,
};

struct CommandLineRequest {
  int32_t requestedDriveNumber;  // -1: no drive named, or consumed
  int32_t requestedDriveKind;    // 0 none, 1 hard drive, 2 optical drive
  int32_t requestedAction;       // RequestedAction
  uint8_t quitAfterAction;
};

}  // namespace drive
