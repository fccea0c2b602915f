// An optical drive as \\.\X: (MMC-6 on SPC-4): identification, the feature
// list of GET CONFIGURATION, readiness and capacity of its medium, the tray,
// read speeds (SET CD SPEED, SET STREAMING, the capabilities page 2Ah, GET
// PERFORMANCE), the power condition page 1Ah and the power conditions that
// START STOP UNIT selects. Not thread-safe by itself: the bay serialises calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/BayConfig.h"
#include "sim/PowerConditionPage.h"
#include "sim/ScsiTarget.h"

namespace sim {

class SimOptical : public ScsiTarget {
 public:
  explicit SimOptical(const OpticalConfig& config);

  const OpticalConfig& config() const { return config_; }

  ScsiReply Execute(const ScsiRequest& request) override;

  // A user changes the disc: the tray ends up closed with `medium` in it
  // (profile 0: empty). False, with nothing changed, when the drive cannot
  // read that kind of medium.
  bool ChangeMedium(const OpticalMedium& medium);

  // State for the bay's inspection methods.
  bool HasMedium() const { return !trayOpen_ && medium_.kind != MediumKind::kNone; }
  uint16_t currentProfile() const { return HasMedium() ? medium_.profile : 0; }
  bool trayOpen() const { return trayOpen_; }
  uint32_t currentSpeed() const { return HasMedium() ? currentSpeed_ : 0; }
  OpticalPower power() const { return power_; }
  const PowerConditions& powerConditions() const { return powerPage_.current(); }
  int speedCommands() const { return speedCommands_; }
  const std::vector<uint8_t>& lastParameterData() const { return lastParameterData_; }

 private:
  // OpticalDrive.cpp: readiness, the tray and the power conditions.
  ScsiReply TestUnitReady() const;
  ScsiReply ReadCapacity10() const;
  ScsiReply StartStopUnit(const ScsiRequest& request);
  ScsiReply PreventAllowRemoval(const ScsiRequest& request);
  ScsiReply RequestSense(const ScsiRequest& request);
  ScsiReply NotReady() const;
  void LoadMedium();

  // OpticalConfiguration.cpp: GET CONFIGURATION.
  ScsiReply GetConfiguration(const ScsiRequest& request) const;

  // OpticalModePages.cpp: MODE SENSE(10) and MODE SELECT(10).
  ScsiReply ModeSense10(const ScsiRequest& request) const;
  ScsiReply ModeSelect10(const ScsiRequest& request);
  std::vector<uint8_t> CapabilitiesPage(uint8_t pageControl) const;

  // OpticalSpeed.cpp: speeds.
  ScsiReply SetCdSpeed(const ScsiRequest& request);
  ScsiReply SetStreaming(const ScsiRequest& request);
  ScsiReply GetPerformance(const ScsiRequest& request) const;
  const std::vector<uint32_t>& SpeedsFor(MediumKind kind) const;
  uint32_t FastestFor(MediumKind kind) const;
  uint32_t StepToSupported(uint64_t requested) const;
  // The current read speed as page 2Ah (false) or GET PERFORMANCE (true) reports it.
  uint32_t ReportedReadSpeed(bool byPerformance) const;

  // Keeps what a data-out command brought (at most `listLength` bytes) and
  // returns how many bytes that is.
  size_t TakeParameterData(const ScsiRequest& request, size_t listLength);

  OpticalConfig config_;
  OpticalMedium medium_;  // in the drive, or on the open tray
  bool trayOpen_ = false;
  bool removalPrevented_ = false;
  bool unitAttention_ = false;
  uint32_t currentSpeed_ = 0;  // KB/s while a medium is in
  OpticalPower power_;
  PowerConditionPage powerPage_;
  int speedCommands_ = 0;
  std::vector<uint8_t> lastParameterData_;
};

}  // namespace sim
