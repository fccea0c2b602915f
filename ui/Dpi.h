// The scale of the monitor a window is on. The program's pixel sizes are
// given as at 96 DPI (100 %) and scaled from there. Entry points newer than
// Windows 7 are looked up at run time, each with a fallback.
#pragma once

#include <windows.h>

namespace ui {

constexpr int kDefaultDpi = 96;

// Windows 10 from 1703 asks a window its size at a new DPI before it
// suggests a place (wParam: the DPI; lParam: a SIZE to fill; TRUE: filled).
constexpr UINT kWmGetDpiScaledSize = 0x02E4;

// `pixels` at 96 DPI, at `dpi`, to the nearest pixel.
inline int ScaleToDpi(int pixels, int dpi) { return ::MulDiv(pixels, dpi, kDefaultDpi); }

// The DPI of the monitor `window` is on (Windows 10 from 1607); before that,
// the system's, at which Windows made the window's dialog font.
int WindowDpi(HWND window);

// A system metric (SM_CXICON, ...) as at `dpi`.
int SystemMetricForDpi(int index, int dpi);

// The size of `window` with a client area of `client` at `dpi`; false
// before Windows 10 (1607), which cannot tell it for another DPI.
bool WindowSizeForClient(HWND window, SIZE client, int dpi, SIZE* size);

// Icon resource `id` at `size` pixels square, the image of that size when
// the resource holds one; the caller destroys it.
HICON LoadIconAtSize(UINT id, int size);

// Windows 10 from 1703 would lay a dialog out anew itself when its DPI
// changes; the program does that (DpiLayout), the same on every Windows.
void LeaveDpiChangesToProgram(HWND dialog);

}  // namespace ui
