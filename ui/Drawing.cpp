#include "ui/Drawing.h"

#include "framework/Application.h"
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

void SetupIconButton(fw::CButton& button, fw::CImageList& list, UINT iconId, int listSize) {
  HICON icon = static_cast<HICON>(::LoadImageA(fw::AfxGetResourceHandle(),
                                               MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16,
                                               LR_DEFAULTCOLOR));
  if (QueryAppThemed() && list.Create(listSize, listSize, ILC_COLOR24 | ILC_MASK, 1, 1)) {
    list.Add(icon);
    BUTTON_IMAGELIST images = {};
    images.himl = list.GetSafeHandle();
    images.uAlign = BUTTON_IMAGELIST_ALIGN_CENTER;
    button.SetImageList(&images);
  } else {
    button.SetIcon(icon);
  }
}

}  // namespace ui
