// A bay file from the fuzzer: the loader refuses it with a line number or
// loads it, and a machine it loads answers discovery and the optical
// commands without faults.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "drive/HardDriveDiscovery.h"
#include "drive/OpticalCommands.h"
#include "drive/ReadSpeed.h"
#include "sim/Bay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8192) return 0;  // bay files are small; longer inputs only slow the search
  const std::string text(reinterpret_cast<const char*>(data), size);
  // Latency and spin-up times really sleep: a fuzzer has no time for them.
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.find("_ms") != std::string::npos) return 0;
  sim::Bay bay;
  std::string error;
  if (!bay.LoadText(text, &error)) {
    if (error.compare(0, 5, "line ") != 0) std::abort();
    return 0;
  }
  sim::ScopedBayInstall install(bay);
  auto list = std::make_unique<drive::DriveList>();
  std::memset(list.get(), 0, sizeof *list);
  drive::EnumerateHardDrives(*list);
  const int hardDrives = list->driveCount;
  drive::EnumerateOpticalDrives(*list);
  for (int i = hardDrives; i < list->driveCount && i < hardDrives + 2; ++i) {
    drive::OpticalDriveInfo& optical = list->slots[i].optical;
    optical.discType = drive::DetectDiscType(optical.deviceHandle);
    drive::ProbeSpeeds(optical);
    drive::WritePowerConditions(optical.deviceHandle, 1, 0, 600, drive::kLeaveUnchanged);
  }
  bay.StateText();
  return 0;
}
