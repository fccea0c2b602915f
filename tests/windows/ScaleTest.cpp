// The windows at the scale of the run, the Wine prefix's LogPixels (named by
// TORVANE_DPI; scripts/wine-at-dpi.sh runs this at 96, 120, 144 and 192), as
// a user sees them: every text whole in its control, in the control's own
// font; no control over another or outside its window; every icon at the
// scale's size, unstretched. Then again once the windows have moved to a
// monitor of the next scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "MainWindow.h"
#include "app/AboutDlg.h"
#include "ui/Dpi.h"
#include "ui/GradientColors.h"

namespace {

using ui::ScaleToDpi;
using windows_test::ClassOf;
using windows_test::TextOf;

int controls = 0, texts = 0;

std::string Name(HWND c) { return std::to_string(::GetDlgCtrlID(c)) + " \"" + TextOf(c) + "\""; }

// Beside its text a check box draws its box and half a character's gap, a
// push button its edges.
void ExpectTextFits(HWND c, int dpi) {
  const LONG style = ::GetWindowLongA(c, GWL_STYLE), type = style & BS_TYPEMASK;
  const bool label = ClassOf(c) == "Static" && (style & SS_TYPEMASK) <= SS_RIGHT;
  if (TextOf(c).empty() || !(label || (ClassOf(c) == "Button" && type != BS_GROUPBOX))) return;
  HDC dc = ::GetDC(c);
  HGDIOBJ before = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(c, WM_GETFONT, 0, 0)));
  SIZE text;
  TEXTMETRICA font;
  ::GetTextExtentPoint32A(dc, TextOf(c).c_str(), static_cast<int>(TextOf(c).size()), &text);
  ::GetTextMetricsA(dc, &font);
  ::SelectObject(dc, before);
  ::ReleaseDC(c, dc);
  RECT room;
  ::GetClientRect(c, &room);
  room.right -= label                     ? 0
                : type == BS_AUTOCHECKBOX ? ScaleToDpi(13, dpi) + font.tmAveCharWidth / 2
                                          : 2 * ScaleToDpi(3, dpi);
  EXPECT_TRUE(text.cx <= room.right && text.cy <= room.bottom)
      << Name(c) << " at " << dpi << " DPI: " << text.cx << " x " << text.cy << " in " << room.right
      << " x " << room.bottom;
  ++texts;
}

