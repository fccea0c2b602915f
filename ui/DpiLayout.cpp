#include "ui/DpiLayout.h"

#include <cstring>

#include "ui/TransparentStatic.h"

namespace ui {

namespace {

bool HasClass(HWND window, const char* name) {
  char className[32] = {};
  ::GetClassNameA(window, className, sizeof className);
  return std::strcmp(className, name) == 0;
}

RECT PlaceInParent(HWND window) {
  RECT rect;
  ::GetWindowRect(window, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  // A combo box's window is as tall as its open list; its rectangle is
  // only the closed box.
  RECT open;
  if ((HasClass(window, "ComboBox") || HasClass(window, "ComboBoxEx32")) &&
      ::SendMessageA(window, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&open)))
    rect.bottom = rect.top + (open.bottom - open.top);
  return rect;
}

}  // namespace

void DpiLayout::Capture(HWND dialog, int dpi) {
  places_.clear();
  capturedDpi_ = dpi_ = dpi;
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
  if (font == nullptr || ::GetObjectA(font, sizeof font_, &font_) != sizeof font_)
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font_, &font_);
  TakePlaces(dialog);
}

void DpiLayout::TakePlaces(HWND parent) {
  LeaveDpiChangesToProgram(parent);
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    const bool isPage = HasClass(child, "#32770");
    places_.push_back({child, PlaceInParent(child), isPage});
    if (isPage) TakePlaces(child);
  }
}

bool DpiLayout::Apply(int dpi) {
  dpi_ = dpi;
  const auto scale = [&](LONG value) { return ::MulDiv(value, dpi, capturedDpi_); };
  for (const Place& place : places_) {
    const RECT& r = place.rect;
    ::SetWindowPos(place.window, nullptr, scale(r.left), scale(r.top), scale(r.right - r.left),
                   scale(r.bottom - r.top), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  LOGFONTA description = font_;
  description.lfHeight = scale(font_.lfHeight);
  fw::CFont font;
  if (!font.CreateFontIndirect(&description)) return false;
  // Not to the pages: a dialog deletes the font it was last given.
  for (const Place& place : places_) {
    if (place.isPage) continue;
    ::SendMessageA(place.window, WM_SETFONT, reinterpret_cast<WPARAM>(HFONT(font)), FALSE);
    auto* label = dynamic_cast<CTransparentStatic*>(fw::CWnd::FromHandle(place.window));
    if (label != nullptr) label->ScaleChanged();
  }
  scaledFont_.Swap(font);  // the font of the scale before goes with `font`
  return true;
}

}  // namespace ui
