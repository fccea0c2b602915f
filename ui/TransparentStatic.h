// CTransparentStatic: a text label drawn over whatever its parent painted
// beneath it, in a colour of its own, optionally bold, optionally a link that
// opens its own text.
#pragma once

#include "framework/Controls.h"
#include "framework/Gdi.h"

namespace ui {

class CTransparentStatic : public fw::CStatic {
 public:
  CTransparentStatic();
  ~CTransparentStatic() override;

  // Settings, written by the owning dialog during its initialisation.
  bool m_bLink = false;
  HCURSOR m_hLinkCursor = nullptr;  // not owned
  COLORREF m_crText;                // the window-text colour at construction
  bool m_bOpaque = false;

  // Switches to a bold variant of the label's current font.
  void SetBoldFont();
  // The label has a new size and font for another display scale: bold again
  // if it was, and its background taken anew at the next erase.
  void ScaleChanged();

  static const char* RuntimeClassName() { return "CTransparentStatic"; }

  // Exposed for tests: whether the background snapshot has been taken.
  bool HasBackgroundSnapshot() const { return !m_bmpBackground.IsEmpty(); }
  HFONT BoldFont() const { return m_fontBold; }

 protected:
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  HBRUSH CtlColor(HDC dc, UINT controlType);
  BOOL OnEraseBkgnd(HDC dc);
  BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
  void OnLButtonDown(UINT flags, POINT point);
  DECLARE_MESSAGE_MAP()

 private:
  void TakeBackgroundSnapshot();
  fw::CFont m_fontBold;
  fw::CBitmap m_bmpBackground;
};

}  // namespace ui
