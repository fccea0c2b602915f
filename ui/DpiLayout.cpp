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
  dialog_ = dialog;
  places_.clear();
  capturedDpi_ = dpi_ = dpi;
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
  if (font == nullptr || ::GetObjectA(font, sizeof font_, &font_) != sizeof font_)
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font_, &font_);
  RECT client;
  ::GetClientRect(dialog, &client);
  capturedClient_ = clientSize_ = {client.right, client.bottom};
  capturedUnits_ = UnitsOf(dialog);
  TakePlaces(dialog);
}

DpiLayout::Units DpiLayout::UnitsOf(HWND dialog) {
  RECT units = {0, 0, 4, 8};
  ::MapDialogRect(dialog, &units);
  return {units.right, units.bottom};
}

void DpiLayout::TakePlaces(HWND parent) {
  LeaveDpiChangesToProgram(parent);
  const Units units = UnitsOf(parent);
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    const bool isPage = HasClass(child, "#32770");
    places_.push_back({child, PlaceInParent(child), units, isPage});
    if (isPage) TakePlaces(child);
  }
}

// The dialog font at `dpi`, made as the dialog manager makes it from the
// template's point size, and its units: the average width of the alphabet
// and the font's height.
bool DpiLayout::MakeFont(int dpi, fw::CFont& font, Units& units) const {
  LOGFONTA description = font_;
  description.lfHeight = font_.lfHeight < 0
                             ? -::MulDiv(::MulDiv(-font_.lfHeight, 72, capturedDpi_), dpi, 72)
                             : ::MulDiv(font_.lfHeight, dpi, capturedDpi_);
  if (!font.CreateFontIndirect(&description)) return false;
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  HDC dc = ::GetDC(dialog_);
  HGDIOBJ before = ::SelectObject(dc, font);
  SIZE alphabet = {};
  TEXTMETRICA metrics = {};
  ::GetTextExtentPoint32A(dc, kAlphabet, sizeof kAlphabet - 1, &alphabet);
  ::GetTextMetricsA(dc, &metrics);
  ::SelectObject(dc, before);
  ::ReleaseDC(dialog_, dc);
  units = {(alphabet.cx / 26 + 1) / 2, metrics.tmHeight};
  return units.x > 0 && units.y > 0;
}

SIZE DpiLayout::ClientSize(const Units& units) const {
  return {::MulDiv(capturedClient_.cx, units.x, capturedUnits_.x),
          ::MulDiv(capturedClient_.cy, units.y, capturedUnits_.y)};
}

bool DpiLayout::Apply(int dpi) {
  fw::CFont font;
  Units units;
  if (!MakeFont(dpi, font, units)) return false;
  dpi_ = dpi;
  clientSize_ = ClientSize(units);
  for (const Place& place : places_) {
    const RECT& r = place.rect;
    const auto across = [&](LONG x) { return ::MulDiv(x, units.x, place.units.x); };
    const auto down = [&](LONG y) { return ::MulDiv(y, units.y, place.units.y); };
    ::SetWindowPos(place.window, nullptr, across(r.left), down(r.top), across(r.right - r.left),
                   down(r.bottom - r.top), SWP_NOZORDER | SWP_NOACTIVATE);
  }
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

void DpiLayout::MoveTo(int dpi, const RECT& suggested) {
  Apply(dpi);
  ::SetWindowPos(dialog_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT window, client;
  ::GetWindowRect(dialog_, &window);
  ::GetClientRect(dialog_, &client);
  if (clientSize_.cx != client.right || clientSize_.cy != client.bottom)
    ::SetWindowPos(dialog_, nullptr, 0, 0,
                   window.right - window.left + clientSize_.cx - client.right,
                   window.bottom - window.top + clientSize_.cy - client.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::RedrawWindow(dialog_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool DpiLayout::WindowSizeAt(int dpi, SIZE* size) const {
  fw::CFont font;
  Units units;
  if (!MakeFont(dpi, font, units)) return false;
  return WindowSizeForClient(dialog_, ClientSize(units), dpi, size);
}

}  // namespace ui
