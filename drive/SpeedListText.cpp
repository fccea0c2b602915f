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
// digits up to the first other character). False when there are no digits,
// or when the value does not fit 32 bits: that is damage, not a speed.
bool LeadingNumber(const std::string& text, size_t at, int32_t& value) {
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int64_t magnitude = 0;
  const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                 : std::numeric_limits<int32_t>::max();
  const size_t firstDigit = at;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    magnitude = magnitude * 10 + (text[at] - '0');
    if (magnitude > limit) return false;
  }
  if (at == firstDigit) return false;
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
  // Exactly what a probe that learned nothing stores.
  table.probeFoundNone = text.size() == 3 && text[2] == ' ' ? 1 : 0;

  size_t at = 3;
  int32_t speed = 0;
  while (at <= text.size() && LeadingNumber(text, at, speed) && table.speedCount < kMaxSpeeds) {
    // A 0 is no speed (an earlier version stored what a drive reported as
    // 0 KB/s): skipped, and the entries after it still count.
    if (speed != 0) table.speeds[table.speedCount++] = speed;
    const size_t comma = text.find(',', at);
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
}

}  // namespace drive
