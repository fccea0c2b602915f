#include "drive/AtaCommands.h"

#include <cstring>

#include "drive/AtaPaths.h"
#include "drive/IdentifyData.h"
#include "drive/PowerMode.h"
#include "drive/Transport.h"

namespace drive {

// clang-format off
// Only IDENTIFY DEVICE (ECh) and SMART (B0h, which the program sends only as
// READ DATA) move data; every other command is non-data.
const uint32_t AtaDataClassTable[256] = {
#define ND2 AtaNoData, AtaNoData
#define ND8 ND2, ND2, ND2, ND2
#define ND16 ND8, ND8
    ND16, ND16, ND16, ND16, ND16, ND16, ND16, ND16,   // 00h-7Fh
    ND16, ND16, ND16,                                 // 80h-AFh
    AtaDataIn, ND8, ND2, ND2, ND2, AtaNoData,         // B0h-BFh (B0h data-in)
    ND16, ND16,                                       // C0h-DFh
    ND8, ND2, ND2, AtaDataIn, AtaNoData, ND2,         // E0h-EFh (ECh data-in)
    ND16,                                             // F0h-FFh
#undef ND16
#undef ND8
#undef ND2
};
// clang-format on

bool AtaExecute(const HardDriveInfo& drive, const AtaTaskFile& input, void* data, int length,
                AtaTaskFile* output) {
  const AtaPathSend send = AtaPathFunction(drive.ataPath);
  if (send == nullptr) return false;  // no working path: nothing is sent
  if (data == nullptr || length < 0) length = 0;
  return send(drive.deviceHandle, input, AtaDataClassTable[input.command], data, length, output);
}

namespace {
// IDENTIFY over the drive's current path, counted only when identify data
// really came back (a bridge may answer GOOD without a data phase).
bool IdentifyOverPath(const HardDriveInfo& drive, uint8_t* identify) {
  std::memset(identify, 0, kIdentifyLength);
  return AtaIdentifyDevice(drive, identify, kIdentifyLength) && CarriesIdentifyData(identify);
}
}  // namespace

AtaProbeResult ProbeAtaPath(HardDriveInfo& drive, uint8_t identify[kIdentifyLength]) {
  static const AtaPath kRegisterPaths[] = {PathAtaPassThrough, PathSat12, PathVendorDF,
                                           PathVendorF8};
  static const AtaPath kIdentifyOrder[] = {PathAtaPassThrough, PathSat12, PathVendorDF,
                                           PathVendorF8, PathSmart};
  bool skip[PathVendorF8 + 1] = {};  // answered already, or not to be asked again
  const auto isVendor = [](AtaPath path) { return path == PathVendorDF || path == PathVendorF8; };
  for (AtaPath path : kRegisterPaths) {
    if (skip[path]) continue;
    drive.ataPath = path;
    AtaTaskFile registers = {};
    const bool done = AtaCheckPowerMode(drive, &registers);
    if (!done && path != PathAtaPassThrough && !LastCommandDelivered()) {
      // The block never came back: a bridge that does not answer what it
      // does not know keeps the driver waiting a minute for every such block.
      skip[path] = true;
      if (isVendor(path)) skip[PathVendorDF] = skip[PathVendorF8] = true;
      continue;
    }
    const PowerModeAnswer answer = ReadPowerModeAnswer(registers);
    if (!done || !answer.answered) continue;
    if (answer.asleep) return ProbeAsleep;
    skip[path] = true;
    if (IdentifyOverPath(drive, identify)) return ProbeIdentified;
  }
  for (AtaPath path : kIdentifyOrder) {
    if (skip[path]) continue;
    drive.ataPath = path;
    if (IdentifyOverPath(drive, identify)) return ProbeIdentified;
  }
  drive.ataPath = PathNone;
  return ProbeNoPath;
}

bool ProbeAtaCommandPath(HardDriveInfo& drive) {
  uint8_t identify[kIdentifyLength];
  return ProbeAtaPath(drive, identify) != ProbeNoPath;
}

namespace {
AtaTaskFile Command(uint8_t command, uint8_t features = 0, uint8_t sectorCount = 0) {
  AtaTaskFile tf = {};
  tf.features = features;
  tf.sectorCount = sectorCount;
  tf.device = kAtaDevice;
  tf.command = command;
  return tf;
}
}  // namespace

bool AtaIdentifyDevice(const HardDriveInfo& drive, void* buffer, int length) {
  return AtaExecute(drive, Command(kAtaIdentifyDevice), buffer, length, nullptr);
}

bool AtaSetFeatures(const HardDriveInfo& drive, uint8_t subcommand, uint8_t count) {
  return AtaExecute(drive, Command(kAtaSetFeatures, subcommand, count), nullptr, 0, nullptr);
}

bool AtaCheckPowerMode(const HardDriveInfo& drive, AtaTaskFile* output) {
  return AtaExecute(drive, Command(kAtaCheckPowerMode), nullptr, 0, output);
}

bool AtaStandbyImmediate(const HardDriveInfo& drive) {
  return AtaExecute(drive, Command(kAtaStandbyImmediate), nullptr, 0, nullptr);
}

bool AtaIdle(const HardDriveInfo& drive, uint8_t timerCount) {
  return AtaExecute(drive, Command(kAtaIdle, 0, timerCount), nullptr, 0, nullptr);
}

bool AtaStandby(const HardDriveInfo& drive, uint8_t timerCount) {
  return AtaExecute(drive, Command(kAtaStandby, 0, timerCount), nullptr, 0, nullptr);
}

bool AtaSmartReadData(const HardDriveInfo& drive, void* buffer) {
  // FEATURES D0h READ DATA; LBA mid 4Fh and high C2h, the SMART signature;
  // the count names the one 512-byte block that comes back.
  AtaTaskFile tf = Command(kAtaSmart, kSmartReadData, 1);
  tf.lbaMid = 0x4F;
  tf.lbaHigh = 0xC2;
  return AtaExecute(drive, tf, buffer, 512, nullptr);
}

}  // namespace drive
