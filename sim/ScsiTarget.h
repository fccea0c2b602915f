// What a device reached with IOCTL_SCSI_PASS_THROUGH_DIRECT sees of one
// command, and what it answers. Disks, the stand-in for a volume's device and
// (later) optical drives implement ScsiTarget.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace sim {

constexpr uint8_t kScsiGood = 0x00;
constexpr uint8_t kScsiCheckCondition = 0x02;

struct ScsiRequest {
  uint8_t cdb[16] = {};
  size_t cdbLength = 0;
  uint32_t hostLength = 0;           // the data length the host asked to move
  bool hostDataIn = true;            // the host's direction allows data from the device
  const uint8_t* dataOut = nullptr;  // the host's data for a data-out command, else null
  size_t dataOutLength = 0;
};

struct ScsiReply {
  uint8_t status = kScsiGood;
  std::vector<uint8_t> dataIn;  // what the device sends; the transport clips it to hostLength
  size_t dataOutTaken = 0;      // bytes of the host's data-out buffer the device took
  std::vector<uint8_t> sense;   // with CHECK CONDITION

  static ScsiReply Good() { return ScsiReply(); }
  static ScsiReply Good(std::vector<uint8_t> data) {
    ScsiReply reply;
    reply.dataIn = std::move(data);
    return reply;
  }
  static ScsiReply Check(std::vector<uint8_t> senseData) {
    ScsiReply reply;
    reply.status = kScsiCheckCondition;
    reply.sense = std::move(senseData);
    return reply;
  }
};

class ScsiTarget {
 public:
  virtual ~ScsiTarget() = default;
  virtual ScsiReply Execute(const ScsiRequest& request) = 0;
};

// CHECK CONDITION, ILLEGAL REQUEST, INVALID COMMAND OPERATION CODE (20h/00h).
ScsiReply InvalidOpcode();
// CHECK CONDITION, ILLEGAL REQUEST, INVALID FIELD IN CDB (24h/00h).
ScsiReply InvalidField();
// CHECK CONDITION, ILLEGAL REQUEST with the additional sense code `asc`
// (ASCQ 00h).
ScsiReply IllegalRequest(uint8_t asc);

}  // namespace sim
