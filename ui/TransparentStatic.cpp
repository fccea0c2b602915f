#include "ui/TransparentStatic.h"

#include "framework/Gdi.h"
#include "framework/Shell.h"

namespace ui {

BEGIN_MESSAGE_MAP(CTransparentStatic, fw::CStatic)
  ON_MESSAGE(WM_SETTEXT, OnSetText)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_ERASEBKGND()
  ON_WM_SETCURSOR()
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CTransparentStatic::CTransparentStatic() : m_crText(::GetSysColor(COLOR_WINDOWTEXT)) {}

// The font goes before the snapshot, then the control itself.
CTransparentStatic::~CTransparentStatic() {
  m_fontBold.DeleteObject();
  m_bmpBackground.DeleteObject();
}

// The erase restores the background before the new text is painted, and the
// repaint is done before the call returns: no trace of the old text remains.
LRESULT CTransparentStatic::OnSetText(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = Default(WM_SETTEXT, wParam, lParam);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  ::UpdateWindow(m_hWnd);
  return result;
}

HBRUSH CTransparentStatic::CtlColor(HDC dc, UINT) {
  // The brush the parent's default handling gives a static control.
  HBRUSH brush = reinterpret_cast<HBRUSH>(::DefWindowProcA(
      GetParent(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(m_hWnd)));
  if (!m_bOpaque) {
    brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    ::SetBkMode(dc, TRANSPARENT);
  }
  ::SetTextColor(dc, m_crText);
  return brush;
}

void CTransparentStatic::TakeBackgroundSnapshot() {
  RECT rect;
  GetWindowRect(&rect);
  HWND parent = GetParent();
  ::ScreenToClient(parent, reinterpret_cast<POINT*>(&rect.left));
  ::ScreenToClient(parent, reinterpret_cast<POINT*>(&rect.right));
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;

  fw::CWindowDC parentDc(parent);
  fw::CMemoryDC memory(parentDc);
  if (!m_bmpBackground.CreateCompatibleBitmap(parentDc, width, height)) return;
  HGDIOBJ previous = ::SelectObject(memory, m_bmpBackground);
  ::BitBlt(memory, 0, 0, width, height, parentDc, rect.left, rect.top, SRCCOPY);
  ::SelectObject(memory, previous);
}

BOOL CTransparentStatic::OnEraseBkgnd(HDC dc) {
  if (m_bOpaque) return static_cast<BOOL>(Default(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
  if (m_bmpBackground.IsEmpty()) {
    // First erase: what shows through is what the parent has just painted.
    TakeBackgroundSnapshot();
    return TRUE;
  }
  RECT client;
  GetClientRect(&client);
  fw::CMemoryDC memory(dc);
  HGDIOBJ previous = ::SelectObject(memory, m_bmpBackground);
  ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  ::SelectObject(memory, previous);
  return TRUE;
}

void CTransparentStatic::SetBoldFont() {
  HFONT current = GetFont();
  if (current == nullptr) current = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTA description;
  if (::GetObjectA(current, sizeof description, &description) != sizeof description) return;
  description.lfWeight = FW_BOLD;
  if (m_fontBold.CreateFontIndirect(&description)) SetFont(m_fontBold, TRUE);
}

void CTransparentStatic::ScaleChanged() {
  if (!m_fontBold.IsEmpty()) SetBoldFont();
  m_bmpBackground.DeleteObject();
}

BOOL CTransparentStatic::OnSetCursor(HWND window, UINT hitTest, UINT message) {
  if (m_bLink) {
    ::SetCursor(m_hLinkCursor);
    return TRUE;
  }
  return static_cast<BOOL>(Default(WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                                   MAKELPARAM(hitTest, message)));
}

void CTransparentStatic::OnLButtonDown(UINT flags, POINT point) {
  if (m_bLink) fw::ShellOpen(GetWindowText().c_str());
  Default(WM_LBUTTONDOWN, flags, MAKELPARAM(point.x, point.y));
}

}  // namespace ui
