// The time field's editing rules, driven as the edit control drives them:
// the control inserts or deletes one character, then the update repairs it.
#include <gtest/gtest.h>

#include "pages/TimeMask.h"

namespace {

using pages::TimeMask;

constexpr unsigned kBack = 0x08, kDelete = 0x2E, kDigitKey = '0';

struct Field {
  TimeMask rules;
  std::string text;  // what the control shows
  int caret = 0;

  explicit Field(const std::string& digits) {
    rules.SetMask("##:##:##");
    rules.SetDigits(digits);
    text = rules.displayText;
  }
  void Repair() {
    const int next = rules.Update(caret, text);
    if (next < 0) return;
    text = rules.displayText;
    caret = next;
  }
  void Type(char c) {
    rules.KeyDown(static_cast<unsigned>(std::toupper(static_cast<unsigned char>(c))));
    text.insert(static_cast<size_t>(caret), 1, c);  // the edit control inserts
    ++caret;
    Repair();
  }
  void Backspace() {
    rules.KeyDown(kBack);
    if (caret == 0) return;  // nothing to remove: the control does not change
    text.erase(static_cast<size_t>(--caret), 1);
    Repair();
  }
  void Delete() {
    rules.KeyDown(kDelete);
    if (caret >= static_cast<int>(text.size())) return;
    text.erase(static_cast<size_t>(caret), 1);
    Repair();
  }
};

TEST(TimeMask, MaskAndDigits) {
  TimeMask rules;
  rules.SetMask("##:##:##");
  EXPECT_EQ(rules.displayText, "__:__:__");
  EXPECT_EQ(rules.GetDigits(), "______");

  struct Case {
    const char* digits;
    const char* shown;
  };
  const Case cases[] = {{"013000", "01:30:00"}, {"0130", "01:30:__"}, {"1234567", "12:34:56"},
                        {"", "__:__:__"},       {"ab:cd", "ab::c:d_"}};
  for (const Case& c : cases) {
    rules.SetDigits(c.digits);
    EXPECT_EQ(rules.displayText, c.shown) << c.digits;
  }
  rules.SetDigits("0130");
  EXPECT_EQ(rules.GetDigits(), "0130__");
}

TEST(TimeMask, LiteralsAndAcceptance) {
  TimeMask rules;
  rules.SetMask("#?:#");
  EXPECT_FALSE(rules.IsLiteral(0));
  EXPECT_FALSE(rules.IsLiteral(1));
  EXPECT_TRUE(rules.IsLiteral(2));
  EXPECT_FALSE(rules.AcceptChar(0, 'a').accepted);
  EXPECT_TRUE(rules.AcceptChar(0, '7').accepted);
  EXPECT_TRUE(rules.AcceptChar(1, 'x').accepted);
  EXPECT_FALSE(rules.AcceptChar(1, '5').accepted);
  const TimeMask::Acceptance literal = rules.AcceptChar(2, '9');
  EXPECT_TRUE(literal.accepted);
  EXPECT_EQ(literal.stored, ':');
  EXPECT_FALSE(rules.AcceptChar(4, '1').accepted);
  EXPECT_FALSE(rules.AcceptChar(40, '1').accepted);
}

TEST(TimeMask, TypingOverwritesAndHopsOverLiterals) {
  Field field("013000");
  field.caret = 0;
  field.Type('2');
  EXPECT_EQ(field.text, "21:30:00");
  EXPECT_EQ(field.caret, 1);
  field.Type('5');
  EXPECT_EQ(field.text, "25:30:00");
  EXPECT_EQ(field.caret, 3);
  field.Type('4');
  EXPECT_EQ(field.text, "25:40:00");
  EXPECT_EQ(field.caret, 4);
}

TEST(TimeMask, CharacterAtALiteralIsUsedUp) {
  Field field("013000");
  field.caret = 2;
  field.Type('7');
  EXPECT_EQ(field.text, "01:30:00");
  EXPECT_EQ(field.caret, 3);
}

TEST(TimeMask, RefusedCharacterVanishes) {
  Field field("013000");
  field.caret = 0;
  field.Type('a');
  EXPECT_EQ(field.text, "01:30:00");
  EXPECT_EQ(field.caret, 1);
}

TEST(TimeMask, BackspacePutsBackThePromptAndHopsLeft) {
  Field field("013000");
  field.caret = 3;
  field.Backspace();  // removes the ":" itself: it is put back
  EXPECT_EQ(field.text, "01:30:00");
  EXPECT_EQ(field.caret, 2);
  field.Backspace();
  EXPECT_EQ(field.text, "0_:30:00");
  EXPECT_EQ(field.caret, 1);
  field.Backspace();
  EXPECT_EQ(field.text, "__:30:00");
  EXPECT_EQ(field.caret, 0);
}

TEST(TimeMask, DeletePutsBackThePromptAndMovesRight) {
  Field field("013000");
  field.caret = 0;
  field.Delete();
  EXPECT_EQ(field.text, "_1:30:00");
  EXPECT_EQ(field.caret, 1);
  field.caret = 2;
  field.Delete();  // the ":" again
  EXPECT_EQ(field.text, "_1:30:00");
  EXPECT_EQ(field.caret, 3);
}

TEST(TimeMask, NothingChangesAtTheEnd) {
  Field field("013000");
  field.caret = 8;
  field.Type('9');
  EXPECT_EQ(field.text, "01:30:00");
  EXPECT_EQ(field.caret, 8);
}

TEST(TimeMask, TypingAMinuteIntoAnEmptyField) {
  Field field("");
  field.caret = 0;
  for (char c : std::string("0001")) field.Type(c);
  EXPECT_EQ(field.text, "00:01:__");
  EXPECT_EQ(field.rules.GetDigits(), "0001__");
}

TEST(TimeMask, OwnShowEndsTheNotification) {
  TimeMask rules;
  rules.SetMask("##:##:##");
  rules.KeyDown(kDigitKey);
  EXPECT_EQ(rules.Update(3, "__:__:__"), -1);
  EXPECT_EQ(rules.Update(0, "5__:__:__"), -1);  // a change with the caret at 0 is left alone
}

TEST(TimeMask, NextCaretPosition) {
  TimeMask rules;
  rules.SetMask("##:##:##");
  const int right[] = {0, 1, 3, 3, 4, 6, 6, 7, 8, 8};
  for (int p = 0; p <= 9; ++p) EXPECT_EQ(rules.NextCaretPos(p), right[p]) << p;
  rules.KeyDown(kBack);
  const int left[] = {0, 1, 2, 2, 4, 5, 5, 7, 8};
  for (int p = 0; p <= 8; ++p) EXPECT_EQ(rules.NextCaretPos(p), left[p]) << p;
}

}  // namespace
