// DpiLayout: keeps a dialog whole when it moves to a monitor of another
// scale. It takes the places of the dialog's controls, and of the controls
// of the pages in it, as the dialog manager made them from the templates'
// dialog units; at a new DPI it makes the dialog font for that DPI and
// scales every place by the font's units against those it was made with,
// as the dialog manager would have made the dialog there.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Gdi.h"
#include "ui/Dpi.h"

namespace ui {

class DpiLayout {
 public:
  // Takes the places in `dialog` and in the child dialogs in it, made at `dpi`.
  void Capture(HWND dialog, int dpi);
  // Lays everything out for `dpi`: places, the dialog font (bold labels
  // stay bold, transparent labels take their background anew). False when
  // no font could be made for `dpi`; nothing is changed then.
  bool Apply(int dpi);
  // WM_DPICHANGED: lays out for `dpi`, takes the `suggested` place, and
  // redraws. The client area is fitted to the layout where Windows did not
  // ask for its size first (WM_GETDPISCALEDSIZE, from Windows 10 1703).
  void MoveTo(int dpi, const RECT& suggested);
  // WM_GETDPISCALEDSIZE: the window's size at `dpi`; false leaves it to
  // Windows.
  bool WindowSizeAt(int dpi, SIZE* size) const;
  int Dpi() const { return dpi_; }

 private:
  struct Units {  // pixels per 4 dialog units across, per 8 down
    int x, y;
  };
  struct Place {
    HWND window;
    RECT rect;    // in its parent's client area, as made
    Units units;  // of its parent, as made
    bool isPage;
  };
  static Units UnitsOf(HWND dialog);
  void TakePlaces(HWND parent);
  bool MakeFont(int dpi, fw::CFont& font, Units& units) const;
  SIZE ClientSize(const Units& units) const;
  HWND dialog_ = nullptr;
  std::vector<Place> places_;
  Units capturedUnits_ = {4, 8};
  SIZE capturedClient_ = {};  // the dialog's client area as made
  SIZE clientSize_ = {};      // and as last laid out
  LOGFONTA font_ = {};        // the dialog font as made
  int capturedDpi_ = kDefaultDpi;
  int dpi_ = kDefaultDpi;
  fw::CFont scaledFont_;
};

}  // namespace ui
