// CWnd: a window object bound to a window handle. It receives the window's
// messages through its message map; what the map does not handle goes to the
// window's own procedure (its class's, or the dialog manager's).
#pragma once

#include <windows.h>

#include <string>

#include "framework/MessageMap.h"

namespace fw {

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  operator HWND() const { return m_hWnd; }

  // The CWnd bound to a handle, or null.
  static CWnd* FromHandle(HWND window);

  // Takes over the control `id` of `parent`: its messages pass this object's
  // message map first. False when there is no such control.
  bool SubclassDlgItem(UINT id, CWnd* parent);
  bool SubclassWindow(HWND window);
  void UnsubclassWindow();

  // Gives each window in the chain from the target up a chance to take a
  // message before it is dispatched. True: the message was handled.
  virtual bool PreTranslateMessage(MSG* message);

  // Thin wrappers over the platform calls.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  // Queues the message and returns at once; false when it could not be queued.
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
  }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
  std::string GetWindowText() const;
  BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
  void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
  void ScreenToClient(RECT* rect) const;
  HWND GetParent() const { return ::GetParent(m_hWnd); }
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
  HICON SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                                               reinterpret_cast<LPARAM>(icon)));
  }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
  void SetFont(HFONT font, BOOL redraw = TRUE) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  }
  BOOL DestroyWindow();

 protected:
  virtual const MessageMap* GetMessageMap() const;
  // Handles one message: the map first, then the default.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The window's own procedure (before this object took it over).
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

  // Binds this object to `window` without changing its procedure.
  void Attach(HWND window);
  void Detach();
  friend LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
  friend class CDialog;

 private:
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  WNDPROC previousProc_ = nullptr;
};

}  // namespace fw
