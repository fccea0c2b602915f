// ATA command set for hard drives: one AtaExecute over the drive's command
// path, the path probe, and the four commands the program uses.
#pragma once

#include <cstdint>

#include "drive/DriveList.h"

namespace drive {

// The ATA register block, as input (command registers) and as output
// (registers after the command).
struct AtaTaskFile {
  union {
    uint8_t features;  // in
    uint8_t error;     // out
  };
  uint8_t sectorCount;  // out: CHECK POWER MODE puts the power mode here
  uint8_t lbaLow;
  uint8_t lbaMid;
  uint8_t lbaHigh;
  uint8_t device;
  union {
    uint8_t command;  // in
    uint8_t status;   // out; bit 0 is ERR
  };
};

enum AtaPath : int32_t {
  PathNone = 0,
  PathSmart = 1,
  PathAtaPassThrough = 2,
  PathSat12 = 3,
  PathReserved = 4,
  PathVendorDF = 5,
  PathVendorF8 = 6,
};

enum AtaDataClass : uint32_t { AtaDataIn = 0, AtaDataOut = 1, AtaNoData = 2 };
extern const uint32_t AtaDataClassTable[256];

constexpr uint8_t kAtaDevice = 0xA0;  // device 0, bits 7 and 5 set, LBA bit clear
constexpr uint8_t kAtaStatusErr = 0x01;
constexpr uint8_t kAtaStatusDrdy = 0x40;  // device ready
constexpr uint8_t kAtaStatusBsy = 0x80;   // busy: the other registers mean nothing

constexpr uint8_t kAtaIdentifyDevice = 0xEC;
constexpr uint8_t kAtaSetFeatures = 0xEF;
constexpr uint8_t kAtaCheckPowerMode = 0xE5;
constexpr uint8_t kAtaStandbyImmediate = 0xE0;
constexpr uint8_t kAtaStandby = 0xE2;  // standby now, with the standby timer's count
constexpr uint8_t kAtaIdle = 0xE3;     // idle now (spinning), with the standby timer's count
constexpr uint8_t kAtaSmart = 0xB0;    // sent only as SMART READ DATA: 512 bytes in
constexpr uint8_t kSmartReadData = 0xD0;

constexpr uint8_t kFeatureEnableApm = 0x05;
constexpr uint8_t kFeatureDisableApm = 0x85;
constexpr uint8_t kFeatureEnableAam = 0x42;
constexpr uint8_t kFeatureDisableAam = 0xC2;

constexpr int kIdentifyLength = 512;

// Sends one command over drive.ataPath. `output` null: no registers wanted.
bool AtaExecute(const HardDriveInfo& drive, const AtaTaskFile& input, void* data, int length,
                AtaTaskFile* output);

// What the path probe learned of the drive besides its path.
enum AtaProbeResult { ProbeNoPath = 0, ProbeAsleep = 1, ProbeIdentified = 2 };

// Finds the drive's command path without waking it. The paths that return
// registers (2, 3, 5, 6) are asked CHECK POWER MODE first, which never spins a
// drive up; the first that answers with a power mode is the drive's path. A
// drive that answers standby (either kind) is left asleep: no IDENTIFY. A
// path whose command block never reached the drive (the driver gave up on
// it) is not tried again, nor, after a vendor block, the other vendor path. An awake drive gets
// one IDENTIFY there, which must carry identify data (else the probe goes on
// with the next path); `identify` then holds it. Only paths that could not
// tell the power mode are then tried with IDENTIFY, SMART last, as it returns
// no registers. Keeps the path in drive.ataPath (0 when none works).
AtaProbeResult ProbeAtaPath(HardDriveInfo& drive, uint8_t identify[kIdentifyLength]);
bool ProbeAtaCommandPath(HardDriveInfo& drive);  // true when a path was found

bool AtaIdentifyDevice(const HardDriveInfo& drive, void* buffer, int length);
bool AtaSetFeatures(const HardDriveInfo& drive, uint8_t subcommand, uint8_t count);
bool AtaCheckPowerMode(const HardDriveInfo& drive, AtaTaskFile* output);
bool AtaStandbyImmediate(const HardDriveInfo& drive);
// Set the standby timer (StandbyTimer.h) and leave the drive spinning (IDLE)
// or asleep (STANDBY): whichever it is in already, so that setting the timer
// never spins it up or down.
bool AtaIdle(const HardDriveInfo& drive, uint8_t timerCount);
bool AtaStandby(const HardDriveInfo& drive, uint8_t timerCount);
// SMART READ DATA into 512 bytes (SmartData.h).
bool AtaSmartReadData(const HardDriveInfo& drive, void* buffer);

}  // namespace drive
