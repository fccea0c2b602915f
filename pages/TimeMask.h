// The editing rules of the time field: a mask ("#" digit, "?" letter, any
// other character a literal shown as it is), the text the field must show,
// and the repair of the field's text after each change. Plain logic, so that
// the native tests check every rule; CTimeMaskEdit applies it to a window.
#pragma once

#include <cstdint>
#include <string>

namespace pages {

// The digits an "##:##:##" field shows for `seconds` (hours beyond 99 make
// more than six digits, of which the field shows the first six).
std::string TimeDigits(uint32_t seconds);
// The seconds such a field's digits name: hours, minutes and seconds at
// characters 1, 3 and 5; a part that starts with "_" reads 0, "5_" reads 5.
uint32_t DigitsSeconds(const std::string& digits);

class TimeMask {
 public:
  char promptChar = '_';
  std::string mask;
  std::string displayText;
  bool deletePressed = false;
  bool backspacePressed = false;

  void SetMask(const std::string& newMask);
  // Placeholders take the characters of `digits` in order (unchecked), then
  // the prompt character; characters beyond the placeholders are ignored.
  void SetDigits(const std::string& digits);
  // The characters at the placeholder positions, in order.
  std::string GetDigits() const;
  bool IsLiteral(int position) const;

  struct Acceptance {
    bool accepted;
    char stored;
  };
  Acceptance AcceptChar(int position, char c) const;
  int NextCaretPos(int position) const;

  // Remembers the last key pressed (Delete 2Eh, Backspace 08h).
  void KeyDown(unsigned virtualKey);

  // After the control changed its text to `text` with the caret at `caret`:
  // repairs displayText. Returns the caret position at which the control must
  // show displayText again, or -1 when nothing is to be done.
  int Update(int caret, const std::string& text);

 private:
  bool IsPlaceholder(int position) const;
  void PutBack(int position);
};

}  // namespace pages
