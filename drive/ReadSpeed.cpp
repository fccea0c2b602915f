#include "drive/ReadSpeed.h"

#include <cstdio>
#include <cstring>

#include "drive/OpticalCommands.h"
#include "drive/SpeedListText.h"
#include "platform/Settings.h"
#include "platform/Worker.h"

namespace drive {

namespace {

struct DiscTypeFacts {
  const char* name;
  int32_t unit;          // KB/s for 1X
  int32_t silentFactor;  // Silent = factor x unit
};

// Indexed by DiscType.
const DiscTypeFacts kDiscTypes[kDiscTypeCount] = {
    {"-", 176, 1},     // none
    {"CD", 176, 4},    // 704 KB/s
    {"DVD", 1385, 2},  // 2770 KB/s
    {"BD", 4482, 1},   // 4482 KB/s
};

const DiscTypeFacts& FactsOf(int32_t discType) {
  return discType >= 0 && discType < kDiscTypeCount ? kDiscTypes[discType] : kDiscTypes[DiscNone];
}

// The fixed list of a drive family that reports no usable DVD speeds.
const int32_t kFixedDvdSpeeds[] = {22160, 16620, 11080, 6925, 2770};  // 16X 12X 8X 5X 2X
const char* const kFixedDvdFamily = "PX-7";

std::string EntryName(const char* format, int32_t discType) {
  char name[32];
  std::snprintf(name, sizeof name, format, DiscTypeName(discType));
  return name;
}

}  // namespace

DiscType DetectDiscType(HANDLE device) {
  const int32_t profile = GetCurrentProfile(device);
  if (profile >= 0x10 && profile <= 0x2B) return DiscDvd;
  if (profile >= 0x40) return DiscBd;  // every profile from 40h up counts as BD
  return TestUnitReady(device) == kCommandGood ? DiscCd : DiscNone;
}

const char* DiscTypeName(int32_t discType) {
  return discType >= DiscCd && discType <= DiscBd ? kDiscTypes[discType].name : "-";
}

int32_t SpeedUnit(int32_t discType) { return FactsOf(discType).unit; }

int32_t SilentSpeed(int32_t discType) {
  return FactsOf(discType).silentFactor * FactsOf(discType).unit;
}

std::string FormatSpeed(int32_t discType, int32_t speed) {
  char text[64];
  if (discType == DiscCd) {
    std::snprintf(text, sizeof text, "%d X (%d KB/s)", speed / SpeedUnit(discType), speed);
  } else {
    std::snprintf(text, sizeof text, "%.1f X (%d KB/s)",
                  static_cast<double>(speed) / SpeedUnit(discType), speed);
  }
  return text;
}

SpeedTable& CurrentSpeedTable(OpticalDriveInfo& drive) {
  const int32_t type = drive.discType >= 0 && drive.discType < kDiscTypeCount ? drive.discType
                                                                              : DiscNone;
  return drive.speedTables[type];
}

int32_t ReadCurrentSpeed(OpticalDriveInfo& drive) {
  return CurrentSpeedTable(drive).readByPerformance ? ReadPerformanceSpeed(drive.deviceHandle)
                                                    : ReadCapabilitiesSpeed(drive.deviceHandle);
}

int32_t ReadSpeedByAnyMethod(OpticalDriveInfo& drive) {
  const int32_t speed = ReadCurrentSpeed(drive);
  if (speed != -1) return speed;
  return CurrentSpeedTable(drive).readByPerformance ? ReadCapabilitiesSpeed(drive.deviceHandle)
                                                    : ReadPerformanceSpeed(drive.deviceHandle);
}

DriveCommandResult ApplySpeed(OpticalDriveInfo& drive, int32_t speed) {
  return CurrentSpeedTable(drive).setByStreaming ? SetStreamingSpeed(drive.deviceHandle, speed)
                                                 : SetCdSpeed(drive.deviceHandle, speed);
}

DriveCommandResult ApplySpeedByAnyMethod(OpticalDriveInfo& drive, int32_t speed) {
  const DriveCommandResult result = ApplySpeed(drive, speed);
  if (result == kCommandGood) return result;
  return CurrentSpeedTable(drive).setByStreaming ? SetCdSpeed(drive.deviceHandle, speed)
                                                 : SetStreamingSpeed(drive.deviceHandle, speed);
}

int32_t ProbeSpeeds(OpticalDriveInfo& drive) {
  SpeedTable& table = CurrentSpeedTable(drive);
  const int32_t unit = SpeedUnit(drive.discType);
  table.speedCount = 0;
  table.currentSpeed = ReadCurrentSpeed(drive);  // restored at the end

  if (drive.discType == DiscDvd && std::strstr(drive.displayName, kFixedDvdFamily) != nullptr) {
    for (int32_t speed : kFixedDvdSpeeds) table.speeds[table.speedCount++] = speed;
    return table.speedCount;
  }

  // Step down from the fastest speed through the multiples of 1X, reading
  // back what the drive really chose; keep each change against the last kept.
  ApplySpeed(drive, kFastestSpeed);
  int32_t multiple = 0;  // not yet known
  int32_t last = 0;
  int32_t reading;
  do {
    reading = ReadCurrentSpeed(drive);
    if (reading != -1) {
      // 0 KB/s is no speed a drive reads at: it never enters the list.
      if ((multiple == 0 || reading != last) && reading != 0 && table.speedCount < kMaxSpeeds) {
        table.speeds[table.speedCount++] = reading;
        last = reading;
      }
      if (multiple == 0) multiple = reading / unit;
    }
    --multiple;
    ApplySpeed(drive, multiple * unit);
  } while (multiple > 0 && reading != -1);

  ApplySpeed(drive, table.currentSpeed);
  return table.speedCount;
}

unsigned SpeedProbeWorker(void* argument) {
  OpticalDriveInfo& drive = *static_cast<OpticalDriveInfo*>(argument);
  SpeedTable& table = CurrentSpeedTable(drive);
  // Capabilities page and SET CD SPEED; then SET STREAMING; then GET
  // PERFORMANCE and SET STREAMING. The third outcome stands whatever it is.
  table.readByPerformance = 0;
  table.setByStreaming = 0;
  if (ProbeSpeeds(drive) < 2) {
    table.setByStreaming = 1;
    if (ProbeSpeeds(drive) < 2) {
      table.readByPerformance = 1;
      ProbeSpeeds(drive);
    }
  }
  table.probeFoundNone = table.speedCount == 0 ? 1 : 0;
  // Complete: whoever gets it first stores it, the page or, when the window
  // has gone meanwhile, the program on its way out.
  table.probeFinished = 1;
  platform::SendMessageA(table.notifyWindow, WM_SPEEDLISTREADY, 1, 0);
  return 1;
}

bool StartSpeedProbe(OpticalDriveInfo& drive) {
  return platform::StartWorkerThread(SpeedProbeWorker, &drive);
}

void LoadSpeedList(OpticalDriveInfo& drive) {
  SpeedTable& table = CurrentSpeedTable(drive);
  table.speedCount = 0;
  const std::string text = platform::GetProfileString(
      drive.displayName, EntryName("%s speed list", drive.discType).c_str(), "");
  ParseSpeedList(text, table);
}

namespace {
bool SaveSpeedListOf(OpticalDriveInfo& drive, int32_t discType) {
  SpeedTable& table = drive.speedTables[discType];
  table.probeFinished = 0;
  return platform::WriteProfileString(drive.displayName,
                                      EntryName("%s speed list", discType).c_str(),
                                      FormatSpeedList(table).c_str());
}
}  // namespace

bool SaveSpeedList(OpticalDriveInfo& drive) {
  const int32_t type = drive.discType >= 0 && drive.discType < kDiscTypeCount ? drive.discType
                                                                            : DiscNone;
  return SaveSpeedListOf(drive, type);
}

void SaveFinishedProbes(DriveList& list) {
  for (int i = 0; i < list.driveCount && i < kMaxDrives; ++i) {
    OpticalDriveInfo& drive = list.slots[i].optical;
    if (drive.kind != KindOpticalDrive) continue;
    for (int32_t type = DiscNone; type < kDiscTypeCount; ++type)
      if (drive.speedTables[type].probeFinished) SaveSpeedListOf(drive, type);
  }
}

bool SaveChosenSpeed(OpticalDriveInfo& drive, int32_t speed) {
  return platform::WriteProfileInt(drive.displayName,
                                   EntryName("%s speed", drive.discType).c_str(), speed);
}

}  // namespace drive
