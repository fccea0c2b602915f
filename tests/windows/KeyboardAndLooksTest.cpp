// What a keyboard and an eye meet: the Tab cycle through the main window and
// the page shown, the serial number that does not fit its label, and the
// refresh button's image when it is disabled.
#include <gtest/gtest.h>

#include "MainWindow.h"
#include "ui/Drawing.h"
#include "ui/GradientColors.h"

namespace {

using windows_test::Pump;

// The control of `dialog` that holds the focus: the focused window itself or
// the child of `dialog` (or of a page in it) that contains it.
int FocusedId(HWND main) {
  HWND focus = ::GetFocus();
  while (focus != nullptr && ::GetParent(focus) != main) {
    HWND parent = ::GetParent(focus);
    // A page's own control counts by its id, as the page numbers it.
    if (parent != nullptr && ::GetParent(parent) == main &&
        (::GetWindowLongA(parent, GWL_EXSTYLE) & WS_EX_CONTROLPARENT))
      break;
    focus = parent;
  }
  return focus != nullptr ? ::GetDlgCtrlID(focus) : 0;
}

// Presses Tab as the program's message loop passes it: through the chain of
// windows that may take it before it is dispatched.
void PressTab(bool shift = false) {
  if (shift) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    ::SetKeyboardState(keys);
  }
  MSG message = {::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  if (!fw::PreTranslateChain(&message)) ::DispatchMessageA(&message);
  if (shift) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
  }
  Pump(10);
}

std::vector<int> TabCycle(MainWindow& w, size_t limit = 40) {
  ::SetForegroundWindow(w.dialog->m_hWnd);
  ::SetFocus(w.dialog->m_driveBox.m_hWnd);
  std::vector<int> ids = {FocusedId(w.dialog->m_hWnd)};
  for (size_t i = 0; i < limit; ++i) {
    PressTab();
    const int id = FocusedId(w.dialog->m_hWnd);
    ids.push_back(id);
    if (id == ids.front()) break;
  }
  return ids;
}

const char* const kMachine = R"(
[disk 0]
model = BOTH FEATURES
ata_paths = sat12
apm = 128
aam = 200
[volume C]
extents = 0
[optical E]
vendor = BAYOPT
product = DVD-RW DR-2160S
serial = DR2160S-0A1B2C3D4E5F6071829304A5B6
medium = none
)";

TEST(Keyboard, TabLeavesTheHardDrivePageForTheDriveBoxAndComesBack) {
  MainWindow w(kMachine);
  EXPECT_EQ(TabCycle(w),
            (std::vector<int>{IDC_DRIVE_BOX, IDC_MANUAL, IDC_HDD_STANDBY, IDC_HDD_APM_SLIDER,
                              IDC_HDD_APM_ALLOW_STANDBY, IDC_HDD_APM_ENABLE, IDC_HDD_APM_SET,
                              IDC_HDD_TIMER_ENABLE, IDC_HDD_TIMER_TIME, IDC_HDD_TIMER_SET,
                              IDC_HDD_AAM_SLIDER, IDC_HDD_AAM_ENABLE, IDC_HDD_AAM_SET,
                              IDC_DRIVE_BOX}));
  // And backwards from the drive box into the page's last control.
  PressTab(true);
  EXPECT_EQ(FocusedId(w.dialog->m_hWnd), IDC_HDD_AAM_SET);
}

TEST(Keyboard, TabThroughTheOpticalPageInItsOwnOrder) {
  MainWindow w(kMachine);
  w.Select(1);
  // No disc: the speed controls are off and Tab passes them by.
  EXPECT_EQ(TabCycle(w),
            (std::vector<int>{IDC_DRIVE_BOX, IDC_MANUAL, IDC_ODD_IDLE_TIME, IDC_ODD_IDLE_SET,
                              IDC_ODD_IDLE, IDC_ODD_STANDBY_TIME, IDC_ODD_STANDBY_SET,
                              IDC_ODD_STANDBY, IDC_ODD_IDLE_ENABLE, IDC_ODD_STANDBY_ENABLE,
                              IDC_DRIVE_BOX}));
}

TEST(Keyboard, EscapeOnAPageStillLeavesTheWindowOpen) {
  MainWindow w(kMachine);
  ::SetFocus(w.dialog->hardDrivePage.m_apmSet.m_hWnd);
  MSG escape = {::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
  if (!fw::PreTranslateChain(&escape)) ::DispatchMessageA(&escape);
  Pump(20);
  EXPECT_FALSE(w.dialog->EndRequested());
}

TEST(Looks, ALongSerialNumberIsWholeInTheLabelsTip) {
  MainWindow w(kMachine);
  w.Select(1);
  const std::string serial = "#DR2160S-0A1B2C3D4E5F6071829304";  // the 30 characters kept
  EXPECT_EQ(windows_test::TextOf(w.dialog->m_driveLabel.m_hWnd), serial);
  EXPECT_EQ(w.dialog->toolTip->GetToolText(&w.dialog->m_driveLabel), serial);
  w.Select(0);
  EXPECT_EQ(w.dialog->toolTip->GetToolText(&w.dialog->m_driveLabel), "#SIMDISK0");
}

TEST(Looks, TheIconButtonsDisabledImageIsFaded) {
  fw::CImageList list;
  HICON icon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                               MAKEINTRESOURCEA(IDI_REFRESH), IMAGE_ICON, 16, 16,
                                               LR_DEFAULTCOLOR));
  ASSERT_NE(icon, nullptr);
  ASSERT_TRUE(ui::CreateIconButtonImages(list, icon, 16, 18));
  ASSERT_EQ(list.GetImageCount(), 6);
  // Draw the normal (0) and the disabled (3) image and compare their pixels.
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 36, 18);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  const RECT all = {0, 0, 36, 18};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ImageList_Draw(list.GetSafeHandle(), 0, dc, 0, 0, ILD_NORMAL);
  ImageList_Draw(list.GetSafeHandle(), 3, dc, 18, 0, ILD_NORMAL);
  int coloured = 0, grey = 0, greyAsNormal = 0;
  for (int y = 0; y < 18; ++y) {
    for (int x = 0; x < 18; ++x) {
      const COLORREF normal = ::GetPixel(dc, x, y);
      const COLORREF faded = ::GetPixel(dc, x + 18, y);
      if (GetRValue(normal) != GetGValue(normal) || GetGValue(normal) != GetBValue(normal))
        ++coloured;
      if (GetRValue(faded) == GetGValue(faded) && GetGValue(faded) == GetBValue(faded)) ++grey;
      if (normal == faded) ++greyAsNormal;
    }
  }
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  EXPECT_GT(coloured, 20);           // the refresh icon is green
  EXPECT_EQ(grey, 18 * 18);          // its disabled image has no colour left
  EXPECT_LT(greyAsNormal, 18 * 18);  // and differs from the normal one
}

}  // namespace
