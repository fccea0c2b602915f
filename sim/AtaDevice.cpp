#include "sim/AtaDevice.h"

#include <algorithm>

#include "sim/IdentifyData.h"

namespace sim {

namespace {

// ATA8-ACS command codes the drive implements (the legacy 9xh codes of the
// power commands are still honoured by drives).
constexpr uint8_t kIdentifyDevice = 0xEC;
constexpr uint8_t kSetFeatures = 0xEF;
constexpr uint8_t kCheckPowerMode = 0xE5;
constexpr uint8_t kCheckPowerModeLegacy = 0x98;
constexpr uint8_t kStandbyImmediate = 0xE0;
constexpr uint8_t kStandbyImmediateLegacy = 0x94;
constexpr uint8_t kIdleImmediate = 0xE1;
constexpr uint8_t kIdleImmediateLegacy = 0x95;
constexpr uint8_t kStandby = 0xE2;
constexpr uint8_t kStandbyLegacy = 0x96;
constexpr uint8_t kIdle = 0xE3;
constexpr uint8_t kIdleLegacy = 0x97;

// SET FEATURES subcommands (FEATURES register).
constexpr uint8_t kEnableWriteCache = 0x02;
constexpr uint8_t kEnableApm = 0x05;
constexpr uint8_t kEnableAam = 0x42;
constexpr uint8_t kDisableLookAhead = 0x55;
constexpr uint8_t kDisableWriteCache = 0x82;
constexpr uint8_t kDisableApm = 0x85;
constexpr uint8_t kEnableLookAhead = 0xAA;
constexpr uint8_t kDisableAam = 0xC2;

}  // namespace

AtaDevice::AtaDevice(const AtaDeviceConfig& config)
    : config_(config),
      powerMode_(config.powerMode),
      apmEnabled_(config.apmSupported && config.apmEnabled),
      apmLevel_(apmEnabled_ ? config.apmLevel : 0),
      aamEnabled_(config.aamSupported && config.aamEnabled),
      aamLevel_(aamEnabled_ ? config.aamLevel : 0) {}

AtaDirection AtaDevice::DirectionOf(uint8_t command) {
  return command == kIdentifyDevice ? AtaDirection::kIn : AtaDirection::kNone;
}

std::vector<uint8_t> AtaDevice::IdentifyData() const {
  return BuildIdentifyData(config_, {apmEnabled_, apmLevel_, aamEnabled_, aamLevel_});
}

// Returns false when the drive aborts the subcommand.
bool AtaDevice::SetFeatures(const AtaInput& input) {
  switch (input.features) {
    case kEnableApm:
      // Levels 00h and FFh are reserved (ATA8-ACS SET FEATURES 05h).
      if (!config_.apmSupported || input.count == 0x00 || input.count == 0xFF) return false;
      apmEnabled_ = true;
      apmLevel_ = input.count;
      return true;
    case kDisableApm:
      if (!config_.apmSupported) return false;
      apmEnabled_ = false;
      apmLevel_ = 0;
      return true;
    case kEnableAam:
      // 80h (quietest) to FEh (fastest); the other values are retired or reserved.
      if (!config_.aamSupported || input.count < 0x80 || input.count > 0xFE) return false;
      aamEnabled_ = true;
      aamLevel_ = input.count;
      return true;
    case kDisableAam:
      if (!config_.aamSupported) return false;
      aamEnabled_ = false;
      aamLevel_ = 0;
      return true;
    case kEnableWriteCache:
    case kDisableWriteCache:
    case kEnableLookAhead:
    case kDisableLookAhead:
      return true;  // every drive has them; the bay keeps no cache state
    default:
      return false;
  }
}

void AtaDevice::WakeUp() {
  if (!IsStandbyMode(powerMode_)) return;
  powerMode_ = kAtaPowerActive;
  wokenUp_ = true;
}

bool AtaDevice::TakeWokenUp() {
  const bool woken = wokenUp_;
  wokenUp_ = false;
  return woken;
}

AtaResult AtaDevice::Execute(const AtaInput& input) {
  const std::vector<uint8_t>& wakers = config_.wakeCommands;
  if (std::find(wakers.begin(), wakers.end(), input.command) != wakers.end()) WakeUp();
  AtaResult result;
  AtaOutput& out = result.registers;
  // Registers a command does not define come back as they were written.
  out.count = input.count;
  out.lbaLow = input.lbaLow;
  out.lbaMid = input.lbaMid;
  out.lbaHigh = input.lbaHigh;
  out.device = input.device;
  out.status = kAtaStatusDrdy | kAtaStatusDsc;

  bool ok = true;
  switch (input.command) {
    case kIdentifyDevice:
      result.dataIn = IdentifyData();
      break;
    case kSetFeatures:
      ok = SetFeatures(input);
      break;
    case kCheckPowerMode:
    case kCheckPowerModeLegacy:
      out.count = powerMode_;
      break;
    case kStandbyImmediate:
    case kStandbyImmediateLegacy:
    case kStandby:
    case kStandbyLegacy:
      powerMode_ = kAtaPowerStandby;
      break;
    case kIdleImmediate:
    case kIdleImmediateLegacy:
    case kIdle:
    case kIdleLegacy:
      powerMode_ = kAtaPowerIdle;
      break;
    default:
      ok = false;
      break;
  }
  if (!ok) {
    out.error = kAtaErrorAbrt;
    out.status |= kAtaStatusErr;
  }
  return result;
}

}  // namespace sim
