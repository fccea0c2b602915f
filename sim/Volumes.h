// The volumes of the simulated Windows installation: lookups by drive letter
// and by volume name, the disk extents answer, and the device that stands
// for a volume that is not a single disk.
#pragma once

#include <string>

#include "sim/BayConfig.h"
#include "sim/ControlCodes.h"
#include "sim/ScsiTarget.h"

namespace sim {

// `letter` in either case; null when the letter has no volume.
const VolumeConfig* VolumeByLetter(const BayConfig& config, char letter);
// `name` with or without its trailing backslash, compared without regard to case.
const VolumeConfig* VolumeByName(const BayConfig& config, const std::string& name);

// "X:\" (either case) gives X in upper case; anything else false.
bool RootPathLetter(const char* root, char* letter);

// Copies `text` and its terminating zero when `size` leaves room for both.
bool CopyName(const std::string& text, char* buffer, DWORD size);

// IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS.
ControlResult VolumeDiskExtents(const VolumeConfig& volume, void* out, DWORD outSize,
                                DWORD* returned);

// The device behind a drive letter whose volume is not one whole disk of the
// bay (a spanned volume, one without extents): it answers INQUIRY as a
// direct-access device, as Windows does for a disk volume, and nothing else.
class VolumeStandIn : public ScsiTarget {
 public:
  explicit VolumeStandIn(bool removable) : removable_(removable) {}
  ScsiReply Execute(const ScsiRequest& request) override;

 private:
  bool removable_;
};

}  // namespace sim
