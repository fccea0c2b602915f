// Optical read speed management: the medium, speed texts, reading and
// setting the speed, learning a drive's speed list on a worker thread, and
// keeping that list per drive model and medium in the settings.
#pragma once

#include <cstdint>
#include <string>

#include "drive/DriveList.h"
#include "drive/Transport.h"

namespace drive {

// The private message a finished probe sends to its table's notifyWindow,
// with wParam 1 and lParam 0.
constexpr UINT WM_SPEEDLISTREADY = WM_USER + 14;
constexpr int32_t kFastestSpeed = 0xFFFF;

DiscType DetectDiscType(HANDLE device);
const char* DiscTypeName(int32_t discType);   // "CD", "DVD", "BD", "-"
int32_t SpeedUnit(int32_t discType);          // KB/s for 1X
int32_t SilentSpeed(int32_t discType);
std::string FormatSpeed(int32_t discType, int32_t speed);

// The table of the slot's current medium.
SpeedTable& CurrentSpeedTable(OpticalDriveInfo& drive);

int32_t ReadCurrentSpeed(OpticalDriveInfo& drive);
// The current speed to show: by the table's method, and when the drive
// refuses that one, by the other (a drive may lack GET PERFORMANCE and still
// report in page 2Ah). -1 when neither works.
int32_t ReadSpeedByAnyMethod(OpticalDriveInfo& drive);
DriveCommandResult ApplySpeed(OpticalDriveInfo& drive, int32_t speed);
// A speed the user or the command line chose: by the table's method, and
// when the drive refuses that one, by the other.
DriveCommandResult ApplySpeedByAnyMethod(OpticalDriveInfo& drive, int32_t speed);
int32_t ProbeSpeeds(OpticalDriveInfo& drive);

// Starts SpeedProbeWorker for `drive` on a new thread and returns at once.
// False when no worker could be started: nothing was sent and nothing learned.
bool StartSpeedProbe(OpticalDriveInfo& drive);
unsigned SpeedProbeWorker(void* drive);

void LoadSpeedList(OpticalDriveInfo& drive);
bool SaveSpeedList(OpticalDriveInfo& drive);
// Stores the lists of probes that finished after their window had gone
// (the program ends meanwhile): a complete list is never thrown away.
void SaveFinishedProbes(DriveList& list);
bool SaveChosenSpeed(OpticalDriveInfo& drive, int32_t speed);

}  // namespace drive
