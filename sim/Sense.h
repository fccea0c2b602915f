// Sense data the bay's SCSI devices return with CHECK CONDITION (SPC-4).
#pragma once

#include <cstdint>
#include <vector>

#include "sim/AtaDevice.h"

namespace sim {

constexpr uint8_t kSenseNoSense = 0x00;
constexpr uint8_t kSenseRecoveredError = 0x01;
constexpr uint8_t kSenseNotReady = 0x02;
constexpr uint8_t kSenseHardwareError = 0x04;
constexpr uint8_t kSenseIllegalRequest = 0x05;
constexpr uint8_t kSenseUnitAttention = 0x06;
constexpr uint8_t kSenseAbortedCommand = 0x0B;

// Fixed format (response code 70h, current error), 18 bytes.
std::vector<uint8_t> FixedSense(uint8_t key, uint8_t asc, uint8_t ascq);

// Descriptor format (response code 72h) carrying one ATA Status Return
// descriptor (SAT-2, code 09h), 22 bytes.
std::vector<uint8_t> AtaStatusReturnSense(uint8_t key, uint8_t asc, uint8_t ascq,
                                          const AtaOutput& registers);

// Fixed format (response code 70h) with the registers of an ATA PASS-THROUGH
// command (SAT-3, D_SENSE 0), ASC/ASCQ 00h/1Dh ATA PASS-THROUGH INFORMATION
// AVAILABLE, 18 bytes.
std::vector<uint8_t> AtaFixedSense(uint8_t key, const AtaOutput& registers);

}  // namespace sim
