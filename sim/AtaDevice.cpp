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
constexpr uint8_t kSmart = 0xB0;
constexpr uint8_t kSmartReadData = 0xD0;  // FEATURES of SMART

// The standby timer's period of a count of IDLE or STANDBY (ACS-3), in
// seconds; 0 for off and for the counts that name none.
uint32_t TimerPeriod(uint8_t count) {
  if (count <= 240) return count * 5u;
  if (count <= 251) return (count - 240u) * 1800u;
  if (count == 252) return 1260;
  if (count == 255) return 1275;
  return 0;  // 253 vendor-specific, 254 reserved: the bay's drive keeps none
}

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

void AtaDevice::SetTime(int64_t now) {
  if (loadedAt_ < 0) loadedAt_ = lastCommandAt_ = now;
  now_ = now;
  // The timer counts from the last command received (ATA: "no command").
  if (standbyTimer_ != 0 && !IsStandbyMode(powerMode_) &&
      now_ - lastCommandAt_ >= static_cast<int64_t>(standbyTimer_))
    powerMode_ = kAtaPowerStandby;
}

std::vector<std::pair<uint8_t, uint64_t>> AtaDevice::SmartAttributes() const {
  std::vector<std::pair<uint8_t, uint64_t>> attributes = config_.smartAttributes;
  const int64_t hours = loadedAt_ < 0 ? 0 : (now_ - loadedAt_) / 3600;
  bool risen = false;  // 193 rises, or 225 where there is no 193
  for (const uint8_t id : {uint8_t{193}, uint8_t{225}}) {
    for (auto& attribute : attributes) {
      if (attribute.first != id || risen) continue;
      attribute.second += static_cast<uint64_t>(config_.loadCyclesPerHour) * hours;
      risen = true;
    }
  }
  return attributes;
}

std::vector<uint8_t> AtaDevice::SmartData() const {
  // 0-1 revision; 2-361 thirty entries of 12 bytes (0 id, 1-2 flags,
  // 3 value, 4 worst, 5-10 raw, least significant byte first); 511 checksum.
  std::vector<uint8_t> data(512, 0);
  data[0] = 0x10;
  const auto attributes = SmartAttributes();
  for (size_t i = 0; i < attributes.size() && i < 30; ++i) {
    uint8_t* entry = &data[2 + 12 * i];
    entry[0] = attributes[i].first;
    entry[1] = 0x32;
    entry[3] = entry[4] = 100;
    for (int b = 0; b < 6; ++b) entry[5 + b] = static_cast<uint8_t>(attributes[i].second >> (8 * b));
  }
  uint8_t sum = 0;
  for (size_t i = 0; i < 511; ++i) sum = static_cast<uint8_t>(sum + data[i]);
  data[511] = static_cast<uint8_t>(0x100 - sum + (config_.smartChecksumBad ? 1 : 0));
  return data;
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
  lastCommandAt_ = now_;
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
    case kStandby:
    case kStandbyLegacy:
    case kIdle:
    case kIdleLegacy:
      // The count sets the standby timer (253 and 254 are not the bay's).
      if (input.count == 253 || input.count == 254) {
        ok = false;
        break;
      }
      standbyTimer_ = TimerPeriod(input.count);
      powerMode_ = input.command == kIdle || input.command == kIdleLegacy ? kAtaPowerIdle
                                                                          : kAtaPowerStandby;
      break;
    case kStandbyImmediate:
    case kStandbyImmediateLegacy:
      powerMode_ = kAtaPowerStandby;
      break;
    case kIdleImmediate:
    case kIdleImmediateLegacy:
      powerMode_ = kAtaPowerIdle;
      break;
    case kSmart:
      // READ DATA only, with the SMART signature in LBA mid and high; it
      // reads the platters' reserved area, so a sleeping drive spins up.
      if (!config_.smart || input.features != kSmartReadData || input.lbaMid != 0x4F ||
          input.lbaHigh != 0xC2) {
        ok = false;
        break;
      }
      WakeUp();
      result.dataIn = SmartData();
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
