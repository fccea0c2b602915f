// The one table of drives: fixed storage of 64 slots, hard drives first, then
// optical drives. Both slot records begin with the same head, so a slot's kind
// can be read through either.
#pragma once

#include <cstdint>

#include "drive/CommandLineRequest.h"
#include "platform/PlatformTypes.h"

namespace drive {

constexpr int kMaxDrives = 64;
constexpr int kMaxSpeeds = 128;
constexpr int kDisplayNameLength = 64;
constexpr int kSerialTextLength = 32;

enum DriveKind : int32_t { KindNone = 0, KindHardDrive = 1, KindOpticalDrive = 2 };

enum DiscType : int32_t { DiscNone = 0, DiscCd = 1, DiscDvd = 2, DiscBd = 3 };
constexpr int kDiscTypeCount = 4;

// Read speeds of one kind of medium in one optical drive, in KB/s.
struct SpeedTable {
  HWND notifyWindow;
  int32_t speedCount;
  int32_t speeds[kMaxSpeeds];
  int32_t readByPerformance;
  int32_t setByStreaming;
  int32_t currentSpeed;
  // A probe ran for this medium and learned no speed: the drive is not probed
  // again by itself (the refresh button asks again).
  int32_t probeFoundNone;
  // The probe's list is complete and not yet stored; set by the probe just
  // before it reports, cleared when the list is stored.
  int32_t probeFinished;
};

struct HardDriveInfo {
  HANDLE deviceHandle;
  int32_t kind;
  char displayName[kDisplayNameLength];
  char serialText[kSerialTextLength];
  int32_t physicalDriveNumber;
  uint8_t isSystemDrive;
  int32_t ataPath;
  uint64_t capacityBytes;
  int32_t apmSupported;
  int32_t aamSupported;
  // Set when the disks of the Windows directory's volume could not be
  // learned: this disk may hold Windows, so it is never put to sleep.
  uint8_t systemDriveUnknown;
  // What IDENTIFY DEVICE last said of power management and seek noise
  // control, so that a sleeping drive is shown without being woken to ask.
  uint8_t featuresRead;      // an IDENTIFY has come back
  uint16_t featuresEnabled;  // word 86
  uint16_t apmLevelWord;     // word 91
  uint16_t aamLevelWord;     // word 94
  uint8_t smartEnabled;      // words 82 and 85, bit 0: SMART there and on
  // Listed while asleep: the serial number and the support of both feature
  // sets are unknown until an IDENTIFY comes back.
  uint8_t identityPending;
  // The serial number the storage driver keeps for the disk, without asking
  // it (empty when it has none). For a disk behind a USB bridge it may be the
  // bridge's own.
  char driverSerial[kSerialTextLength];
  uint32_t busType;  // STORAGE_BUS_TYPE, as the storage driver reports it
};

struct OpticalDriveInfo {
  HANDLE deviceHandle;
  int32_t kind;
  char displayName[kDisplayNameLength];
  char serialText[kSerialTextLength];
  int32_t discType;
  SpeedTable speedTables[kDiscTypeCount];
};

union DriveSlot {
  HardDriveInfo hard;
  OpticalDriveInfo optical;
};

struct DriveList {
  HWND ownerWindow;
  int32_t driveCount;
  int32_t hardDriveCount;
  int32_t opticalDriveCount;
  DriveSlot slots[kMaxDrives];
  int32_t selectedIndex;
  CommandLineRequest request;
};

}  // namespace drive
