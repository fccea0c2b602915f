// The power condition mode page 1Ah (SPC-4, in the 0Ah-byte form MMC-6 keeps)
// for any device that has one: what it holds now, what may be changed, and
// the MODE SELECT(10) that changes it. Optical drives keep it beside their
// capabilities page; a SCSI disk may have it alone. The device saves no pages
// and returns no block descriptors.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/BayConfig.h"
#include "sim/ScsiTarget.h"

namespace sim {

constexpr uint8_t kPowerConditionPageCode = 0x1A;
constexpr size_t kModeHeaderLength = 8;  // mode parameter header (10)

// MODE SENSE page control (byte 2 bits 7-6).
constexpr uint8_t kCurrentValues = 0;
constexpr uint8_t kChangeableValues = 1;
constexpr uint8_t kDefaultValues = 2;
constexpr uint8_t kSavedValues = 3;
// ASC of ILLEGAL REQUEST for saved values, which no device here keeps.
constexpr uint8_t kSavingParametersNotSupported = 0x39;

class PowerConditionPage {
 public:
  PowerConditionPage(PowerPageAnswer answer, const PowerConditions& defaults)
      : answer_(answer), defaults_(defaults), current_(defaults) {}

  bool present() const { return answer_ != PowerPageAnswer::kAbsent; }
  const PowerConditions& current() const { return current_; }

  // The page for MODE SENSE page control `pageControl` (not saved values).
  std::vector<uint8_t> Page(uint8_t pageControl) const;
  // MODE SELECT(10) of a parameter list that may hold this page only; the
  // whole list is checked before anything changes. `taken`: the bytes of the
  // list that came.
  ScsiReply Select(const ScsiRequest& request, size_t taken);

 private:
  PowerPageAnswer answer_;
  PowerConditions defaults_;
  PowerConditions current_;
};

// A MODE SENSE(10) answer: the header, then the pages, cut to the allocation
// length.
ScsiReply ModeSenseAnswer(const std::vector<std::vector<uint8_t>>& pages, size_t allocation);

}  // namespace sim
