// The command blocks that carry ATA commands to a disk through SCSI pass-
// through: the standard ATA PASS-THROUGH (12) of a SCSI / ATA Translation
// layer (SAT-2) and the vendor commands DFh and F8h of two families of USB
// bridges, each with its read-back of the ATA registers.
#pragma once

#include "sim/ScsiDisk.h"

namespace sim {

ScsiReply SatPassThrough12(SimDisk& disk, const ScsiRequest& request);
ScsiReply VendorDF(SimDisk& disk, const ScsiRequest& request);
ScsiReply VendorF8(SimDisk& disk, const ScsiRequest& request);

// The DFh bridge's register file as its read-back shows it (32 bytes from
// address 8000h), for the layout with the block at base 0 or base 4.
std::vector<uint8_t> VendorDFRegisterFile(const AtaOutput& r, int base);

}  // namespace sim
