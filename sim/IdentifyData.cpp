#include "sim/IdentifyData.h"

#include "sim/Bytes.h"

namespace sim {

namespace {

void PutWord(uint8_t* data, int word, uint32_t value) { PutLe16(data + 2 * word, value); }

}  // namespace

void PutAtaString(uint8_t* data, int firstWord, int wordCount, const std::string& text) {
  for (int i = 0; i < wordCount; ++i) {
    size_t first = static_cast<size_t>(2 * i);
    uint8_t high = first < text.size() ? static_cast<uint8_t>(text[first]) : ' ';
    uint8_t low = first + 1 < text.size() ? static_cast<uint8_t>(text[first + 1]) : ' ';
    PutWord(data, firstWord + i, (high << 8) | low);
  }
}

std::vector<uint8_t> BuildIdentifyData(const AtaDeviceConfig& config, const IdentifyState& state) {
  std::vector<uint8_t> data(512, 0);
  uint8_t* d = data.data();
  const uint64_t sectors = config.sectors;

  // Obsolete CHS translation, still filled by drives: at most 16383/16/63.
  const uint32_t heads = 16;
  const uint32_t sectorsPerTrack = 63;
  uint64_t cylinders = sectors / (heads * sectorsPerTrack);
  if (cylinders > 16383) cylinders = 16383;
  const uint32_t chsSectors = static_cast<uint32_t>(cylinders) * heads * sectorsPerTrack;
  const uint32_t lba28 = sectors > 0x0FFFFFFF ? 0x0FFFFFFF : static_cast<uint32_t>(sectors);

  PutWord(d, 0, 0x0040);  // ATA device, fixed (bit 15 clear, bit 6 non-removable, obsolete)
  PutWord(d, 1, static_cast<uint32_t>(cylinders));
  PutWord(d, 3, heads);
  PutWord(d, 6, sectorsPerTrack);
  PutAtaString(d, 10, 10, config.serial);   // words 10-19 serial number
  PutAtaString(d, 23, 4, config.firmware);  // words 23-26 firmware revision
  PutAtaString(d, 27, 20, config.model);    // words 27-46 model number
  PutWord(d, 47, 0x8010);                   // READ/WRITE MULTIPLE: up to 16 sectors
  PutWord(d, 49, 0x2F00);                   // LBA and DMA supported, IORDY, standby timer
  PutWord(d, 50, 0x4000);
  PutWord(d, 53, 0x0007);  // words 54-58, 64-70 and 88 valid
  PutWord(d, 54, static_cast<uint32_t>(cylinders));
  PutWord(d, 55, heads);
  PutWord(d, 56, sectorsPerTrack);
  PutWord(d, 57, chsSectors & 0xFFFF);
  PutWord(d, 58, chsSectors >> 16);
  PutWord(d, 59, 0x0110);          // multiple sector setting valid: 16
  PutWord(d, 60, lba28 & 0xFFFF);  // words 60-61 total addressable sectors (28-bit)
  PutWord(d, 61, lba28 >> 16);
  PutWord(d, 63, 0x0007);  // multiword DMA 0-2 supported
  PutWord(d, 64, 0x0003);  // PIO 3 and 4 supported
  PutWord(d, 65, 120);
  PutWord(d, 66, 120);
  PutWord(d, 67, 120);
  PutWord(d, 68, 120);
  PutWord(d, 75, 0x001F);  // queue depth 32
  PutWord(d, 80, 0x01F0);  // major version: ATA/ATAPI-4 to ATA8-ACS
  // Word 82: SMART, power management, write cache, look-ahead, WRITE/READ
  // BUFFER, NOP. Word 83: bit 14 shall be one; 48-bit addressing, FLUSH CACHE
  // (EXT), bit 9 AAM and bit 3 APM from the bay. Words 85-87 mirror them as
  // enabled.
  uint32_t word83 = 0x7400;
  if (config.aamSupported) word83 |= 1u << 9;
  if (config.apmSupported) word83 |= 1u << 3;
  uint32_t word86 = 0x3400;
  if (config.aamSupported && state.aamEnabled) word86 |= 1u << 9;
  if (config.apmSupported && state.apmEnabled) word86 |= 1u << 3;
  // Bit 0 of words 82 and 85: SMART supported and enabled.
  const uint32_t smart = config.smart ? 1 : 0;
  PutWord(d, 82, 0x7068 | smart);
  PutWord(d, 83, word83);
  PutWord(d, 84, 0x4003);  // bit 14 one; SMART self-test and error log
  PutWord(d, 85, 0x7068 | smart);
  PutWord(d, 86, word86);
  PutWord(d, 87, 0x4003);
  PutWord(d, 88, 0x407F);  // Ultra DMA 0-6 supported, mode 6 selected
  // Word 91: current APM level; word 94: recommended (15-8) and current (7-0)
  // AAM level. A feature set that is off reports level 0.
  if (config.apmSupported && state.apmEnabled) PutWord(d, 91, state.apmLevel);
  if (config.aamSupported) {
    PutWord(d, 94,
            (static_cast<uint32_t>(config.aamRecommended) << 8) |
                (state.aamEnabled ? state.aamLevel : 0));
  }
  PutWord(d, 100, static_cast<uint32_t>(sectors & 0xFFFF));  // words 100-103: 48-bit sectors
  PutWord(d, 101, static_cast<uint32_t>((sectors >> 16) & 0xFFFF));
  PutWord(d, 102, static_cast<uint32_t>((sectors >> 32) & 0xFFFF));
  PutWord(d, 103, static_cast<uint32_t>((sectors >> 48) & 0xFFFF));
  PutWord(d, 106, 0x4000);  // one logical sector a physical sector

  // Word 255: integrity word. Signature A5h in bits 7-0, and in bits 15-8 the
  // value that makes the sum of all 512 bytes zero modulo 256.
  d[510] = 0xA5;
  uint8_t sum = 0;
  for (int i = 0; i < 511; ++i) sum = static_cast<uint8_t>(sum + d[i]);
  d[511] = static_cast<uint8_t>(0x100 - sum);
  return data;
}

}  // namespace sim
