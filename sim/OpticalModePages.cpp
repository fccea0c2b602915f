// The optical drive's mode pages through MODE SENSE(10) and MODE SELECT(10)
// (SPC-4): the power condition page 1Ah as MMC-6 lays it out, and the
// capabilities and mechanical status page 2Ah, read only. The drive returns
// no block descriptors and saves no pages.
#include "sim/Bytes.h"
#include "sim/OpticalDrive.h"
#include "sim/Sense.h"

namespace sim {

namespace {

constexpr uint8_t kPowerConditionPage = 0x1A;
constexpr uint8_t kCapabilitiesPage = 0x2A;
constexpr uint8_t kAllPages = 0x3F;
constexpr uint8_t kPowerPageLength = 0x0A;     // bytes after byte 1
constexpr uint8_t kCapabilitiesLength = 0x1E;  // 32 bytes, no write speed descriptors
constexpr size_t kHeaderLength = 8;            // mode parameter header (10)

// MODE SENSE page control (byte 2 bits 7-6).
constexpr uint8_t kChangeableValues = 1;
constexpr uint8_t kDefaultValues = 2;
constexpr uint8_t kSavedValues = 3;

// ASCs of ILLEGAL REQUEST used here (SPC-4).
constexpr uint8_t kParameterListLengthError = 0x1A;
constexpr uint8_t kInvalidFieldInParameterList = 0x26;
constexpr uint8_t kSavingParametersNotSupported = 0x39;

ScsiReply IllegalRequest(uint8_t asc) {
  return ScsiReply::Check(FixedSense(kSenseIllegalRequest, asc, 0x00));
}

}  // namespace

std::vector<uint8_t> SimOptical::PowerPage(uint8_t pageControl) const {
  // 0 page code 1Ah (PS 0: not saveable), 1 page length 0Ah, 2 reserved,
  // 3 bit 1 IDLE, bit 0 STANDBY, 4-7 idle condition timer, 8-11 standby
  // condition timer (100 ms units).
  std::vector<uint8_t> page(2 + kPowerPageLength, 0);
  page[0] = kPowerConditionPage;
  page[1] = kPowerPageLength;
  if (pageControl == kChangeableValues) {
    if (config_.powerPage == PowerPageAnswer::kWritable) {
      page[3] = 0x03;
      PutBe32(&page[4], 0xFFFFFFFFu);
      PutBe32(&page[8], 0xFFFFFFFFu);
    }
    return page;
  }
  const PowerConditions& values = pageControl == kDefaultValues ? config_.power : conditions_;
  page[3] = static_cast<uint8_t>((values.idle ? 0x02 : 0x00) | (values.standby ? 0x01 : 0x00));
  PutBe32(&page[4], values.idleTimer);
  PutBe32(&page[8], values.standbyTimer);
  return page;
}

std::vector<uint8_t> SimOptical::CapabilitiesPage(uint8_t pageControl) const {
  std::vector<uint8_t> page(2 + kCapabilitiesLength, 0);
  page[0] = kCapabilitiesPage;
  page[1] = kCapabilitiesLength;
  if (pageControl == kChangeableValues) return page;  // nothing here is changeable

  const bool readsCd = !config_.cdSpeeds.empty();
  const bool readsDvd = !config_.dvdSpeeds.empty();
  const uint32_t fastest = HasMedium() ? FastestFor(medium_.kind) : FastestFor(MediumKind::kCd);
  //   2      read: DVD-RAM b5, DVD-R b4, DVD-ROM b3, method 2 b2, CD-RW b1, CD-R b0
  //   3      write: none, this drive only reads
  //   4      multi-session b6, mode 2 form 2 b5, form 1 b4, audio play b0
  //   5      CD-DA stream accurate b1, CD-DA commands b0
  //   6      loading mechanism b7-5 (001b tray), eject b3, lock state b1, lock b0
  //   7      separate channel mute b1, separate volume levels b0
  //   8-9    maximum read speed, KB/s       10-11  volume levels
  //   12-13  buffer size, KB                14-15  current read speed, KB/s
  //   18-21  maximum and current write speed (0)
  //   22-23  copy management revision       27     rotation control selected (CLV)
  //   28-29  current write speed selected   30-31  write speed descriptors (0)
  page[2] = static_cast<uint8_t>((readsCd ? 0x07 : 0x00) | (readsDvd ? 0x38 : 0x00));
  page[4] = readsCd ? 0x71 : 0x00;
  page[5] = readsCd ? 0x03 : 0x00;
  page[6] = static_cast<uint8_t>(0x29 | (removalPrevented_ ? 0x02 : 0x00));
  page[7] = 0x03;
  PutBe16(&page[8], fastest);
  PutBe16(&page[10], 256);
  PutBe16(&page[12], 2048);
  PutBe16(&page[14], ReportedReadSpeed(false));
  PutBe16(&page[22], readsDvd ? 1 : 0);
  return page;
}

ScsiReply SimOptical::ModeSense10(const ScsiRequest& request) const {
  // Byte 1 bit 3 DBD (no block descriptors are returned either way), byte 2
  // bits 7-6 page control and 5-0 page code, byte 3 subpage, bytes 7-8
  // allocation length.
  const uint8_t pageControl = request.cdb[2] >> 6;
  const uint8_t pageCode = request.cdb[2] & 0x3F;
  const uint8_t subpage = request.cdb[3];
  const size_t allocation = GetBe16(request.cdb + 7);
  if (pageControl == kSavedValues) return IllegalRequest(kSavingParametersNotSupported);
  if (subpage != 0 && !(pageCode == kAllPages && subpage == 0xFF)) return InvalidField();

  const bool hasPowerPage = config_.powerPage != PowerPageAnswer::kAbsent;
  std::vector<uint8_t> data(kHeaderLength, 0);
  auto append = [&data](const std::vector<uint8_t>& page) {
    data.insert(data.end(), page.begin(), page.end());
  };
  if (pageCode == kPowerConditionPage && hasPowerPage) {
    append(PowerPage(pageControl));
  } else if (pageCode == kCapabilitiesPage && config_.capabilitiesPage) {
    append(CapabilitiesPage(pageControl));
  } else if (pageCode == kAllPages) {
    if (hasPowerPage) append(PowerPage(pageControl));
    if (config_.capabilitiesPage) append(CapabilitiesPage(pageControl));
  } else {
    return InvalidField();
  }
  // Header: 0-1 mode data length (the bytes after it), 2 medium type,
  // 3 device-specific, 6-7 block descriptor length 0.
  PutBe16(&data[0], static_cast<uint32_t>(data.size() - 2));
  if (data.size() > allocation) data.resize(allocation);
  return ScsiReply::Good(std::move(data));
}

ScsiReply SimOptical::ModeSelect10(const ScsiRequest& request) {
  // Byte 1 bit 4 PF, bit 0 SP; bytes 7-8 parameter list length.
  const bool pageFormat = (request.cdb[1] & 0x10) != 0;
  const bool savePages = (request.cdb[1] & 0x01) != 0;
  const size_t listLength = GetBe16(request.cdb + 7);
  if (!pageFormat || savePages) return InvalidField();
  const size_t taken = TakeParameterData(request, listLength);
  auto answer = [taken](ScsiReply reply) {
    reply.dataOutTaken = taken;
    return reply;
  };
  if (listLength == 0) return ScsiReply::Good();  // nothing to change (SPC-4)
  if (taken < listLength || listLength < kHeaderLength) {
    return answer(IllegalRequest(kParameterListLengthError));
  }

  const uint8_t* list = request.dataOut;
  // No block descriptors: this drive has no block size to select.
  if (GetBe16(list + 6) != 0) return answer(IllegalRequest(kInvalidFieldInParameterList));

  // Every page is checked before any is applied, so that a refused list
  // changes nothing.
  PowerConditions staged = conditions_;
  for (size_t offset = kHeaderLength; offset < listLength;) {
    if (listLength - offset < 2) return answer(IllegalRequest(kParameterListLengthError));
    const uint8_t* page = list + offset;
    const size_t pageLength = page[1];
    if (offset + 2 + pageLength > listLength) {
      return answer(IllegalRequest(kParameterListLengthError));
    }
    // Byte 0: PS (reserved here) b7, SPF b6, page code b5-0. Only the power
    // condition page is changeable, only in its own length, and only its
    // IDLE and STANDBY bits and timers.
    const bool subpageFormat = (page[0] & 0x40) != 0;
    if (subpageFormat || (page[0] & 0x3F) != kPowerConditionPage ||
        config_.powerPage != PowerPageAnswer::kWritable || pageLength != kPowerPageLength ||
        page[2] != 0 || (page[3] & 0xFC) != 0) {
      return answer(IllegalRequest(kInvalidFieldInParameterList));
    }
    staged.idle = (page[3] & 0x02) != 0;
    staged.standby = (page[3] & 0x01) != 0;
    staged.idleTimer = GetBe32(page + 4);
    staged.standbyTimer = GetBe32(page + 8);
    offset += 2 + pageLength;
  }
  conditions_ = staged;
  return answer(ScsiReply::Good());
}

}  // namespace sim
