#include "ui/Dpi.h"

#include "framework/Application.h"

namespace ui {

namespace {

// An entry point of user32.dll, or null on a Windows without it.
template <class Function>
Function User32Function(const char* name) {
  HMODULE user32 = ::GetModuleHandleA("user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

int SystemDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace

int WindowDpi(HWND window) {
  using Function = UINT(WINAPI*)(HWND);
  static const Function getDpiForWindow = User32Function<Function>("GetDpiForWindow");
  const UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  using Function = int(WINAPI*)(int, UINT);
  static const Function getSystemMetricsForDpi = User32Function<Function>("GetSystemMetricsForDpi");
  if (getSystemMetricsForDpi != nullptr) return getSystemMetricsForDpi(index, dpi);
  return ::MulDiv(::GetSystemMetrics(index), dpi, SystemDpi());
}

bool WindowSizeForClient(HWND window, SIZE client, int dpi, SIZE* size) {
  using Function = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const Function adjust = User32Function<Function>("AdjustWindowRectExForDpi");
  RECT rect = {0, 0, client.cx, client.cy};
  if (adjust == nullptr ||
      !adjust(&rect, static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE)), FALSE,
              static_cast<DWORD>(::GetWindowLongA(window, GWL_EXSTYLE)), static_cast<UINT>(dpi)))
    return false;
  *size = {rect.right - rect.left, rect.bottom - rect.top};
  return true;
}

HICON LoadIconAtSize(UINT id, int size) {
  return static_cast<HICON>(::LoadImageA(fw::AfxGetResourceHandle(), MAKEINTRESOURCEA(id),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

void LeaveDpiChangesToProgram(HWND dialog) {
  using Function = BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
  static const Function setBehaviour = User32Function<Function>("SetDialogDpiChangeBehavior");
  if (setBehaviour != nullptr) setBehaviour(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

}  // namespace ui
