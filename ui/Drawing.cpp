#include "ui/Drawing.h"

#include <vsstyle.h>

#include <cstdint>

#include "framework/Application.h"
#include "ui/Dpi.h"
#include "ui/GradientColors.h"

namespace ui {

void DrawGradient(HDC dc, const RECT& rect, COLORREF start, COLORREF end, int direction) {
  const bool topToBottom = direction == kGradientTopToBottom;
  const int lines = topToBottom ? rect.bottom - rect.top : rect.right - rect.left;
  for (int i = 0; i < lines; ++i) {
    HPEN pen = ::CreatePen(PS_SOLID, 1, GradientLineColour(start, end, i, lines));
    HGDIOBJ previous = ::SelectObject(dc, pen);
    // A line leaves out its end point: it covers left .. right - 1.
    if (topToBottom) {
      ::MoveToEx(dc, rect.left, rect.top + i, nullptr);
      ::LineTo(dc, rect.right, rect.top + i);
    } else {
      ::MoveToEx(dc, rect.left + i, rect.top, nullptr);
      ::LineTo(dc, rect.left + i, rect.bottom);
    }
    ::SelectObject(dc, previous);
    ::DeleteObject(pen);
  }
}

namespace {
using IsAppThemedFunction = BOOL(WINAPI*)();
IsAppThemedFunction isAppThemed = nullptr;  // found once, kept for the process
}  // namespace

bool QueryAppThemed() {
  if (isAppThemed == nullptr) {
    HMODULE library = ::LoadLibraryA("UxTheme.dll");
    if (library == nullptr) return false;
    isAppThemed = reinterpret_cast<IsAppThemedFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library, "IsAppThemed")));
    if (isAppThemed == nullptr) {
      ::FreeLibrary(library);  // a later query tries again
      return false;
    }
  }
  return isAppThemed() != FALSE;
}

namespace {

// The icon at `iconSize` in the middle of a `cellSize` square of `key`, as
// a bitmap for an image list that takes `key` as transparent; `faded`:
// every pixel of the icon greyed.
HBITMAP IconCell(HICON icon, int iconSize, int cellSize, COLORREF key, bool faded) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = cellSize;
  info.bmiHeader.biHeight = -cellSize;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ previous = ::SelectObject(dc, bitmap);
  HBRUSH background = ::CreateSolidBrush(key);
  const RECT all = {0, 0, cellSize, cellSize};
  ::FillRect(dc, &all, background);
  ::DeleteObject(background);
  const int offset = (cellSize - iconSize) / 2;
  ::DrawIconEx(dc, offset, offset, icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);
  ::GdiFlush();
  // DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
  const Colour keyPixel = Rgb(GetBValue(key), GetGValue(key), GetRValue(key));
  auto* pixel = static_cast<uint32_t*>(bits);
  for (int i = 0; faded && i < cellSize * cellSize; ++i) {
    const uint32_t p = pixel[i] & 0xFFFFFF;
    if (p == keyPixel) continue;
    const Colour grey = DisabledColour(Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    pixel[i] = static_cast<uint32_t>(RedOf(grey)) << 16 | GreenOf(grey) << 8 | BlueOf(grey);
  }
  ::SelectObject(dc, previous);
  ::DeleteDC(dc);
  return bitmap;
}

}  // namespace

bool CreateIconButtonImages(fw::CImageList& list, HICON icon, int iconSize, int listSize) {
  constexpr int kStates = 6;  // PBS_NORMAL to PBS_STYLUSHOT, in that order
  constexpr int kDisabled = PBS_DISABLED - 1;
  const COLORREF key = RGB(255, 0, 255);
  if (!list.Create(listSize, listSize, ILC_COLOR24 | ILC_MASK, kStates, 1)) return false;
  for (int state = 0; state < kStates; ++state) {
    HBITMAP cell = IconCell(icon, iconSize, listSize, key, state == kDisabled);
    if (cell == nullptr || ImageList_AddMasked(list.GetSafeHandle(), cell, key) < 0)
      list.Add(icon);  // better the icon stretched than a hole in the states
    if (cell != nullptr) ::DeleteObject(cell);
  }
  return list.GetImageCount() == kStates;
}

void SetupIconButton(fw::CButton& button, fw::CImageList& list, UINT iconId, int listSize,
                     int dpi) {
  const int iconSize = ScaleToDpi(16, dpi);
  HICON icon = LoadIconAtSize(iconId, iconSize);
  fw::CImageList images;
  if (QueryAppThemed() &&
      CreateIconButtonImages(images, icon, iconSize, ScaleToDpi(listSize, dpi))) {
    BUTTON_IMAGELIST settings = {};
    settings.himl = images.GetSafeHandle();
    settings.uAlign = BUTTON_IMAGELIST_ALIGN_CENTER;
    button.SetImageList(&settings);
    list.Swap(images);    // the list of the scale before goes with `images`
    ::DestroyIcon(icon);  // the list holds its own copies
  } else {
    HICON before = button.SetIcon(icon);  // the button shows this handle itself
    if (before != nullptr) ::DestroyIcon(before);
  }
}

}  // namespace ui
