#include "drive/SpeedListText.h"

#include <cctype>
#include <cstdint>
#include <limits>

namespace drive {

std::string FormatSpeedList(const SpeedTable& table) {
  std::string text;
  text += table.readByPerformance ? 'D' : 'C';
  text += table.setByStreaming ? 'D' : 'C';
  text += ' ';
  const int count = table.speedCount < kMaxSpeeds ? table.speedCount : kMaxSpeeds;
  for (int i = 0; i < count; ++i) {
    const std::string entry = (i ? "," : "") + std::to_string(table.speeds[i]);
    if (text.size() + entry.size() > kSpeedListTextLimit) break;
    text += entry;
  }
  return text;
}

namespace {

// Reads a leading decimal number as the runtime's atoi does (blanks, a sign,
// digits up to the first other character; 0 without digits). False when the
// value does not fit 32 bits: that is damage, not a speed.
bool LeadingNumber(const std::string& text, size_t at, int32_t& value) {
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int64_t magnitude = 0;
  const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                 : std::numeric_limits<int32_t>::max();
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    magnitude = magnitude * 10 + (text[at] - '0');
    if (magnitude > limit) return false;
  }
  value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return true;
}

}  // namespace

void ParseSpeedList(const std::string& text, SpeedTable& table) {
  table.speedCount = 0;
  if (text.empty()) return;
  // A missing letter counts as not "C".
  table.readByPerformance = text[0] != 'C';
  table.setByStreaming = text.size() < 2 || text[1] != 'C';

  size_t at = 3;
  int32_t speed = 0;
  while (at <= text.size() && LeadingNumber(text, at, speed) && speed != 0 &&
         table.speedCount < kMaxSpeeds) {
    table.speeds[table.speedCount++] = speed;
    const size_t comma = text.find(',', at);
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
}

}  // namespace drive
