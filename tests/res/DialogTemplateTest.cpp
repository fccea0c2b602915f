// The four dialog templates as compiled: every control with its id, class,
// style, place, size and text, read from the template bytes; then the real
// dialogs created from them, with every addressed control found by its id.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "res/resource.h"
#include "ResourceBytes.h"

namespace {

using restest::Bytes;
using restest::Narrow;
using restest::Reader;
using restest::Wide;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT | WS_GROUP;
constexpr DWORD kRightLabel = kChild | SS_RIGHT | WS_GROUP;
constexpr DWORD kCentredLabel = kChild | SS_CENTER | WS_GROUP;
constexpr DWORD kRule = kChild | SS_ETCHEDHORZ;
constexpr DWORD kPush = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kIconPush = kPush | BS_ICON;
constexpr DWORD kCheck = kChild | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kFrame = kChild | BS_GROUPBOX;
constexpr DWORD kSlider = kChild | TBS_AUTOTICKS | TBS_BOTH | TBS_HORZ | WS_TABSTOP;
constexpr DWORD kSpin = kChild | UDS_ALIGNRIGHT | UDS_ARROWKEYS;
constexpr DWORD kTimeField = kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

constexpr DWORD kPageStyle = WS_CHILD | WS_BORDER | DS_SETFONT;

struct Control {
  int id;
  const char* className;
  DWORD style;
  short x, y, cx, cy;
  const char* text;
};

struct Dialog {
  int id;
  bool extended;
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;
  const char* caption;
  std::vector<Control> controls;
};

const Dialog kAboutBox = {
    IDD_ABOUTBOX, false, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0,
    0, 0, 248, 128, "About Torvane",
    {
        {IDC_ABOUT_PRODUCT, "Static", kLabel | SS_NOPREFIX, 92, 13, 149, 8, "Torvane"},
        {IDC_ABOUT_NOTICE, "Static", kLabel, 92, 35, 149, 8, "Copyright (C) 2026 The Torvane developers"},
        {IDOK, "Button", kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 98, 107, 50, 14, "OK"},
        {IDC_ABOUT_VERSION, "Static", kLabel, 92, 24, 149, 8, "Version 1.10"},
        {IDC_ABOUT_WEB_LINK, "Static", kLabel | SS_NOTIFY, 92, 55, 149, 8, "https://torvane.example.org/"},
        {IDC_STATIC, "Static", kChild | SS_BLACKFRAME, 7, 98, 234, 1, ""},
        {IDC_ABOUT_ICON_PLACE, "Static", WS_CHILD | SS_BITMAP, 25, 34, 15, 13, ""},
    }};

const Dialog kMainWindow = {
    IDD_MAIN, true, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    WS_EX_APPWINDOW, 0, 0, 308, 322, "Torvane 1.10",
    {
        {IDC_DRIVE_BOX, "ComboBoxEx32", kChild | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP,
         4, 7, 173, 136, ""},
        {IDC_DRIVE_LABEL, "Static", kLabel | SS_NOTIFY, 182, 10, 95, 8, "Static"},
        {IDC_MANUAL, "Button", kIconPush, 285, 7, 17, 14, ""},
    }};

const Dialog kHardDrivePage = {
    IDD_HARDDRIVE_PAGE, false, kPageStyle, WS_EX_CONTROLPARENT, 4, 27, 298, 290, "",
    {
        {IDC_HDD_STANDBY, "Button", kPush, 237, 22, 50, 14, "Standby"},
        {IDC_HDD_APM_SLIDER, "msctls_trackbar32", kSlider, 15, 53, 204, 29, "Slider1"},
        {IDC_HDD_APM_ALLOW_STANDBY, "Button", kCheck, 225, 57, 59, 10, "Allow standby"},
        {IDC_HDD_APM_ENABLE, "Button", kCheck, 225, 69, 38, 10, "Enable"},
        {IDC_HDD_APM_SET, "Button", kPush, 225, 81, 50, 14, "Set"},
        {IDC_HDD_TIMER_ENABLE, "Button", kCheck, 15, 111, 59, 10, "Standby timer"},
        {IDC_HDD_TIMER_TIME, "Edit", kTimeField, 82, 110, 36, 12, ""},
        {IDC_HDD_TIMER_SPIN, "msctls_updown32", kSpin, 120, 109, 11, 14, "Spin1"},
        {IDC_HDD_TIMER_SET, "Button", kPush, 225, 109, 50, 14, "Set"},
        {IDC_HDD_AAM_SLIDER, "msctls_trackbar32", kSlider, 15, 196, 204, 29, "Slider1"},
        {IDC_HDD_AAM_ENABLE, "Button", kCheck, 225, 211, 38, 10, "Enable"},
        {IDC_HDD_AAM_SET, "Button", kPush, 225, 223, 50, 14, "Set"},
        {IDC_STATIC, "Static", kLabel, 7, 25, 108, 8, "Status"},
        {IDC_HDD_POWER_STATE, "Static", kLabel, 129, 25, 100, 8, "Static"},
        {IDC_HDD_APM_HEADING, "Static", kLabel, 7, 7, 231, 8, "Power management"},
        {IDC_STATIC, "Static", kRule, 7, 17, 284, 1, ""},
        {IDC_HDD_AAM_HEADING, "Static", kLabel, 7, 164, 231, 8, "Seek noise control"},
        {IDC_STATIC, "Static", kRule, 7, 176, 280, 1, ""},
        {IDC_STATIC, "Static", kLabel, 15, 185, 74, 8, "Current value"},
        {IDC_HDD_AAM_VALUE, "Static", kLabel, 129, 185, 142, 8, "Static"},
        {IDC_STATIC, "Static", kLabel, 15, 227, 48, 8, "low noise (128)"},
        {IDC_STATIC, "Static", kRightLabel, 145, 227, 74, 8, "high performance (254)"},
        {IDC_HDD_AAM_POSITION, "Static", kCentredLabel, 107, 227, 20, 8, "Static"},
        {IDC_HDD_APM_LOW_END, "Static", kLabel, 15, 84, 84, 8, "low power (1)"},
        {IDC_HDD_APM_HIGH_END, "Static", kRightLabel, 139, 84, 80, 8, "high performance (127)"},
        {IDC_HDD_APM_POSITION, "Static", kCentredLabel, 107, 84, 20, 8, "Static"},
        {IDC_STATIC, "Button", kFrame, 7, 36, 284, 64, ""},
        {IDC_STATIC, "Button", kFrame, 7, 102, 284, 58, ""},
        {IDC_STATIC, "Button", kFrame, 7, 178, 284, 64, ""},
        {IDC_STATIC, "Static", kLabel, 15, 43, 74, 8, "Current value"},
        {IDC_HDD_APM_VALUE, "Static", kLabel, 129, 43, 142, 8, "Static"},
        {IDC_STATIC, "Static", kLabel, 134, 111, 18, 8, "h:m:s"},
        {IDC_HDD_TIMER_VALUE, "Static", kLabel, 15, 124, 270, 16, ""},
        {IDC_HDD_TIMER_NOTE, "Static", kLabel, 15, 141, 270, 16, ""},
        {IDC_HDD_WEAR_HEADING, "Static", kLabel, 7, 246, 231, 8, "Wear"},
        {IDC_STATIC, "Static", kRule, 7, 256, 284, 1, ""},
        {IDC_STATIC, "Static", kLabel, 15, 263, 74, 8, "Head loads"},
        {IDC_HDD_HEAD_LOADS, "Static", kLabel, 129, 263, 158, 8, ""},
        {IDC_STATIC, "Static", kLabel, 15, 274, 74, 8, "Spin-ups"},
        {IDC_HDD_SPIN_UPS, "Static", kLabel, 129, 274, 158, 8, ""},
    }};

const Dialog kOpticalPage = {
    IDD_OPTICAL_PAGE, false, kPageStyle, WS_EX_CONTROLPARENT, 4, 27, 298, 290, "",
    {
        {IDC_ODD_IDLE_TIME, "Edit", kTimeField, 82, 31, 40, 12, ""},
        {IDC_ODD_IDLE_SPIN, "msctls_updown32", kSpin, 120, 29, 11, 14, "Spin1"},
        {IDC_ODD_IDLE_SET, "Button", kPush, 162, 31, 50, 14, "Set"},
        {IDC_ODD_IDLE, "Button", kPush, 241, 31, 50, 14, "Idle"},
        {IDC_ODD_STANDBY_TIME, "Edit", kTimeField, 82, 71, 36, 12, ""},
        {IDC_ODD_STANDBY_SPIN, "msctls_updown32", kSpin, 120, 70, 11, 14, "Spin1"},
        {IDC_ODD_STANDBY_SET, "Button", kPush, 162, 71, 50, 14, "Set"},
        {IDC_ODD_STANDBY, "Button", kPush, 241, 71, 50, 14, "Standby"},
        {IDC_ODD_SPEED_LIST, "ComboBox", kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
         82, 162, 101, 114, ""},
        {IDC_ODD_REFRESH, "Button", kIconPush, 195, 161, 17, 14, ""},
        {IDC_ODD_FAST, "Button", kPush, 241, 145, 50, 14, "Fast"},
        {IDC_ODD_SILENT, "Button", kPush, 241, 169, 50, 14, "Silent"},
        {IDC_STATIC, "Static", kLabel, 7, 120, 30, 8, "Disc type"},
        {IDC_ODD_DISC_TYPE, "Static", kLabel, 113, 120, 133, 8, "Static"},
        {IDC_ODD_SPEED_HEADING, "Static", kLabel, 7, 104, 268, 8, "Read speed settings"},
        {IDC_STATIC, "Static", kRule, 7, 115, 284, 1, ""},
        {IDC_STATIC, "Static", kLabel, 7, 133, 45, 8, "Current speed"},
        {IDC_ODD_CURRENT_SPEED, "Static", kLabel, 113, 133, 133, 8, "Static"},
        {IDC_STATIC, "Static", kLabel, 17, 163, 40, 8, "Read speed"},
        {IDC_ODD_POWER_HEADING, "Static", kLabel, 7, 7, 231, 8, "Power management"},
        {IDC_STATIC, "Static", kRule, 7, 17, 284, 1, ""},
        {IDC_STATIC, "Static", kLabel, 134, 33, 18, 8, "h:m:s"},
        {IDC_STATIC, "Static", kLabel, 134, 71, 18, 8, "h:m:s"},
        {IDC_STATIC, "Button", kFrame, 7, 21, 218, 33, ""},
        {IDC_STATIC, "Button", kFrame, 7, 59, 218, 33, ""},
        {IDC_STATIC, "Button", kFrame, 7, 150, 218, 33, ""},
        {IDC_ODD_IDLE_ENABLE, "Button", kCheck, 15, 33, 44, 10, "Idle timer"},
        {IDC_ODD_STANDBY_ENABLE, "Button", kCheck, 15, 71, 59, 10, "Standby timer"},
        // Hidden until a drive turns out to have no power timers.
        {IDC_ODD_TIMERS_NOTE, "Static", WS_CHILD | SS_LEFT | WS_GROUP, 15, 94, 210, 8, ""},
    }};

const Dialog* const kDialogs[] = {&kAboutBox, &kMainWindow, &kHardDrivePage, &kOpticalPage};

// ---------------------------------------------------------------------------
// The template bytes (DLGTEMPLATE or DLGTEMPLATEEX and their items).

struct ParsedControl {
  int id = 0;
  std::wstring className;
  DWORD style = 0, exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::wstring text;
};

struct ParsedDialog {
  bool extended = false;
  DWORD style = 0, exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::wstring menu, windowClass, caption;
  WORD pointSize = 0, weight = 0;
  BYTE italic = 0, charset = 0;
  std::wstring face;
  std::vector<ParsedControl> controls;
  bool failed = true;
};

// The predefined control classes are stored as atoms.
std::wstring ClassName(const std::wstring& stored) {
  static const struct {
    const wchar_t* ordinal;
    const wchar_t* name;
  } atoms[] = {{L"#128", L"Button"}, {L"#129", L"Edit"},      {L"#130", L"Static"},
               {L"#131", L"ListBox"}, {L"#132", L"ScrollBar"}, {L"#133", L"ComboBox"}};
  for (const auto& atom : atoms)
    if (stored == atom.ordinal) return atom.name;
  return stored;
}

ParsedDialog ParseTemplate(int id) {
  ParsedDialog d;
  Bytes bytes = restest::FindBytes(RT_DIALOG, id);
  if (bytes.data == nullptr) return d;
  Reader r(bytes);
  WORD count = 0;
  if (r.Word() == 1 && r.Word() == 0xFFFF) {  // DLGTEMPLATEEX: version 1, signature
    d.extended = true;
    r.Dword();  // help id
    d.exStyle = r.Dword();
    d.style = r.Dword();
  } else {
    r = Reader(bytes);
    d.style = r.Dword();
    d.exStyle = r.Dword();
  }
  count = r.Word();
  d.x = r.Short();
  d.y = r.Short();
  d.cx = r.Short();
  d.cy = r.Short();
  d.menu = r.NameOrOrdinal();
  d.windowClass = r.NameOrOrdinal();
  d.caption = r.String();
  if (d.style & DS_SETFONT) {
    d.pointSize = r.Word();
    if (d.extended) {
      d.weight = r.Word();
      d.italic = r.Byte();
      d.charset = r.Byte();
    }
    d.face = r.String();
  }
  for (WORD i = 0; i < count; ++i) {
    ParsedControl c;
    r.AlignDword();
    if (d.extended) {
      r.Dword();  // help id
      c.exStyle = r.Dword();
      c.style = r.Dword();
    } else {
      c.style = r.Dword();
      c.exStyle = r.Dword();
    }
    c.x = r.Short();
    c.y = r.Short();
    c.cx = r.Short();
    c.cy = r.Short();
    c.id = d.extended ? static_cast<int>(r.Dword()) : static_cast<short>(r.Word());
    c.className = ClassName(r.NameOrOrdinal());
    c.text = r.NameOrOrdinal();
    r.Skip(r.Word());  // creation data
    d.controls.push_back(c);
  }
  d.failed = r.failed();
  return d;
}

void ExpectTemplate(const Dialog& want) {
  ParsedDialog got = ParseTemplate(want.id);
  ASSERT_FALSE(got.failed) << "template " << want.id << " is missing or cut short";
  EXPECT_EQ(got.extended, want.extended);
  EXPECT_EQ(got.style, want.style) << std::hex << "style 0x" << got.style;
  EXPECT_EQ(got.exStyle, want.exStyle);
  EXPECT_EQ(got.x, want.x);
  EXPECT_EQ(got.y, want.y);
  EXPECT_EQ(got.cx, want.cx);
  EXPECT_EQ(got.cy, want.cy);
  EXPECT_EQ(Narrow(got.caption), want.caption);
  EXPECT_EQ(got.menu, L"");
  EXPECT_EQ(got.windowClass, L"");
  EXPECT_EQ(got.pointSize, 8);
  EXPECT_EQ(Narrow(got.face), "MS Sans Serif");
  if (want.extended) {
    EXPECT_EQ(got.weight, 0);
    EXPECT_EQ(got.italic, 0);
    EXPECT_EQ(got.charset, DEFAULT_CHARSET);
  }
  ASSERT_EQ(got.controls.size(), want.controls.size());
  for (std::size_t i = 0; i < want.controls.size(); ++i) {
    const Control& w = want.controls[i];
    const ParsedControl& g = got.controls[i];
    SCOPED_TRACE("template " + std::to_string(want.id) + ", control #" + std::to_string(i + 1) +
                 " (id " + std::to_string(w.id) + ")");
    EXPECT_EQ(g.id, w.id);
    EXPECT_TRUE(restest::SameClassName(g.className, Wide(w.className)))
        << Narrow(g.className) << " instead of " << w.className;
    EXPECT_EQ(g.style, w.style) << std::hex << "style 0x" << g.style << ", expected 0x" << w.style;
    EXPECT_EQ(g.exStyle, 0u);
    EXPECT_EQ(g.x, w.x);
    EXPECT_EQ(g.y, w.y);
    EXPECT_EQ(g.cx, w.cx);
    EXPECT_EQ(g.cy, w.cy);
    EXPECT_EQ(Narrow(g.text), w.text);
  }
}

TEST(DialogTemplates, AboutBox) { ExpectTemplate(kAboutBox); }
TEST(DialogTemplates, MainWindow) { ExpectTemplate(kMainWindow); }
TEST(DialogTemplates, HardDrivePage) { ExpectTemplate(kHardDrivePage); }
TEST(DialogTemplates, OpticalDrivePage) { ExpectTemplate(kOpticalPage); }

TEST(DialogTemplates, EveryAddressedIdIsUniqueWithinItsTemplate) {
  for (const Dialog* dialog : kDialogs) {
    ParsedDialog got = ParseTemplate(dialog->id);
    ASSERT_FALSE(got.failed);
    std::set<int> seen;
    for (const ParsedControl& c : got.controls) {
      if (c.id == IDC_STATIC) continue;
      EXPECT_TRUE(seen.insert(c.id).second) << "id " << c.id << " twice in template " << dialog->id;
    }
  }
}

// ---------------------------------------------------------------------------
// The dialogs created from the templates by the platform.

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

class DialogWindows : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                   ICC_UPDOWN_CLASS | ICC_USEREX_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&init));
  }

  HWND Create(int id, HWND parent) {
    HWND window = ::CreateDialogParamW(restest::Module(), MAKEINTRESOURCEW(id), parent,
                                       PlainDialogProc, 0);
    if (window != nullptr) windows_.push_back(window);
    return window;
  }

  void TearDown() override {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) ::DestroyWindow(*it);
  }

  static void ExpectControls(HWND dialog, const Dialog& want) {
    for (const Control& w : want.controls) {
      if (w.id == IDC_STATIC) continue;
      SCOPED_TRACE("template " + std::to_string(want.id) + ", id " + std::to_string(w.id));
      HWND control = ::GetDlgItem(dialog, w.id);
      ASSERT_NE(control, nullptr);
      wchar_t name[64] = {};
      ::GetClassNameW(control, name, 64);
      EXPECT_TRUE(restest::SameClassName(name, Wide(w.className)))
          << Narrow(name) << " instead of " << w.className;
      if (restest::SameClassName(name, L"Button") || restest::SameClassName(name, L"Static")) {
        wchar_t text[128] = {};
        ::GetWindowTextW(control, text, 128);
        EXPECT_EQ(Narrow(text), w.text);
      }
      LONG style = ::GetWindowLongW(control, GWL_STYLE);
      EXPECT_EQ((style & WS_VISIBLE) != 0, (w.style & WS_VISIBLE) != 0);
    }
  }

  std::vector<HWND> windows_;
};