// Group boxes frame controls, and an up-down control may lie on the edge of
// its field. `drawn`: a square the window paints itself.
void ExpectWhole(HWND dialog, int dpi, RECT drawn = {}) {
  RECT area, inside, both;
  ::GetClientRect(dialog, &area);
  std::vector<std::pair<HWND, RECT>> placed = {{dialog, drawn}};
  for (HWND c = ::GetWindow(dialog, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(c)) continue;
    const RECT place = windows_test::RectInParent(c);
    ::IntersectRect(&inside, &place, &area);
    EXPECT_TRUE(::EqualRect(&inside, &place)) << Name(c) << " reaches out at " << dpi << " DPI";
    const bool frame =
        ClassOf(c) == "Button" && (::GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
    for (const auto& [other, at] : placed)
      if (!frame && ::IntersectRect(&both, &place, &at) &&
          !(ClassOf(c) == "msctls_updown32" && ClassOf(other) == "Edit"))
        ADD_FAILURE() << Name(c) << " lies over " << (other == dialog ? "the icon" : Name(other))
                      << " at " << dpi << " DPI";
    if (!frame) placed.push_back({c, place});
    ++controls;
    if (ClassOf(c) == "#32770") ExpectWhole(c, dpi);
    ExpectTextFits(c, dpi);
  }
}

// 0x00RRGGBB, rows top-down.
std::vector<uint32_t> Pixels(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> pixels(width * height);
  HDC screen = ::GetDC(nullptr);
  ::GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

// Icon `id` shows in `area` (default: all) of `window` pixel for pixel as
// its image of `size` pixels, where that is opaque: not another stretched.
void ExpectIcon(HWND window, UINT id, int size, int dpi, RECT area = {}) {
  if (::IsRectEmpty(&area)) ::GetClientRect(window, &area);
  HICON icon = ui::LoadIconAtSize(id, size);
  ICONINFO image = {};
  ASSERT_TRUE(::GetIconInfo(icon, &image));
  const std::vector<uint32_t> colour = Pixels(image.hbmColor, size, size);
  const std::vector<uint32_t> mask = Pixels(image.hbmMask, size, size);
  for (HBITMAP b : {image.hbmColor, image.hbmMask}) ::DeleteObject(b);
  ::DestroyIcon(icon);
  const int width = area.right - area.left, height = area.bottom - area.top;
  HDC dc = ::GetDC(window), memory = ::CreateCompatibleDC(dc);
  HBITMAP shot = ::CreateCompatibleBitmap(dc, width, height);
  HGDIOBJ before = ::SelectObject(memory, shot);
  ::BitBlt(memory, 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
  ::SelectObject(memory, before);
  ::DeleteDC(memory);
  ::ReleaseDC(window, dc);
  const std::vector<uint32_t> shown = Pixels(shot, width, height);
  ::DeleteObject(shot);
  const bool alpha = std::any_of(colour.begin(), colour.end(), [](uint32_t p) { return p >> 24; });
  bool found = false;
  for (int y = 0; y + size <= height && !found; ++y)
    for (int x = 0; x + size <= width && !found; ++x) {
      found = true;
      for (int i = 0; i < size * size && found; ++i)
        if ((mask[i] & 0xFFFFFF) == 0 && (!alpha || colour[i] >> 24 == 255))
          found = ((shown[(y + i / size) * width + x + i % size] ^ colour[i]) & 0xFFFFFF) == 0;
    }
  EXPECT_TRUE(found) << "icon " << id << " at " << size << " px in " << Name(window) << ", " << dpi;
}

void ExpectMainWindow(app::CMainDlg& main, int dpi) {
  ::SetFocus(nullptr);  // no focus frame over an icon, no drive box entry highlighted
  windows_test::Pump(50);
  ExpectWhole(main, dpi);
  const bool optical = main.opticalDrivePage.IsWindowVisible();
  ExpectIcon(main.m_driveBox, optical ? IDI_OPTICALDRIVE : IDI_HARDDRIVE, ScaleToDpi(16, dpi), dpi);
  ExpectIcon(main.m_manualButton, IDI_MANUAL, ScaleToDpi(16, dpi), dpi);
  if (optical) ExpectIcon(main.opticalDrivePage.m_refresh, IDI_REFRESH, ScaleToDpi(16, dpi), dpi);
  const int band = ScaleToDpi(6, dpi);  // the top band's last line, then the body's first
  EXPECT_EQ(windows_test::PixelAt(main, 1, band - 1),
            ui::GradientLineColour(RGB(255, 255, 255), RGB(224, 224, 232), band - 1, band));
  EXPECT_EQ(windows_test::PixelAt(main, 1, band), RGB(208, 208, 216));
}

void ExpectAboutBox(app::CAboutDlg& about, int dpi) {
  const RECT at = windows_test::RectInParent(about.m_iconPlaceholder);
  const int size = ScaleToDpi(48, dpi);
  ExpectWhole(about, dpi, {at.left, at.top, at.left + size, at.top + size});
  ExpectIcon(about, IDI_MAINFRAME, size, dpi, {at.left, at.top, at.left + size, at.top + size});
}

// As Windows moves a window to a monitor of `dpi`: it asks the window's size
// there, then suggests a place of that size. (Wine's frame keeps its size,
// which the window makes up for.)
void MoveToScale(HWND window, int dpi) {
  RECT frame;
  ::GetWindowRect(window, &frame);
  SIZE size = {};
  ASSERT_TRUE(
      ::SendMessageA(window, ui::kWmGetDpiScaledSize, dpi, reinterpret_cast<LPARAM>(&size)));
  RECT place = {frame.left + 7, frame.top + 5, frame.left + 7 + size.cx, frame.top + 5 + size.cy};
  ::SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
  windows_test::Pump(100);
  ::GetWindowRect(window, &frame);
  EXPECT_TRUE(frame.left == place.left && frame.top == place.top) << "the suggested place";
}

TEST(Scale, EveryControlWholeAndEveryIconUnstretched) {
  const int dpi = std::atoi(std::getenv("TORVANE_DPI") ? std::getenv("TORVANE_DPI") : "0");
  ASSERT_EQ(ui::WindowDpi(nullptr), dpi) << "TORVANE_DPI names the prefix's LogPixels";
  const int next = dpi == 96 ? 120 : dpi == 120 ? 144 : dpi == 144 ? 192 : 96;
  windows_test::FreshSettings("TorvaneWindowTests");
  MainWindow w(
      "[disk 0]\nmodel = TV500GB0001\nserial = 9TV1ABCD\nata_paths = sat12\napm = 254\n"
      "aam = 128\n[volume C]\nextents = 0\n[optical E]\nvendor = ACMEOPT\n"
      "product = DVD-RW DX-16A\nserial = E0123\nmedium = cd-rom\n");
  app::CAboutDlg about;
  ASSERT_TRUE(about.Create(IDD_ABOUTBOX, nullptr));
  ::SetWindowPos(about, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  for (int scale : {dpi, next}) {
    if (scale == next) {
      MoveToScale(about, next);
      MoveToScale(*w.dialog, next);
    }
    controls = texts = 0;
    ExpectAboutBox(about, scale);
    ExpectMainWindow(*w.dialog, scale);
    w.Select(w.dialog->hardDrivePage.IsWindowVisible() ? 1 : 0);
    for (int i = 0; i < 100 && !w.dialog->opticalDrivePage.m_refresh.IsWindowEnabled(); ++i)
      windows_test::Pump(50);  // the speeds learned
    ExpectMainWindow(*w.dialog, scale);
    std::printf("scale check at %d DPI%s: %d controls, %d of them with text\n", scale,
                scale == dpi ? "" : " (moved there)", controls, texts);
  }
}

}  // namespace
