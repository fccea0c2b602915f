#include "pages/TimeMask.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace pages {

std::string TimeDigits(uint32_t seconds) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%02u%02u%02u", seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  return digits;
}

uint32_t DigitsSeconds(const std::string& digits) {
  const auto part = [&digits](size_t at) {
    return at < digits.size() ? static_cast<uint32_t>(std::atoi(digits.substr(at, 2).c_str())) : 0;
  };
  return part(0) * 3600 + part(2) * 60 + part(4);
}

namespace {
constexpr unsigned kVirtualKeyBack = 0x08;
constexpr unsigned kVirtualKeyDelete = 0x2E;
}  // namespace

bool TimeMask::IsPlaceholder(int position) const {
  return position >= 0 && position < static_cast<int>(mask.size()) &&
         (mask[position] == '#' || mask[position] == '?');
}

bool TimeMask::IsLiteral(int position) const {
  return position >= 0 && position < static_cast<int>(mask.size()) && !IsPlaceholder(position);
}

void TimeMask::SetMask(const std::string& newMask) {
  mask = newMask;
  displayText = mask;
  for (size_t i = 0; i < mask.size(); ++i)
    if (IsPlaceholder(static_cast<int>(i))) displayText[i] = promptChar;
}

void TimeMask::SetDigits(const std::string& digits) {
  displayText = mask;
  size_t next = 0;
  for (size_t i = 0; i < mask.size(); ++i) {
    if (!IsPlaceholder(static_cast<int>(i))) continue;
    displayText[i] = next < digits.size() ? digits[next++] : promptChar;
  }
}

std::string TimeMask::GetDigits() const {
  std::string digits;
  for (size_t i = 0; i < mask.size() && i < displayText.size(); ++i)
    if (IsPlaceholder(static_cast<int>(i))) digits += displayText[i];
  return digits;
}

TimeMask::Acceptance TimeMask::AcceptChar(int position, char c) const {
  if (position < 0 || position >= static_cast<int>(mask.size())) return {false, c};
  const unsigned char u = static_cast<unsigned char>(c);
  if (mask[position] == '#') return {std::isdigit(u) != 0, c};
  if (mask[position] == '?') return {std::isalpha(u) != 0, c};
  return {true, mask[position]};  // a literal uses the character up
}

int TimeMask::NextCaretPos(int position) const {
  if (backspacePressed) {
    for (int q = position - 1; q >= 0; --q)
      if (IsPlaceholder(q)) return q + 1;
    return 0;
  }
  const int length = static_cast<int>(mask.size());
  for (int p = position < 0 ? 0 : position; p < length; ++p)
    if (IsPlaceholder(p)) return p;
  return length;
}

void TimeMask::KeyDown(unsigned virtualKey) {
  deletePressed = virtualKey == kVirtualKeyDelete;
  backspacePressed = virtualKey == kVirtualKeyBack;
}

void TimeMask::PutBack(int position) {
  if (position < 0 || position >= static_cast<int>(displayText.size())) return;
  displayText[position] = IsLiteral(position) ? mask[position] : promptChar;
}

int TimeMask::Update(int caret, const std::string& text) {
  if (text == displayText) return -1;  // also ends the notification of our own "show"
  if (backspacePressed) {
    PutBack(caret);
    return NextCaretPos(caret);
  }
  if (deletePressed) {
    PutBack(caret);
    return NextCaretPos(caret + 1);
  }
  if (caret <= 0) return -1;
  const int typed = caret - 1;
  if (typed < static_cast<int>(text.size())) {
    const Acceptance a = AcceptChar(typed, text[typed]);
    if (a.accepted && typed < static_cast<int>(displayText.size())) displayText[typed] = a.stored;
  }
  return NextCaretPos(caret);
}

}  // namespace pages
