// Reading the 512-byte IDENTIFY DEVICE answer: 256 little-endian words; text
// fields hold two characters per word, the high byte first (ATA8-ACS).
#pragma once

#include <cstdint>
#include <string>

#include "drive/Bytes.h"

namespace drive {

// Word numbers of the fields the program reads.
struct IdentifyWord {
  static constexpr int serialNumber = 10;  // 10-19, 20 characters
  static constexpr int serialNumberWords = 10;
  static constexpr int modelNumber = 27;  // 27-46, 40 characters
  static constexpr int modelNumberWords = 20;
  static constexpr int smartSupported = 82;        // bit 0
  static constexpr int smartEnabled = 85;          // bit 0
  static constexpr int commandSetsSupported = 83;  // bit 3 APM, bit 9 AAM
  static constexpr int commandSetsEnabled = 86;    // bit 3 APM, bit 9 AAM
  static constexpr int apmLevel = 91;              // bits 7-0
  static constexpr int aamLevel = 94;              // bits 7-0 current level
};

constexpr int kIdentifyBytes = 512;
constexpr uint8_t kIntegritySignature = 0xA5;  // word 255 bits 7-0

constexpr uint16_t kApmBit = 1u << 3;
constexpr uint16_t kAamBit = 1u << 9;

inline uint16_t IdentifyWordAt(const uint8_t* identify, int word) {
  return GetLe16(identify + 2 * word);
}

// The characters of words [first, first + count), high byte first.
inline std::string IdentifyText(const uint8_t* identify, int first, int count) {
  std::string text;
  text.reserve(2 * count);
  for (int w = first; w < first + count; ++w) {
    const uint16_t value = IdentifyWordAt(identify, w);
    text.push_back(static_cast<char>(value >> 8));
    text.push_back(static_cast<char>(value & 0xFF));
  }
  return text;
}

// Does a 512-byte IDENTIFY answer carry identify data, or is it the empty
// buffer of a command that moved none (a bridge that answers GOOD without a
// data phase)? With the integrity signature in word 255 the checksum decides:
// all 512 bytes sum to 0 (ATA8-ACS 7.16.7.91). Without it, the model or the
// serial number must hold something other than zero bytes.
inline bool CarriesIdentifyData(const uint8_t* identify) {
  if (identify[2 * 255] == kIntegritySignature) {
    uint8_t sum = 0;
    for (int i = 0; i < kIdentifyBytes; ++i) sum = static_cast<uint8_t>(sum + identify[i]);
    return sum == 0;
  }
  const auto anyByte = [identify](int firstWord, int words) {
    for (int i = 2 * firstWord; i < 2 * (firstWord + words); ++i)
      if (identify[i] != 0) return true;
    return false;
  };
  return anyByte(IdentifyWord::modelNumber, IdentifyWord::modelNumberWords) ||
         anyByte(IdentifyWord::serialNumber, IdentifyWord::serialNumberWords);
}

}  // namespace drive
