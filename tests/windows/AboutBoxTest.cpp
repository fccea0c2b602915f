// The About box, its labels and its drawing, as a user sees them.
#include <gtest/gtest.h>

#include "WindowSupport.h"
#include "app/AboutDlg.h"
#include "res/resource.h"
#include "ui/Drawing.h"
#include "ui/GradientColors.h"

namespace {

using windows_test::PixelAt;
using windows_test::RectInParent;
using windows_test::TextOf;

class AboutBox : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX, nullptr));
    ::SetWindowPos(about.m_hWnd, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::UpdateWindow(about.m_hWnd);
    windows_test::Pump(100);
  }
  void TearDown() override { about.DestroyWindow(); }

  // The gradient colour of client line y.
  COLORREF Background(int y) {
    RECT client;
    about.GetClientRect(&client);
    return ui::GradientLineColour(RGB(240, 240, 240), RGB(255, 255, 255), y, client.bottom);
  }

  windows_test::Recorder recorder;
  app::CAboutDlg about;
};

TEST_F(AboutBox, ShowsItsLinesOverTheGradient) {
  EXPECT_EQ(TextOf(about.m_hWnd), "About Torvane");
  EXPECT_EQ(TextOf(about.m_productLine.m_hWnd), "Torvane");
  EXPECT_EQ(TextOf(about.m_versionLine.m_hWnd), "Version 1.10");
  EXPECT_FALSE(TextOf(about.m_noticeLine.m_hWnd).empty());
  EXPECT_EQ(TextOf(about.m_webAddressLine.m_hWnd).rfind("https://", 0), 0u);
  EXPECT_FALSE(::IsWindowVisible(about.m_iconPlaceholder.m_hWnd));

  // Left margin and bottom line: the gradient, exactly.
  RECT client;
  about.GetClientRect(&client);
  for (int y : {0, 1, 40, static_cast<int>(client.bottom) - 1})
    EXPECT_EQ(PixelAt(about.m_hWnd, 2, y), Background(y)) << "line " << y;
  windows_test::SaveScreenshot(about.m_hWnd, "about-box");
}

TEST_F(AboutBox, ProductLineIsBoldOfTheSameFace) {
  LOGFONTA dialogFont, bold;
  ASSERT_TRUE(::GetObjectA(reinterpret_cast<HFONT>(about.SendMessage(WM_GETFONT)), sizeof dialogFont,
                           &dialogFont));
  ASSERT_TRUE(::GetObjectA(about.m_productLine.GetFont(), sizeof bold, &bold));
  EXPECT_EQ(bold.lfWeight, FW_BOLD);
  EXPECT_EQ(bold.lfHeight, dialogFont.lfHeight);
  EXPECT_STREQ(bold.lfFaceName, dialogFont.lfFaceName);
  LOGFONTA version;
  ::GetObjectA(about.m_versionLine.GetFont(), sizeof version, &version);
  EXPECT_NE(version.lfWeight, FW_BOLD);
}

TEST_F(AboutBox, IconSitsAtThePlaceholder) {
  const RECT placeholder = RectInParent(about.m_iconPlaceholder.m_hWnd);
  RECT expected = {25, 34, 0, 0};
  ::MapDialogRect(about.m_hWnd, &expected);
  EXPECT_EQ(placeholder.left, expected.left);
  EXPECT_EQ(placeholder.top, expected.top);
  // Somewhere in the 48 x 48 square the icon covers the gradient.
  int iconPixels = 0;
  for (int y = 0; y < 48; y += 3)
    for (int x = 0; x < 48; x += 3)
      if (PixelAt(about.m_hWnd, placeholder.left + x, placeholder.top + y) !=
          Background(placeholder.top + y))
        ++iconPixels;
  EXPECT_GT(iconPixels, 20);
  // Nothing drawn left of it.
  EXPECT_EQ(PixelAt(about.m_hWnd, placeholder.left - 2, placeholder.top + 10),
            Background(placeholder.top + 10));
}

TEST_F(AboutBox, WebAddressIsABlueLinkThatOpensItself) {
  const RECT link = RectInParent(about.m_webAddressLine.m_hWnd);
  bool blue = false;
  for (int y = link.top; y < link.bottom && !blue; ++y)
    for (int x = link.left; x < link.right && !blue; ++x)
      blue = PixelAt(about.m_hWnd, x, y) == RGB(0, 0, 255);
  EXPECT_TRUE(blue);

  HCURSOR hand = ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINKHAND));
  ASSERT_NE(hand, nullptr);
  about.m_webAddressLine.SendMessage(WM_SETCURSOR,
                                     reinterpret_cast<WPARAM>(about.m_webAddressLine.m_hWnd),
                                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), hand);
  about.m_versionLine.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(about.m_versionLine.m_hWnd),
                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(::GetCursor(), hand);

  about.m_versionLine.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_TRUE(recorder.opened.empty());
  about.m_webAddressLine.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ASSERT_EQ(recorder.opened.size(), 1u);
  EXPECT_EQ(recorder.opened[0], TextOf(about.m_webAddressLine.m_hWnd));
  EXPECT_TRUE(::IsWindow(about.m_hWnd));  // the box stays open
}

TEST_F(AboutBox, TransparentLabelRestoresTheGradientUnderNewText) {
  ui::CTransparentStatic& label = about.m_noticeLine;
  label.SetWindowText("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
  windows_test::Pump(50);
  const RECT rect = RectInParent(label.m_hWnd);
  int textPixels = 0;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x)
      if (PixelAt(about.m_hWnd, x, y) != Background(y)) ++textPixels;
  ASSERT_GT(textPixels, 50);  // the W's are on screen

  label.SetWindowText("i");  // the repaint is done when the call returns
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left + 12; x < rect.right; ++x)
      ASSERT_EQ(PixelAt(about.m_hWnd, x, y), Background(y)) << x << "," << y;
  EXPECT_TRUE(label.HasBackgroundSnapshot());
}

TEST(Gradient, FourLinesAndVerticalDirection) {
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 20, 20);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  const RECT all = {0, 0, 20, 20};
  ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));

  const RECT rows = {0, 0, 10, 4};
  ui::DrawGradient(memory, rows, RGB(240, 240, 240), RGB(255, 255, 255), 1);
  const int expected[] = {240, 243, 247, 251};
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(::GetPixel(memory, 0, y), RGB(expected[y], expected[y], expected[y])) << y;
    EXPECT_EQ(::GetPixel(memory, 9, y), RGB(expected[y], expected[y], expected[y])) << y;
    EXPECT_EQ(::GetPixel(memory, 10, y), RGB(0, 0, 0)) << "right edge is left out";
  }
  EXPECT_EQ(::GetPixel(memory, 0, 4), RGB(0, 0, 0));

  const RECT columns = {10, 10, 20, 13};
  ui::DrawGradient(memory, columns, RGB(0, 0, 0), RGB(100, 0, 0), 2);
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(::GetPixel(memory, 10 + x, 10), RGB(x * 10, 0, 0)) << x;
    EXPECT_EQ(::GetPixel(memory, 10 + x, 12), RGB(x * 10, 0, 0)) << x;
  }
  EXPECT_EQ(::GetPixel(memory, 15, 13), RGB(0, 0, 0));

  const RECT empty = {5, 5, 5, 15};  // zero width, direction 2: nothing
  ui::DrawGradient(memory, empty, RGB(255, 255, 255), RGB(255, 255, 255), 2);
  EXPECT_EQ(::GetPixel(memory, 5, 6), RGB(0, 0, 0));

  ::SelectObject(memory, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace
