#include "sim/OpticalDrive.h"

#include <algorithm>

#include "sim/Bytes.h"
#include "sim/ScsiDisk.h"
#include "sim/Sense.h"

namespace sim {

namespace {

constexpr uint8_t kTestUnitReady = 0x00;
constexpr uint8_t kRequestSense = 0x03;
constexpr uint8_t kInquiry = 0x12;
constexpr uint8_t kStartStopUnit = 0x1B;
constexpr uint8_t kPreventAllowRemoval = 0x1E;
constexpr uint8_t kReadCapacity10 = 0x25;
constexpr uint8_t kGetConfiguration = 0x46;
constexpr uint8_t kModeSelect10 = 0x55;
constexpr uint8_t kModeSense10 = 0x5A;
constexpr uint8_t kGetPerformance = 0xAC;
constexpr uint8_t kSetStreaming = 0xB6;
constexpr uint8_t kSetCdSpeed = 0xBB;

constexpr uint8_t kPeripheralTypeOptical = 0x05;
constexpr uint32_t kBlockLength = 2048;

// START STOP UNIT POWER CONDITION values (MMC-6, SPC-4).
constexpr uint8_t kConditionStartValid = 0x0;
constexpr uint8_t kConditionActive = 0x1;
constexpr uint8_t kConditionIdle = 0x2;
constexpr uint8_t kConditionStandby = 0x3;
constexpr uint8_t kConditionLuControl = 0x7;
constexpr uint8_t kConditionForceIdle = 0xA;
constexpr uint8_t kConditionForceStandby = 0xB;

// Commands that neither report nor clear a pending unit attention (SPC-4
// for INQUIRY and REQUEST SENSE, MMC-6 for GET CONFIGURATION, which hosts
// use to look at a new medium).
bool PassesUnitAttention(uint8_t opcode) {
  return opcode == kInquiry || opcode == kRequestSense || opcode == kGetConfiguration;
}

}  // namespace

SimOptical::SimOptical(const OpticalConfig& config)
    : config_(config),
      medium_(config.medium),
      currentSpeed_(0),
      power_(config.powerCondition),
      powerPage_(config.powerPage, config.power) {
  currentSpeed_ = FastestFor(medium_.kind);
}

ScsiReply SimOptical::Execute(const ScsiRequest& request) {
  const uint8_t opcode = request.cdb[0];
  bool implemented = false;
  switch (opcode) {
    case kTestUnitReady:
    case kRequestSense:
    case kInquiry:
    case kStartStopUnit:
    case kPreventAllowRemoval:
    case kReadCapacity10:
    case kGetConfiguration:
    case kModeSense10:
      implemented = true;
      break;
    case kModeSelect10:
      implemented = config_.modeSelect;
      break;
    case kGetPerformance:
      implemented = config_.getPerformance;
      break;
    case kSetStreaming:
      implemented = config_.setStreaming != SpeedCommandAnswer::kUnsupported;
      break;
    case kSetCdSpeed:
      implemented = config_.setCdSpeed != SpeedCommandAnswer::kUnsupported;
      break;
    default:
      break;
  }
  if (!implemented) {
    // Counted all the same: the drive received it.
    if (opcode == kSetCdSpeed || opcode == kSetStreaming) ++speedCommands_;
    return InvalidOpcode();
  }

  if (unitAttention_ && !PassesUnitAttention(opcode)) {
    // NOT READY TO READY CHANGE, MEDIUM MAY HAVE CHANGED: reported once.
    unitAttention_ = false;
    return ScsiReply::Check(FixedSense(kSenseUnitAttention, 0x28, 0x00));
  }

  switch (opcode) {
    case kTestUnitReady:
      return TestUnitReady();
    case kRequestSense:
      return RequestSense(request);
    case kInquiry:
      return AnswerInquiry(request, kPeripheralTypeOptical, true, config_.vendor, config_.product,
                           config_.revision, config_.hasSerial ? config_.serial : std::string());
    case kStartStopUnit:
      return StartStopUnit(request);
    case kPreventAllowRemoval:
      return PreventAllowRemoval(request);
    case kReadCapacity10:
      return ReadCapacity10();
    case kGetConfiguration:
      return GetConfiguration(request);
    case kModeSelect10:
      return ModeSelect10(request);
    case kModeSense10:
      return ModeSense10(request);
    case kGetPerformance:
      return GetPerformance(request);
    case kSetStreaming:
      return SetStreaming(request);
    case kSetCdSpeed:
      return SetCdSpeed(request);
    default:
      return InvalidOpcode();
  }
}

bool SimOptical::ChangeMedium(const OpticalMedium& medium) {
  if (medium.kind != MediumKind::kNone && SpeedsFor(medium.kind).empty()) return false;
  medium_ = medium;
  trayOpen_ = false;
  if (medium_.kind != MediumKind::kNone) LoadMedium();
  return true;
}

// A medium has just become ready: the drive spins it up at its full speed.
void SimOptical::LoadMedium() {
  currentSpeed_ = FastestFor(medium_.kind);
  power_ = OpticalPower::kActive;
  if (config_.unitAttention) unitAttention_ = true;
}

ScsiReply SimOptical::NotReady() const {
  // MEDIUM NOT PRESENT (3Ah/00h), or 3Ah/02h while the tray is out.
  return ScsiReply::Check(FixedSense(kSenseNotReady, 0x3A, trayOpen_ ? 0x02 : 0x00));
}

ScsiReply SimOptical::TestUnitReady() const { return HasMedium() ? ScsiReply::Good() : NotReady(); }

ScsiReply SimOptical::ReadCapacity10() const {
  if (!HasMedium()) return NotReady();
  // Bytes 0-3 last logical block address, 4-7 block length (MMC-6: 2048).
  std::vector<uint8_t> data(8, 0);
  PutBe32(&data[0], medium_.lastLba);
  PutBe32(&data[4], kBlockLength);
  return ScsiReply::Good(std::move(data));
}

ScsiReply SimOptical::RequestSense(const ScsiRequest& request) {
  // Byte 4: allocation length. A pending unit attention is handed over
  // (and cleared) here; otherwise there is nothing to tell.
  std::vector<uint8_t> sense = FixedSense(kSenseNoSense, 0, 0);
  if (unitAttention_) {
    unitAttention_ = false;
    sense = FixedSense(kSenseUnitAttention, 0x28, 0x00);
  }
  if (sense.size() > request.cdb[4]) sense.resize(request.cdb[4]);
  return ScsiReply::Good(std::move(sense));
}

ScsiReply SimOptical::PreventAllowRemoval(const ScsiRequest& request) {
  // Byte 4 bits 1-0 PREVENT: 00b allow, 01b prevent; the others concern
  // a changer's magazine, which this drive does not have.
  const uint8_t prevent = request.cdb[4] & 0x03;
  if (prevent > 1) return InvalidField();
  removalPrevented_ = prevent == 1;
  return ScsiReply::Good();
}

ScsiReply SimOptical::StartStopUnit(const ScsiRequest& request) {
  // Byte 1 bit 0 IMMED (the bay completes at once either way); byte 4
  // bits 7-4 POWER CONDITION, bit 1 LOEJ, bit 0 START.
  const uint8_t condition = request.cdb[4] >> 4;
  const bool loadEject = (request.cdb[4] & 0x02) != 0;
  const bool start = (request.cdb[4] & 0x01) != 0;
  switch (condition) {
    case kConditionStartValid:
      break;
    case kConditionActive:
    case kConditionLuControl:  // the drive's own timers take over again from active
      power_ = OpticalPower::kActive;
      return ScsiReply::Good();
    case kConditionIdle:
    case kConditionForceIdle:
      power_ = OpticalPower::kIdle;
      return ScsiReply::Good();
    case kConditionStandby:
    case kConditionForceStandby:
      power_ = OpticalPower::kStandby;
      return ScsiReply::Good();
    default:
      // Sleep (5h) included: the drive has no sleep condition.
      return InvalidField();
  }

  if (loadEject && !start) {  // eject: the tray comes out, the disc stops
    if (removalPrevented_) {
      // ILLEGAL REQUEST, MEDIUM REMOVAL PREVENTED.
      return ScsiReply::Check(FixedSense(kSenseIllegalRequest, 0x53, 0x02));
    }
    trayOpen_ = true;
    power_ = OpticalPower::kStandby;
    return ScsiReply::Good();
  }
  if (loadEject && start) {  // load: the tray goes in, a disc on it spins up
    const bool wasOpen = trayOpen_;
    trayOpen_ = false;
    if (HasMedium()) {
      if (wasOpen)
        LoadMedium();
      else
        power_ = OpticalPower::kActive;
    }
    return ScsiReply::Good();
  }
  if (start) {  // spin the disc up
    if (!HasMedium()) return NotReady();
    power_ = OpticalPower::kActive;
    return ScsiReply::Good();
  }
  power_ = OpticalPower::kStandby;  // stop the disc
  return ScsiReply::Good();
}

size_t SimOptical::TakeParameterData(const ScsiRequest& request, size_t listLength) {
  const size_t taken = request.dataOut ? std::min(listLength, request.dataOutLength) : 0;
  lastParameterData_.assign(request.dataOut, request.dataOut + taken);
  return taken;
}

}  // namespace sim
