// An ATA hard drive as the command paths reach it (ATA8-ACS): IDENTIFY
// DEVICE, SET FEATURES for the Advanced Power Management and Automatic
// Acoustic Management feature sets, the power-mode commands. Every other
// command is aborted, as a drive does with a command it does not implement.
// Not thread-safe by itself: the bay serialises calls.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "sim/BayConfig.h"

namespace sim {

// The command registers (28-bit addressing).
struct AtaInput {
  uint8_t features = 0;
  uint8_t count = 0;
  uint8_t lbaLow = 0;
  uint8_t lbaMid = 0;
  uint8_t lbaHigh = 0;
  uint8_t device = 0;
  uint8_t command = 0;
};

// The registers after the command.
struct AtaOutput {
  uint8_t error = 0;
  uint8_t count = 0;
  uint8_t lbaLow = 0;
  uint8_t lbaMid = 0;
  uint8_t lbaHigh = 0;
  uint8_t device = 0;
  uint8_t status = 0;
};

constexpr uint8_t kAtaStatusErr = 0x01;
constexpr uint8_t kAtaStatusDrdy = 0x40;
constexpr uint8_t kAtaStatusDsc = 0x10;  // device seek complete, still set by drives
constexpr uint8_t kAtaErrorAbrt = 0x04;

constexpr uint8_t kAtaPowerStandby = 0x00;
constexpr uint8_t kAtaPowerStandbyY = 0x01;  // Extended Power Conditions
constexpr uint8_t kAtaPowerIdle = 0x80;
constexpr uint8_t kAtaPowerActive = 0xFF;

// Standby_z and Standby_y: the platters must spin up before media access.
inline bool IsStandbyMode(uint8_t mode) {
  return mode == kAtaPowerStandby || mode == kAtaPowerStandbyY;
}

enum class AtaDirection { kNone, kIn, kOut };

struct AtaResult {
  AtaOutput registers;
  std::vector<uint8_t> dataIn;  // what the device sends (512 bytes for IDENTIFY)
  bool aborted() const { return (registers.status & kAtaStatusErr) != 0; }
};

struct FeatureLevel {
  bool supported;
  bool enabled;
  int level;
};

class AtaDevice {
 public:
  explicit AtaDevice(const AtaDeviceConfig& config);

  // The data phase the command has, whatever path carries it.
  static AtaDirection DirectionOf(uint8_t command);

  AtaResult Execute(const AtaInput& input);

  // The machine's clock, in seconds, as the bay passes it in before each
  // access: a standby timer that ran out since the last command puts the
  // drive to sleep now.
  void SetTime(int64_t now);
  // A command reached the device by another way (a SCSI disk's own): its
  // timer starts again too.
  void CommandReceived() { lastCommandAt_ = now_; }

  uint8_t powerMode() const { return powerMode_; }
  // The standby timer the drive holds, in seconds (0: off). IDLE and STANDBY
  // set it by their count; a SCSI disk's power condition page by its own.
  uint32_t standbyTimer() const { return standbyTimer_; }
  void setStandbyTimer(uint32_t seconds) { standbyTimer_ = seconds; }
  // The SMART attributes as READ DATA reports them now (id, raw value).
  std::vector<std::pair<uint8_t, uint64_t>> SmartAttributes() const;
  void setPowerMode(uint8_t mode) { powerMode_ = mode; }
  // Leaves standby for active, as a command that needs the platters does.
  void WakeUp();
  // True once after the drive woke up (so that the caller lets the spin-up
  // time pass).
  bool TakeWokenUp();
  FeatureLevel apm() const { return {config_.apmSupported, apmEnabled_, apmLevel_}; }
  FeatureLevel aam() const { return {config_.aamSupported, aamEnabled_, aamLevel_}; }

  // The 512 bytes of IDENTIFY DEVICE data for the current state.
  std::vector<uint8_t> IdentifyData() const;

 private:
  bool SetFeatures(const AtaInput& input);
  std::vector<uint8_t> SmartData() const;

  AtaDeviceConfig config_;
  uint8_t powerMode_;
  bool apmEnabled_;
  uint8_t apmLevel_;
  bool aamEnabled_;
  uint8_t aamLevel_;
  bool wokenUp_ = false;
  uint32_t standbyTimer_ = 0;  // seconds
  int64_t now_ = 0;
  int64_t loadedAt_ = -1;       // the first time passed in
  int64_t lastCommandAt_ = -1;
};

}  // namespace sim
