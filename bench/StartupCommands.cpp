// Counts the device commands that the start-up of the program requires on a
// bay: the drive enumerations, then the first refresh of the drive shown
// first (the first hard drive, else the first optical drive), carried out
// with the drive layer alone. The benchmark compares this with what the
// program really sends before its window appears.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "drive/AtaCommands.h"
#include "drive/HardDriveDiscovery.h"
#include "drive/OpticalCommands.h"
#include "drive/ReadSpeed.h"
#include "sim/Bay.h"

namespace {
bool IsDeviceCommand(const std::string& line) {
  for (const char* code : {" SPTD ", " ATA ", " SMART_SEND ", " SMART_RCV ", " PROPERTY ",
                           " GEOMETRY ", " EXTENTS "})
    if (line.find(code) != std::string::npos) return true;
  return false;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: startup_commands BAYFILE\n");
    return 2;
  }
  sim::Bay bay;
  std::string error;
  if (!bay.LoadFile(argv[1], &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  sim::ScopedBayInstall install(bay);

  auto list = std::make_unique<drive::DriveList>();
  std::memset(list.get(), 0, sizeof *list);
  drive::EnumerateHardDrives(*list);
  drive::EnumerateOpticalDrives(*list);
  if (list->driveCount > 0) {
    drive::DriveSlot& first = list->slots[0];
    if (first.hard.kind == drive::KindHardDrive) {
      drive::AtaTaskFile registers = {};
      drive::AtaCheckPowerMode(first.hard, &registers);
      uint8_t identify[drive::kIdentifyLength];
      drive::AtaIdentifyDevice(first.hard, identify, sizeof identify);
    } else {
      drive::OpticalDriveInfo& optical = first.optical;
      optical.discType = drive::DetectDiscType(optical.deviceHandle);
      uint8_t page[drive::kPowerConditionPageLength];
      drive::ReadPowerConditionPage(optical.deviceHandle, page, sizeof page);
    }
  }
  int commands = 0;
  for (const std::string& line : bay.Trace()) commands += IsDeviceCommand(line) ? 1 : 0;
  std::printf("%d\n", commands);
  return 0;
}
