#include "sim/ScsiDisk.h"

#include <algorithm>
#include <cstring>

#include "sim/AtaBridges.h"
#include "sim/Bytes.h"
#include "sim/Sense.h"

namespace sim {

namespace {

constexpr uint8_t kTestUnitReady = 0x00;
constexpr uint8_t kRequestSense = 0x03;
constexpr uint8_t kInquiry = 0x12;
constexpr uint8_t kReadCapacity10 = 0x25;
constexpr uint8_t kAtaPassThrough12 = 0xA1;
constexpr uint8_t kVendorDF = 0xDF;
constexpr uint8_t kVendorF8 = 0xF8;
constexpr uint8_t kModeSelect10 = 0x55;
constexpr uint8_t kModeSense10 = 0x5A;

ScsiReply MediumNotPresent() { return ScsiReply::Check(FixedSense(kSenseNotReady, 0x3A, 0x00)); }

std::vector<uint8_t> Clip(std::vector<uint8_t> data, size_t allocation) {
  if (data.size() > allocation) data.resize(allocation);
  return data;
}

}  // namespace

ScsiReply InvalidOpcode() { return ScsiReply::Check(FixedSense(kSenseIllegalRequest, 0x20, 0x00)); }

ScsiReply InvalidField() { return IllegalRequest(0x24); }

ScsiReply IllegalRequest(uint8_t asc) {
  return ScsiReply::Check(FixedSense(kSenseIllegalRequest, asc, 0x00));
}

ScsiReply AnswerInquiry(const ScsiRequest& request, uint8_t type, bool removable,
                        const std::string& vendor, const std::string& product,
                        const std::string& revision, const std::string& serial) {
  const uint8_t* cdb = request.cdb;
  const bool evpd = (cdb[1] & 0x01) != 0;
  const uint8_t page = cdb[2];
  const size_t allocation = GetBe16(cdb + 3);  // bytes 3-4 (SPC-4)
  if (!evpd) {
    if (page != 0) return InvalidField();
    // Standard data: 0 qualifier/type, 1 RMB, 2 version (SPC-3), 3 response
    // format 2, 4 additional length, 8-15 vendor, 16-31 product, 32-35 revision.
    std::vector<uint8_t> data(36, 0);
    data[0] = type & 0x1F;
    data[1] = removable ? 0x80 : 0x00;
    data[2] = 0x05;
    data[3] = 0x02;
    data[4] = static_cast<uint8_t>(data.size() - 5);
    std::memcpy(&data[8], vendor.data(), 8);
    std::memcpy(&data[16], product.data(), 16);
    std::memcpy(&data[32], revision.data(), 4);
    return ScsiReply::Good(Clip(std::move(data), allocation));
  }
  if (page == 0x00) {  // supported pages
    std::vector<uint8_t> data = {static_cast<uint8_t>(type & 0x1F), 0x00, 0x00, 0x02, 0x00, 0x80};
    return ScsiReply::Good(Clip(std::move(data), allocation));
  }
  if (page == 0x80) {  // unit serial number
    std::vector<uint8_t> data = {static_cast<uint8_t>(type & 0x1F), 0x80, 0x00,
                                 static_cast<uint8_t>(serial.size())};
    data.insert(data.end(), serial.begin(), serial.end());
    return ScsiReply::Good(Clip(std::move(data), allocation));
  }
  return InvalidField();
}

ScsiReply SimDisk::Inquiry(const ScsiRequest& request) const {
  if (config_.inquiryFails) {
    // HARDWARE ERROR, INTERNAL TARGET FAILURE.
    return ScsiReply::Check(FixedSense(kSenseHardwareError, 0x44, 0x00));
  }
  return AnswerInquiry(request, config_.deviceType, config_.removable, config_.vendor,
                       config_.product, config_.revision, config_.ata.serial);
}

ScsiReply SimDisk::ReadCapacity10() const {
  switch (config_.capacity) {
    case CapacityAnswer::kNoMedium:
      return MediumNotPresent();
    case CapacityAnswer::kUnsupported:
      return InvalidOpcode();
    case CapacityAnswer::kOk:
      break;
  }
  // Bytes 0-3 last logical block address (FFFFFFFFh when it does not fit),
  // bytes 4-7 block length, both big-endian (SBC-3).
  std::vector<uint8_t> data(8, 0);
  PutBe32(&data[0],
          config_.lastLba > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(config_.lastLba));
  PutBe32(&data[4], config_.blockLength);
  return ScsiReply::Good(std::move(data));
}

ScsiReply SimDisk::ModeSense10(const ScsiRequest& request) const {
  // Byte 2 bits 7-6 page control, 5-0 page code (1Ah, or 3Fh: all pages);
  // byte 3 subpage; bytes 7-8 allocation length.
  const uint8_t pageControl = request.cdb[2] >> 6;
  const uint8_t pageCode = request.cdb[2] & 0x3F;
  if (pageControl == kSavedValues) return IllegalRequest(kSavingParametersNotSupported);
  if ((pageCode != kPowerConditionPageCode && pageCode != 0x3F) || request.cdb[3] != 0)
    return InvalidField();
  return ModeSenseAnswer({powerPage_.Page(pageControl)}, GetBe16(request.cdb + 7));
}

ScsiReply SimDisk::ModeSelect10(const ScsiRequest& request) {
  const size_t listLength = GetBe16(request.cdb + 7);
  const size_t taken = request.dataOut ? std::min(listLength, request.dataOutLength) : 0;
  ScsiReply reply = powerPage_.Select(request, taken);
  reply.dataOutTaken = taken;
  if (reply.status == kScsiGood) {
    const PowerConditions& now = powerPage_.current();
    ata_.setStandbyTimer(now.standby ? now.standbyTimer / 10 : 0);  // 100 ms units
  }
  return reply;
}

AtaResult SimDisk::RunAta(const AtaInput& input) {
  AtaResult result = ata_.Execute(input);
  lastRegisters_ = result.registers;
  return result;
}

ScsiReply SimDisk::Execute(const ScsiRequest& request) {
  const std::vector<uint8_t>& wakers = config_.wakeOpcodes;
  if (std::find(wakers.begin(), wakers.end(), request.cdb[0]) != wakers.end()) ata_.WakeUp();
  if (powerPage_.present()) ata_.CommandReceived();  // a SCSI disk counts its own commands
  switch (request.cdb[0]) {
    case kInquiry:
      return Inquiry(request);
    case kReadCapacity10:
      return ReadCapacity10();
    case kTestUnitReady:
      if (config_.capacity == CapacityAnswer::kNoMedium) return MediumNotPresent();
      return ScsiReply::Good();
    case kRequestSense:
      // No pending condition: NO SENSE in fixed format, up to the allocation length.
      return ScsiReply::Good(Clip(FixedSense(kSenseNoSense, 0, 0), request.cdb[4]));
    case kAtaPassThrough12:
      if (config_.paths.sat12) return SatPassThrough12(*this, request);
      break;
    case kVendorDF:
      if (config_.paths.vendorDF) return VendorDF(*this, request);
      break;
    case kVendorF8:
      if (config_.paths.vendorF8) return VendorF8(*this, request);
      break;
    case kModeSense10:
      if (powerPage_.present()) return ModeSense10(request);
      break;
    case kModeSelect10:
      if (powerPage_.present()) return ModeSelect10(request);
      break;
    default:
      break;
  }
  return InvalidOpcode();
}

}  // namespace sim
