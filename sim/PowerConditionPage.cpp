#include "sim/PowerConditionPage.h"

#include "sim/Bytes.h"
#include "sim/Sense.h"

namespace sim {

namespace {

constexpr uint8_t kPowerPageLength = 0x0A;  // bytes after byte 1

// ASCs of ILLEGAL REQUEST used here (SPC-4).
constexpr uint8_t kParameterListLengthError = 0x1A;
constexpr uint8_t kInvalidFieldInParameterList = 0x26;

}  // namespace

std::vector<uint8_t> PowerConditionPage::Page(uint8_t pageControl) const {
  // 0 page code 1Ah (PS 0: not saveable), 1 page length 0Ah, 2 reserved,
  // 3 bit 1 IDLE, bit 0 STANDBY, 4-7 idle condition timer, 8-11 standby
  // condition timer (100 ms units).
  std::vector<uint8_t> page(2 + kPowerPageLength, 0);
  page[0] = kPowerConditionPageCode;
  page[1] = kPowerPageLength;
  if (pageControl == kChangeableValues) {
    if (answer_ == PowerPageAnswer::kWritable) {
      page[3] = 0x03;
      PutBe32(&page[4], 0xFFFFFFFFu);
      PutBe32(&page[8], 0xFFFFFFFFu);
    }
    return page;
  }
  const PowerConditions& values = pageControl == kDefaultValues ? defaults_ : current_;
  page[3] = static_cast<uint8_t>((values.idle ? 0x02 : 0x00) | (values.standby ? 0x01 : 0x00));
  PutBe32(&page[4], values.idleTimer);
  PutBe32(&page[8], values.standbyTimer);
  return page;
}

ScsiReply PowerConditionPage::Select(const ScsiRequest& request, size_t taken) {
  // Byte 1 bit 4 PF, bit 0 SP; bytes 7-8 parameter list length.
  const bool pageFormat = (request.cdb[1] & 0x10) != 0;
  const bool savePages = (request.cdb[1] & 0x01) != 0;
  const size_t listLength = GetBe16(request.cdb + 7);
  if (!pageFormat || savePages) return InvalidField();
  if (listLength == 0) return ScsiReply::Good();  // nothing to change (SPC-4)
  if (taken < listLength || listLength < kModeHeaderLength)
    return IllegalRequest(kParameterListLengthError);

  const uint8_t* list = request.dataOut;
  // No block descriptors: the device has no block size to select here.
  if (GetBe16(list + 6) != 0) return IllegalRequest(kInvalidFieldInParameterList);

  PowerConditions staged = current_;
  for (size_t offset = kModeHeaderLength; offset < listLength;) {
    if (listLength - offset < 2) return IllegalRequest(kParameterListLengthError);
    const uint8_t* page = list + offset;
    const size_t pageLength = page[1];
    if (offset + 2 + pageLength > listLength) return IllegalRequest(kParameterListLengthError);
    // Byte 0: PS (reserved here) b7, SPF b6, page code b5-0. Only this page
    // is changeable, only in its own length, and only its IDLE and STANDBY
    // bits and timers.
    const bool subpageFormat = (page[0] & 0x40) != 0;
    if (subpageFormat || (page[0] & 0x3F) != kPowerConditionPageCode ||
        answer_ != PowerPageAnswer::kWritable || pageLength != kPowerPageLength || page[2] != 0 ||
        (page[3] & 0xFC) != 0) {
      return IllegalRequest(kInvalidFieldInParameterList);
    }
    staged.idle = (page[3] & 0x02) != 0;
    staged.standby = (page[3] & 0x01) != 0;
    staged.idleTimer = GetBe32(page + 4);
    staged.standbyTimer = GetBe32(page + 8);
    offset += 2 + pageLength;
  }
  current_ = staged;
  return ScsiReply::Good();
}

ScsiReply ModeSenseAnswer(const std::vector<std::vector<uint8_t>>& pages, size_t allocation) {
  // Header: 0-1 mode data length (the bytes after it), 2 medium type,
  // 3 device-specific, 6-7 block descriptor length 0.
  std::vector<uint8_t> data(kModeHeaderLength, 0);
  for (const std::vector<uint8_t>& page : pages) data.insert(data.end(), page.begin(), page.end());
  PutBe16(&data[0], static_cast<uint32_t>(data.size() - 2));
  if (data.size() > allocation) data.resize(allocation);
  return ScsiReply::Good(std::move(data));
}

}  // namespace sim
