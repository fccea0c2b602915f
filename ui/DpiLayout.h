// DpiLayout: keeps a dialog whole when it moves to a monitor of another
// scale. It takes the places of the dialog's controls, and of the controls
// of the pages in it, as the dialog was made; at a new DPI it puts each at
// its place scaled, and gives them the dialog font at that DPI.
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
  // Lays everything out for `dpi`. Bold labels stay bold, and transparent
  // labels take their background anew. False when no font could be made
  // for `dpi` (the controls keep theirs).
  bool Apply(int dpi);
  int Dpi() const { return dpi_; }

 private:
  struct Place {
    HWND window;
    RECT rect;  // in its parent's client area, at the DPI of the capture
    bool isPage;
  };
  void TakePlaces(HWND parent);
  std::vector<Place> places_;
  LOGFONTA font_ = {};  // the dialog font as made
  int capturedDpi_ = kDefaultDpi;
  int dpi_ = kDefaultDpi;
  fw::CFont scaledFont_;
};

}  // namespace ui
