#include "sim/AtaBridges.h"

#include <algorithm>

#include "sim/Bytes.h"
#include "sim/Sense.h"

namespace sim {

namespace {

constexpr size_t kSectorSize = 512;

// The data the device sent, cut to what the bridge moves.
std::vector<uint8_t> Moved(std::vector<uint8_t> data, size_t limit) {
  if (data.size() > limit) data.resize(limit);
  return data;
}

// SAT-2 ATA PASS-THROUGH protocols the bridge carries.
enum SatProtocol : uint8_t {
  kNonData = 3,
  kPioDataIn = 4,
  kPioDataOut = 5,
  kDma = 6,
  kUdmaDataIn = 10,
  kUdmaDataOut = 11,
};

}  // namespace

ScsiReply SatPassThrough12(SimDisk& disk, const ScsiRequest& request) {
  // CDB: 0 A1h; 1 MULTIPLE_COUNT (7-5), PROTOCOL (4-1); 2 OFF_LINE (7-6),
  // CK_COND (5), T_DIR (3), BYTE_BLOCK (2), T_LENGTH (1-0); 3 features;
  // 4 count; 5-7 LBA low, mid, high; 8 device; 9 command.
  const uint8_t* cdb = request.cdb;
  const uint8_t protocol = (cdb[1] >> 1) & 0x0F;
  const bool ckCond = (cdb[2] & 0x20) != 0;
  const bool toHost = (cdb[2] & 0x08) != 0;
  const bool blocks = (cdb[2] & 0x04) != 0;
  const uint8_t tLength = cdb[2] & 0x03;

  AtaInput input;
  input.features = cdb[3];
  input.count = cdb[4];
  input.lbaLow = cdb[5];
  input.lbaMid = cdb[6];
  input.lbaHigh = cdb[7];
  input.device = cdb[8];
  input.command = cdb[9];

  bool protocolIn = false;
  switch (protocol) {
    case kNonData:
      break;
    case kPioDataIn:
    case kUdmaDataIn:
      if (!toHost) return InvalidField();
      protocolIn = true;
      break;
    case kPioDataOut:
    case kUdmaDataOut:
      if (toHost) return InvalidField();
      break;
    case kDma:
      protocolIn = toHost;
      break;
    default:
      // Resets and the other protocols are not carried by this bridge.
      return InvalidField();
  }
  // A command whose data phase the protocol cannot carry is refused before it
  // reaches the device (SAT-2 lets the SATL check this).
  const AtaDirection direction = AtaDevice::DirectionOf(input.command);
  if ((direction == AtaDirection::kIn && !protocolIn) ||
      (direction == AtaDirection::kOut && (protocolIn || protocol == kNonData))) {
    return InvalidField();
  }

  // Transfer length: T_LENGTH names the register that holds it (01b
  // FEATURES, 10b COUNT), BYTE_BLOCK says whether in bytes or 512-byte
  // blocks. A length of zero in FEATURES is read by common bridges as "the
  // length the host asked for"; a strict bridge moves nothing.
  size_t units = tLength == 1 ? input.features : tLength == 2 ? input.count : 0;
  size_t length = blocks ? units * kSectorSize : units;
  if (tLength == 3) length = request.hostLength;  // in the SPTD's length (STPSIU)
  if (tLength == 1 && input.features == 0 && !disk.config().satStrict) {
    length = request.hostLength;
  }

  AtaResult result = disk.RunAta(input);
  // The sense format the translator is set to: descriptor, or fixed (D_SENSE 0).
  const auto registerSense = [&disk](uint8_t key, uint8_t ascq, const AtaOutput& registers) {
    return disk.config().satFixedSense ? AtaFixedSense(key, registers)
                                       : AtaStatusReturnSense(key, 0x00, ascq, registers);
  };
  if (result.aborted()) {
    return ScsiReply::Check(registerSense(kSenseAbortedCommand, 0x00, result.registers));
  }
  ScsiReply reply;
  if (protocolIn && request.hostDataIn) {
    reply.dataIn = Moved(std::move(result.dataIn), std::min<size_t>(length, request.hostLength));
  }
  if (ckCond) {
    // RECOVERED ERROR, ATA PASS-THROUGH INFORMATION AVAILABLE (00h/1Dh).
    reply.status = kScsiCheckCondition;
    reply.sense = registerSense(kSenseRecoveredError, 0x1D, result.registers);
  }
  return reply;
}

std::vector<uint8_t> VendorDFRegisterFile(const AtaOutput& r, int base) {
  std::vector<uint8_t> file(32, 0);
  if (base == 4) {
    // The shifted block: count r4, LBA low r10, LBA high r14, error r17,
    // status r18; this bridge echoes the device register in r8 and r9 and
    // does not report LBA mid.
    file[4] = r.count;
    file[8] = r.device;
    file[9] = r.device;
    file[10] = r.lbaLow;
    file[14] = r.lbaHigh;
    file[17] = r.error;
    file[18] = r.status;
  } else {
    // count r0, LBA mid r4, LBA low r6, device r9, LBA high r10, error r13,
    // status r14; r8 stays 0.
    file[0] = r.count;
    file[4] = r.lbaMid;
    file[6] = r.lbaLow;
    file[9] = r.device;
    file[10] = r.lbaHigh;
    file[13] = r.error;
    file[14] = r.status;
  }
  return file;
}

ScsiReply VendorDF(SimDisk& disk, const ScsiRequest& request) {
  // CDB: 0 DFh; 1 10h (data to the host); 2 0; 3-4 transfer length;
  // 5 features; 6 count; 7-9 LBA low, mid, high; 10 device; 11 command.
  // Command FDh is the bridge's own register read: bytes 6-7 the address,
  // 8000h the ATA register file.
  const uint8_t* cdb = request.cdb;
  const size_t length = GetBe16(cdb + 3);
  const bool toHost = (cdb[1] & 0x10) != 0;
  const size_t limit =
      toHost && request.hostDataIn ? std::min<size_t>(length, request.hostLength) : 0;
  if (cdb[11] == 0xFD) {
    // Some bridges of this family read back no more than 16 bytes.
    if (length > 16 && !disk.config().dfWideReadBack) return InvalidField();
    const uint32_t address = GetBe16(cdb + 6);
    std::vector<uint8_t> file =
        VendorDFRegisterFile(disk.lastRegisters(), disk.config().dfLayoutBase);
    std::vector<uint8_t> data(length, 0);
    for (size_t i = 0; i < length; ++i) {
      size_t at = address + i;
      if (at >= 0x8000 && at - 0x8000 < file.size()) data[i] = file[at - 0x8000];
    }
    return ScsiReply::Good(Moved(std::move(data), limit));
  }
  AtaInput input;
  input.features = cdb[5];
  input.count = cdb[6];
  input.lbaLow = cdb[7];
  input.lbaMid = cdb[8];
  input.lbaHigh = cdb[9];
  input.device = cdb[10];
  input.command = cdb[11];
  // The bridge completes the CDB with GOOD whatever the drive answered; the
  // outcome is read back from the register file.
  AtaResult result = disk.RunAta(input);
  return ScsiReply::Good(Moved(std::move(result.dataIn), limit));
}

ScsiReply VendorF8(SimDisk& disk, const ScsiRequest& request) {
  // CDB: 0 F8h; 1 0; 2 22h (ATA command) or 21h (read registers); 3 10h
  // (data to the host); 4 transfer length in 512-byte blocks; 5 features;
  // 6 count; 7-9 LBA low, mid, high; 10 device; 11 command.
  const uint8_t* cdb = request.cdb;
  if (cdb[2] == 0x21) {
    // 16 bytes: r1 error, r2 count, r3-r5 LBA low, mid, high, r6 device, r7 status.
    const AtaOutput& r = disk.lastRegisters();
    std::vector<uint8_t> data(16, 0);
    data[1] = r.error;
    data[2] = r.count;
    data[3] = r.lbaLow;
    data[4] = r.lbaMid;
    data[5] = r.lbaHigh;
    data[6] = r.device;
    data[7] = r.status;
    return ScsiReply::Good(Moved(std::move(data), request.hostDataIn ? request.hostLength : 0));
  }
  if (cdb[2] != 0x22) return InvalidField();
  const bool toHost = (cdb[3] & 0x10) != 0;
  const size_t length = static_cast<size_t>(cdb[4]) * kSectorSize;
  const size_t limit =
      toHost && request.hostDataIn ? std::min<size_t>(length, request.hostLength) : 0;
  AtaInput input;
  input.features = cdb[5];
  input.count = cdb[6];
  input.lbaLow = cdb[7];
  input.lbaMid = cdb[8];
  input.lbaHigh = cdb[9];
  input.device = cdb[10];
  input.command = cdb[11];
  AtaResult result = disk.RunAta(input);
  return ScsiReply::Good(Moved(std::move(result.dataIn), limit));
}

}  // namespace sim