TEST_F(DialogWindows, AboutBoxControlsAndHiddenIconPlace) {
  HWND about = Create(IDD_ABOUTBOX, nullptr);
  ASSERT_NE(about, nullptr) << "error " << ::GetLastError();
  ExpectControls(about, kAboutBox);
  wchar_t caption[64] = {};
  ::GetWindowTextW(about, caption, 64);
  EXPECT_EQ(Narrow(caption), "About Torvane");
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(about, IDC_ABOUT_ICON_PLACE)));
}

TEST_F(DialogWindows, MainWindowHoldsBothPagesAtTheirPlaces) {
  HWND main = Create(IDD_MAIN, nullptr);
  ASSERT_NE(main, nullptr) << "error " << ::GetLastError();
  ExpectControls(main, kMainWindow);
  EXPECT_TRUE(::GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);

  HWND pages[] = {Create(IDD_HARDDRIVE_PAGE, main), Create(IDD_OPTICAL_PAGE, main)};
  const Dialog* wants[] = {&kHardDrivePage, &kOpticalPage};
  for (int i = 0; i < 2; ++i) {
    ASSERT_NE(pages[i], nullptr) << "error " << ::GetLastError();
    ExpectControls(pages[i], *wants[i]);
    EXPECT_FALSE(::IsWindowVisible(pages[i])) << "pages start hidden";
    // The page's client area starts (4, 27) dialog units into the main
    // window's client area; its border lies outside that.
    RECT place = {4, 27, 0, 0};
    ::MapDialogRect(main, &place);
    POINT corner = {0, 0};
    ::ClientToScreen(pages[i], &corner);
    ::ScreenToClient(main, &corner);
    EXPECT_EQ(corner.x, place.left);
    EXPECT_EQ(corner.y, place.top);
  }
}

}  // namespace
