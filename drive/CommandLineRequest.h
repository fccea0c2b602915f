// What the command line asks for; read once at start-up and consumed by the
// page that first refreshes the named drive. The page records what came of
// it, which becomes the program's exit code.
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

// A level or timer the command line did not name, and one it turns off.
constexpr int32_t kNotRequested = -1;
constexpr int32_t kSettingOff = -2;

// What became of the request: the program's exit code. The first failure
// is the one reported.
enum RequestOutcome : int32_t {
  OutcomeDone = 0,             // what was asked was done, or nothing was asked
  OutcomeNotStarted = 1,       // no drive found, or the simulated bay could not be loaded
  OutcomeNoSuchDrive = 2,      // no drive of that kind and number (or none named)
  OutcomeCommandFailed = 3,    // a drive refused a command or could not be reached
  OutcomeStandbyRefused = 4,   // the disk holds Windows, or may hold it
  OutcomeNoDisc = 5,           // a read speed asked of a drive without a disc
  OutcomeValueRefused = 6,     // an option's value is out of range or malformed
  OutcomeNotSupported = 7,     // the drive lacks what was asked (APM, AAM, power timers)
  OutcomeProbeTooLong = 8,     // the drive did not finish learning its speeds in time
  OutcomeTaskFailed = 9,       // the scheduled task could not be registered or removed
};

enum ScheduleRequest : int32_t {
  ScheduleNone = 0,
  ScheduleCreate = 1,  // /SCHEDULE: carry the settings out, then keep them with a task
  ScheduleRemove = 2,  // /UNSCHEDULE: remove the drive's task
};

constexpr int kRefusedOptionLength = 64;
constexpr int kRequestedSerialLength = 64;

struct CommandLineRequest {
  int32_t requestedDriveNumber;  // -1: no drive named, or consumed
  int32_t requestedDriveKind;    // 0 none, 1 hard drive, 2 optical drive
  int32_t requestedAction;       // RequestedAction
  uint8_t quitAfterAction;
  // Settings to re-apply: a level (APM 1-254, AAM 128-254), a timer in units
  // of 100 ms (0-65535), kSettingOff, or kNotRequested.
  int32_t apmLevel;
  int32_t aamLevel;
  int32_t idleTimer;
  int32_t standbyTimer;
  // The first option whose value was refused, as written ("/APM:300");
  // empty when every value was sound. A refused value sends nothing.
  char refusedOption[kRefusedOptionLength];
  int32_t outcome;  // RequestOutcome
  // /SERIAL: the drive named by its serial number, upper case, without the
  // "#" and the blanks around it; empty when none was named. It decides
  // which drive the request is for.
  char requestedSerial[kRequestedSerialLength];
  int32_t schedule;  // ScheduleRequest
};

// Keeps the first failure: a later one does not hide what went wrong first.
inline void RecordOutcome(CommandLineRequest& request, RequestOutcome outcome) {
  if (request.outcome == OutcomeDone) request.outcome = outcome;
}

}  // namespace drive
