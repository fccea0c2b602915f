#include "sim/Sense.h"

namespace sim {

std::vector<uint8_t> FixedSense(uint8_t key, uint8_t asc, uint8_t ascq) {
  // Byte 0 response code 70h; 2 sense key; 7 additional length (18 - 8);
  // 12 ASC; 13 ASCQ.
  std::vector<uint8_t> sense(18, 0);
  sense[0] = 0x70;
  sense[2] = key;
  sense[7] = 0x0A;
  sense[12] = asc;
  sense[13] = ascq;
  return sense;
}

std::vector<uint8_t> AtaStatusReturnSense(uint8_t key, uint8_t asc, uint8_t ascq,
                                          const AtaOutput& r) {
  // Header: 0 response code 72h, 1 sense key, 2 ASC, 3 ASCQ, 7 additional
  // length 0Eh. ATA Status Return descriptor from byte 8:
  //   +0 code 09h   +1 length 0Ch   +2 EXTEND (0: 28-bit)   +3 error
  //   +4/+5 count (15:8, 7:0)   +6/+7 LBA low   +8/+9 LBA mid
  //   +10/+11 LBA high   +12 device   +13 status
  std::vector<uint8_t> sense(22, 0);
  sense[0] = 0x72;
  sense[1] = key;
  sense[2] = asc;
  sense[3] = ascq;
  sense[7] = 0x0E;
  uint8_t* descriptor = sense.data() + 8;
  descriptor[0] = 0x09;
  descriptor[1] = 0x0C;
  descriptor[2] = 0x00;
  descriptor[3] = r.error;
  descriptor[5] = r.count;
  descriptor[7] = r.lbaLow;
  descriptor[9] = r.lbaMid;
  descriptor[11] = r.lbaHigh;
  descriptor[12] = r.device;
  descriptor[13] = r.status;
  return sense;
}

std::vector<uint8_t> AtaFixedSense(uint8_t key, const AtaOutput& r) {
  // INFORMATION (bytes 3-6): error, status, device, count (7:0).
  // COMMAND-SPECIFIC INFORMATION (bytes 8-11): 8 EXTEND and the upper-nonzero
  // flags (0 for 28-bit commands), 9-11 LBA low, mid, high.
  std::vector<uint8_t> sense = FixedSense(key, 0x00, 0x1D);
  sense[3] = r.error;
  sense[4] = r.status;
  sense[5] = r.device;
  sense[6] = r.count;
  sense[9] = r.lbaLow;
  sense[10] = r.lbaMid;
  sense[11] = r.lbaHigh;
  return sense;
}

}  // namespace sim
