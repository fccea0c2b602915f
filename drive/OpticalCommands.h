// Optical drive command set: finding the drives on the letters C to Z, and
// every MMC command block the program sends to them.
#pragma once

#include <cstdint>

#include "drive/DriveList.h"
#include "drive/Transport.h"

namespace drive {

constexpr int kStreamingDescriptorLength = 28;
constexpr int kPowerConditionPageLength = 20;
constexpr uint8_t kPowerConditionPage = 0x1A;
constexpr uint8_t kCapabilitiesPage = 0x2A;
constexpr int kCapabilitiesLength = 32;
constexpr int kPerformanceLength = 24;
constexpr int kSerialFeatureLength = 64;
constexpr uint16_t kSerialNumberFeature = 0x0108;
constexpr int kMaxSerialCharacters = 30;

constexpr int kConditionIdle = 2;
constexpr int kConditionStandby = 3;
constexpr int kLeaveUnchanged = -1;

// Appends every optical drive on C: to Z: after the slots in use; returns the
// new driveCount. Drives that find no free slot are skipped.
int EnumerateOpticalDrives(DriveList& list);

// The command blocks.
DriveCommandResult TestUnitReady(HANDLE device);
DriveCommandResult GetConfiguration(HANDLE device, uint8_t rt, uint16_t feature, uint8_t* buffer,
                                    uint16_t length);
DriveCommandResult StartStopUnit(HANDLE device, int start, int loadEject, int condition);
DriveCommandResult SetCdSpeed(HANDLE device, int32_t speed);
DriveCommandResult SetStreaming(HANDLE device, uint8_t* descriptor);  // 28 bytes
DriveCommandResult GetPerformance(HANDLE device, uint8_t* buffer);    // 24 bytes

// Operations built on them. The queries give -1 for any result but GOOD.
int32_t GetCurrentProfile(HANDLE device);
int32_t ReadCapabilitiesSpeed(HANDLE device);
int32_t ReadPerformanceSpeed(HANDLE device);
DriveCommandResult SetStreamingSpeed(HANDLE device, int32_t speed);
DriveCommandResult ReadPowerConditionPage(HANDLE device, uint8_t* buffer, uint8_t length);
// Each value may be kLeaveUnchanged. Timers are in units of 100 ms.
bool WritePowerConditions(HANDLE device, int idleEnable, int standbyEnable, int32_t idleTimer,
                          int32_t standbyTimer);
DriveCommandResult EnterPowerCondition(HANDLE device, int condition);

// What a power condition page image (kPowerConditionPageLength bytes, header
// included) says of the two timers, in whole seconds.
struct PowerTimerSettings {
  bool idleEnabled;     // byte 11 bit 1, IDLE
  bool standbyEnabled;  // byte 11 bit 0, STANDBY
  uint32_t idleSeconds;     // bytes 12-15 / 10
  uint32_t standbySeconds;  // bytes 16-19 / 10
};
PowerTimerSettings DecodePowerConditionPage(const uint8_t* page);

}  // namespace drive
