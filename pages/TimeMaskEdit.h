// CTimeMaskEdit: an edit control that keeps the pattern of its mask ("##:##:##"
// for h:m:s) and lets the user overwrite only the digit positions.
#pragma once

#include <string>

#include "framework/Controls.h"
#include "pages/TimeMask.h"

namespace pages {

class CTimeMaskEdit : public fw::CEdit {
 public:
  void SetMask(const std::string& mask);
  void SetDigits(const std::string& digits);
  std::string GetDigits() const { return rules_.GetDigits(); }
  const TimeMask& Rules() const { return rules_; }

 protected:
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnUpdate();
  DECLARE_MESSAGE_MAP()

 private:
  void Show();
  TimeMask rules_;
};

}  // namespace pages
