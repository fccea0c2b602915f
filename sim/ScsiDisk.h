// A disk as \\.\PhysicalDriveN: its SCSI target (INQUIRY, READ CAPACITY(10),
// TEST UNIT READY, REQUEST SENSE), the ATA device behind it, and the bridge
// commands (ATA PASS-THROUGH (12), vendor DFh and F8h) its bay description
// honours. Not thread-safe by itself: the bay serialises calls.
#pragma once

#include <string>

#include "sim/AtaDevice.h"
#include "sim/BayConfig.h"
#include "sim/PowerConditionPage.h"
#include "sim/ScsiTarget.h"

namespace sim {

class SimDisk : public ScsiTarget {
 public:
  explicit SimDisk(const DiskConfig& config)
      : config_(config), ata_(config.ata), powerPage_(config.powerPage, PowerConditions{false, false, 0, 0}) {}

  const DiskConfig& config() const { return config_; }
  AtaDevice& ata() { return ata_; }
  const AtaDevice& ata() const { return ata_; }

  ScsiReply Execute(const ScsiRequest& request) override;

  // Runs one ATA command on the device, whatever the path, and keeps its
  // registers for the bridges' read-back commands.
  AtaResult RunAta(const AtaInput& input);
  const AtaOutput& lastRegisters() const { return lastRegisters_; }

 private:
  ScsiReply Inquiry(const ScsiRequest& request) const;
  ScsiReply ReadCapacity10() const;
  // MODE SENSE(10) and MODE SELECT(10) of the power condition page, which a
  // SCSI disk may have: its standby condition timer is the disk's.
  ScsiReply ModeSense10(const ScsiRequest& request) const;
  ScsiReply ModeSelect10(const ScsiRequest& request);

  DiskConfig config_;
  AtaDevice ata_;
  AtaOutput lastRegisters_;
  PowerConditionPage powerPage_;
};

// INQUIRY for a device of `type` with the given identification, as SPC-4
// standard data (36 bytes) or the vital product data pages 00h and 80h.
ScsiReply AnswerInquiry(const ScsiRequest& request, uint8_t type, bool removable,
                        const std::string& vendor, const std::string& product,
                        const std::string& revision, const std::string& serial);

}  // namespace sim
