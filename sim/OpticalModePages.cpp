// The optical drive's mode pages through MODE SENSE(10) and MODE SELECT(10)
// (SPC-4): the power condition page 1Ah as MMC-6 lays it out, and the
// capabilities and mechanical status page 2Ah, read only. The drive returns
// no block descriptors and saves no pages.
#include "sim/Bytes.h"
#include "sim/OpticalDrive.h"
#include "sim/PowerConditionPage.h"
#include "sim/Sense.h"

namespace sim {

namespace {

constexpr uint8_t kCapabilitiesPage = 0x2A;
constexpr uint8_t kAllPages = 0x3F;
constexpr uint8_t kCapabilitiesLength = 0x1E;  // 32 bytes, no write speed descriptors

}  // namespace

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

  std::vector<std::vector<uint8_t>> pages;
  if (pageCode == kPowerConditionPageCode && powerPage_.present()) {
    pages.push_back(powerPage_.Page(pageControl));
  } else if (pageCode == kCapabilitiesPage && config_.capabilitiesPage) {
    pages.push_back(CapabilitiesPage(pageControl));
  } else if (pageCode == kAllPages) {
    if (powerPage_.present()) pages.push_back(powerPage_.Page(pageControl));
    if (config_.capabilitiesPage) pages.push_back(CapabilitiesPage(pageControl));
  } else {
    return InvalidField();
  }
  return ModeSenseAnswer(pages, allocation);
}

ScsiReply SimOptical::ModeSelect10(const ScsiRequest& request) {
  const bool pageFormat = (request.cdb[1] & 0x10) != 0;
  const bool savePages = (request.cdb[1] & 0x01) != 0;
  if (!pageFormat || savePages) return InvalidField();
  ScsiReply reply = powerPage_.Select(request, TakeParameterData(request, GetBe16(request.cdb + 7)));
  reply.dataOutTaken = lastParameterData_.size();
  return reply;
}

}  // namespace sim
