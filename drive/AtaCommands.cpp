#include "drive/AtaCommands.h"

#include <cstring>

#include "drive/AtaPaths.h"
#include "drive/IdentifyData.h"

namespace drive {

// clang-format off
// Only IDENTIFY DEVICE (ECh) moves data; every other command is non-data.
const uint32_t AtaDataClassTable[256] = {
#define ND2 AtaNoData, AtaNoData
#define ND8 ND2, ND2, ND2, ND2
#define ND16 ND8, ND8
    ND16, ND16, ND16, ND16, ND16, ND16, ND16, ND16,   // 00h-7Fh
    ND16, ND16, ND16, ND16, ND16, ND16,               // 80h-DFh
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

bool ProbeAtaCommandPath(HardDriveInfo& drive) {
  static const AtaPath kProbeOrder[] = {PathAtaPassThrough, PathSmart, PathSat12, PathVendorDF,
                                        PathVendorF8};
  uint8_t scratch[kIdentifyLength];
  for (AtaPath path : kProbeOrder) {
    drive.ataPath = path;
    // A path counts only when identify data really came back over it.
    std::memset(scratch, 0, sizeof scratch);
    if (AtaIdentifyDevice(drive, scratch, sizeof scratch) && CarriesIdentifyData(scratch))
      return true;
  }
  drive.ataPath = PathNone;
  return false;
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

}  // namespace drive
