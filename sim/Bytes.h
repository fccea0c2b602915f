// The byte-order helpers under the bay's names, and the trace's hex text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ByteOrder.h"

namespace sim {

using platform::GetBe16;
using platform::GetBe32;
using platform::GetLe16;
using platform::GetLe32;
using platform::PutBe16;
using platform::PutBe32;
using platform::PutLe16;
using platform::PutLe32;
using platform::PutLe64;

// Upper-case hexadecimal, two digits a byte, no separators.
inline std::string HexBytes(const uint8_t* p, size_t count) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    text.push_back(kDigits[p[i] >> 4]);
    text.push_back(kDigits[p[i] & 0x0F]);
  }
  return text;
}

}  // namespace sim
