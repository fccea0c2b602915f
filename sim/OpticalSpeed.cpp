// Read speeds of the optical drive: the two commands that set one (SET CD
// SPEED, SET STREAMING) and GET PERFORMANCE, which reports it. MMC-6 counts
// speeds in kilobytes (1000 bytes) a second; a drive reads only at the
// speeds it supports for the medium and steps a request to one of them.
#include <algorithm>

#include "sim/Bytes.h"
#include "sim/OpticalDrive.h"
#include "sim/Sense.h"

namespace sim {

namespace {

constexpr size_t kPerformanceDescriptorLength = 28;
constexpr size_t kPerformanceHeaderLength = 8;
constexpr size_t kNominalDescriptorLength = 16;

// ASCs of ILLEGAL REQUEST used here (SPC-4).
constexpr uint8_t kParameterListLengthError = 0x1A;
constexpr uint8_t kLbaOutOfRange = 0x21;
constexpr uint8_t kInvalidFieldInParameterList = 0x26;

}  // namespace

const std::vector<uint32_t>& SimOptical::SpeedsFor(MediumKind kind) const {
  static const std::vector<uint32_t> kNone;
  switch (kind) {
    case MediumKind::kCd:
      return config_.cdSpeeds;
    case MediumKind::kDvd:
      return config_.dvdSpeeds;
    case MediumKind::kBd:
      return config_.bdSpeeds;
    case MediumKind::kNone:
      break;
  }
  return kNone;
}

uint32_t SimOptical::FastestFor(MediumKind kind) const {
  const std::vector<uint32_t>& speeds = SpeedsFor(kind);
  return speeds.empty() ? 0 : speeds.front();
}

// The highest supported speed not above the request; the slowest when the
// request is below them all. FFFFh, "as fast as possible", is above them all.
uint32_t SimOptical::StepToSupported(uint64_t requested) const {
  const std::vector<uint32_t>& speeds = SpeedsFor(medium_.kind);
  if (speeds.empty()) return 0;
  for (uint32_t speed : speeds) {
    if (speed <= requested) return speed;
  }
  return speeds.back();
}

uint32_t SimOptical::ReportedReadSpeed(bool byPerformance) const {
  if (!HasMedium()) return config_.idleSpeed;
  const ReportedSpeed report =
      byPerformance ? config_.performanceReport : config_.capabilitiesReport;
  switch (report) {
    case ReportedSpeed::kFastest:
      return FastestFor(medium_.kind);
    case ReportedSpeed::kFixed:
      return byPerformance ? config_.performanceFixed : config_.capabilitiesFixed;
    case ReportedSpeed::kCurrent:
      break;
  }
  return currentSpeed_;
}

ScsiReply SimOptical::SetCdSpeed(const ScsiRequest& request) {
  // Byte 1 bits 1-0 rotational control (00b CLV, 01b CAV); bytes 2-3 read
  // speed, bytes 4-5 write speed, KB/s, FFFFh the fastest.
  ++speedCommands_;
  if ((request.cdb[1] & 0x03) > 1) return InvalidField();
  if (config_.setCdSpeed == SpeedCommandAnswer::kIgnored) return ScsiReply::Good();
  // Without a disc there is nothing to spin: the request is accepted and
  // the next disc starts at full speed all the same.
  if (!HasMedium()) return ScsiReply::Good();
  currentSpeed_ = StepToSupported(GetBe16(request.cdb + 2));
  return ScsiReply::Good();
}

ScsiReply SimOptical::SetStreaming(const ScsiRequest& request) {
  // Byte 8 type (0: performance descriptor), bytes 9-10 parameter list length.
  ++speedCommands_;
  const size_t listLength = GetBe16(request.cdb + 9);
  if (request.cdb[8] != 0) return InvalidField();
  const size_t taken = TakeParameterData(request, listLength);
  // Whatever the answer, the data phase moved what the drive took.
  auto answer = [taken](ScsiReply reply) {
    reply.dataOutTaken = taken;
    return reply;
  };
  if (listLength == 0) return ScsiReply::Good();  // no list is not an error (SPC-4)
  if (taken < listLength || listLength < kPerformanceDescriptorLength) {
    return answer(IllegalRequest(kParameterListLengthError));
  }
  if (config_.setStreaming == SpeedCommandAnswer::kIgnored) return answer(ScsiReply::Good());
  if (!HasMedium()) return answer(NotReady());

  // Performance descriptor:
  //   0       bits 4-3 WRC, bit 2 RDD, bit 1 Exact, bit 0 RA
  //   4-7     start LBA          8-11   end LBA
  //   12-15   read size, KB      16-19  read time, ms
  //   20-23   write size, KB     24-27  write time, ms
  const uint8_t* d = request.dataOut;
  const bool restoreDefaults = (d[0] & 0x04) != 0;
  const bool exact = (d[0] & 0x02) != 0;
  if (restoreDefaults) {  // RDD: back to the drive's own choice, the other fields ignored
    currentSpeed_ = FastestFor(medium_.kind);
    return answer(ScsiReply::Good());
  }
  const uint32_t startLba = GetBe32(d + 4);
  const uint32_t endLba = GetBe32(d + 8);
  const uint32_t readSize = GetBe32(d + 12);
  const uint32_t readTime = GetBe32(d + 16);
  if (endLba > medium_.lastLba) return answer(IllegalRequest(kLbaOutOfRange));
  if (startLba > endLba || readTime == 0) {
    return answer(IllegalRequest(kInvalidFieldInParameterList));
  }
  const uint64_t requested = static_cast<uint64_t>(readSize) * 1000 / readTime;
  const uint32_t speed = StepToSupported(requested);
  if (exact && speed != requested) return answer(IllegalRequest(kInvalidFieldInParameterList));
  currentSpeed_ = speed;
  return answer(ScsiReply::Good());
}

ScsiReply SimOptical::GetPerformance(const ScsiRequest& request) const {
  // Byte 1 bits 4-3 tolerance (10b), bit 2 Write, bits 1-0 Except; bytes
  // 2-5 starting LBA; bytes 8-9 maximum number of descriptors; byte 10 type.
  const uint8_t* cdb = request.cdb;
  const uint8_t tolerance = (cdb[1] >> 3) & 0x03;
  const bool write = (cdb[1] & 0x04) != 0;
  const uint8_t except = cdb[1] & 0x03;
  const uint32_t startLba = GetBe32(cdb + 2);
  const uint16_t maxDescriptors = GetBe16(cdb + 8);
  // Type 0 (performance) only; its tolerance must be 10b, Except 11b is reserved.
  if (cdb[10] != 0 || tolerance != 2 || except == 3) return InvalidField();
  if (!HasMedium()) return NotReady();
  if (startLba > medium_.lastLba) return IllegalRequest(kLbaOutOfRange);

  // Nominal read performance is one descriptor for the whole medium at the
  // current speed; the drive writes nothing and knows of no exceptions.
  const bool nominalRead = !write && except == 0 && maxDescriptors > 0;
  std::vector<uint8_t> data(kPerformanceHeaderLength + (nominalRead ? kNominalDescriptorLength : 0),
                            0);
  // Header: bytes 0-3 performance data length, byte 4 bit 1 Write, bit 0 Except.
  PutBe32(&data[0], static_cast<uint32_t>(data.size() - 4));
  data[4] = static_cast<uint8_t>((write ? 0x02 : 0x00) | (except ? 0x01 : 0x00));
  if (nominalRead) {
    // Descriptor: start LBA, start performance, end LBA, end performance.
    const uint32_t speed = ReportedReadSpeed(true);
    PutBe32(&data[8], startLba);
    PutBe32(&data[12], speed);
    PutBe32(&data[16], medium_.lastLba);
    PutBe32(&data[20], speed);
  }
  return ScsiReply::Good(std::move(data));
}

}  // namespace sim
