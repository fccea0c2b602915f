#include "pages/TimeMaskEdit.h"

namespace pages {

BEGIN_MESSAGE_MAP(CTimeMaskEdit, fw::CEdit)
  ON_WM_KEYDOWN()
  ON_CONTROL_REFLECT(EN_UPDATE, OnUpdate)
END_MESSAGE_MAP()

void CTimeMaskEdit::Show() { SetWindowText(rules_.displayText.c_str()); }

void CTimeMaskEdit::SetMask(const std::string& mask) {
  rules_.SetMask(mask);
  Show();
}

void CTimeMaskEdit::SetDigits(const std::string& digits) {
  rules_.SetDigits(digits);
  Show();
}

// No key is filtered: the control edits as usual and the update repairs it.
void CTimeMaskEdit::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  rules_.KeyDown(key);
  Default(WM_KEYDOWN, key, MAKELPARAM(repeat, flags));
}

// Sent after the control changed its text and before it is drawn.
void CTimeMaskEdit::OnUpdate() {
  int start = 0, end = 0;
  GetSel(&start, &end);
  const int caret = rules_.Update(start, GetWindowText());
  if (caret < 0) return;
  Show();
  SetSel(caret, caret);
  ScrollCaret();
}

}  // namespace pages
