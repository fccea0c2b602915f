// The main window and the two pages on simulated machines: what the user
// sees, and what the drives receive when the user acts.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "MainWindow.h"
#include "drive/ReadSpeed.h"
#include "platform/Settings.h"
#include "platform/Worker.h"
#include "res/resource.h"
#include "ui/GradientColors.h"

namespace {

using windows_test::PixelAt;
using windows_test::Pump;
using windows_test::TextOf;

const char* const kTwoDisksAndADvd = R"(
[disk 0]
model = TV500GB0001
serial = "    9TV1ABCD"
last_lba = 976773167
ata_paths = ata_pass_through
apm = 254
aam = 128
smart_attributes = 4:1530 9:21004 193:48211
[disk 2]
model = TINY DISK
serial = TINY01
last_lba = 1953124
ata_paths = sat12
apm = 127
aam = disabled
[volume C]
extents = 0
[optical E]
vendor = ACMEOPT
product = DVD-RW DX-16A
serial = E0123
medium = none
cd_speeds = 8448, 7040, 5632, 704
dvd_speeds = 22160, 16620, 11080, 5540, 2770
)";

TEST(MainWindowBox, EntriesIconsAndTheFirstPage) {
  MainWindow w(kTwoDisksAndADvd);
  ASSERT_TRUE(w.created);
  EXPECT_EQ(TextOf(w.dialog->m_hWnd), "Torvane 1.10");
  EXPECT_EQ(w.Entries(), (std::vector<std::string>{"[HDD0 - 500 GB]:TV500GB0001",
                                                   "[HDD1 - 0 GB]:TINY DISK",
                                                   "[ODD0]:  ACMEOPT DVD-RW DX-16A"}));
  EXPECT_EQ(w.dialog->m_driveBox.GetCurSel(), 0);
  EXPECT_EQ(w.dialog->driveList.hardDriveCount, 2);
  EXPECT_EQ(w.dialog->driveList.opticalDriveCount, 1);
  EXPECT_TRUE(w.dialog->hardDrivePage.IsWindowVisible());
  EXPECT_FALSE(w.dialog->opticalDrivePage.IsWindowVisible());
  EXPECT_EQ(TextOf(w.dialog->m_driveLabel.m_hWnd), "#    9TV1ABCD");
  ASSERT_NE(w.dialog->toolTip, nullptr);
  EXPECT_EQ(w.dialog->toolTip->GetToolCount(), 2);  // the manual button and the serial label
  EXPECT_EQ(w.dialog->hardDrivePage.toolTip->GetToolCount(), 12);
  EXPECT_EQ(w.dialog->opticalDrivePage.toolTip->GetToolCount(), 14);
  windows_test::SaveScreenshot(w.dialog->m_hWnd, "main-hard-drive");

  w.Select(2);
  EXPECT_FALSE(w.dialog->hardDrivePage.IsWindowVisible());
  EXPECT_TRUE(w.dialog->opticalDrivePage.IsWindowVisible());
  EXPECT_EQ(TextOf(w.dialog->m_driveLabel.m_hWnd), "#E0123");
  EXPECT_EQ(TextOf(w.dialog->opticalDrivePage.m_discTypeLabel.m_hWnd), "-");
}

TEST(MainWindowBox, TopBandGradientLineByLine) {
  MainWindow w(kTwoDisksAndADvd);
  const COLORREF expected[] = {RGB(255, 255, 255), RGB(250, 250, 252), RGB(245, 245, 248),
                               RGB(240, 240, 244), RGB(235, 235, 240), RGB(230, 230, 236)};
  for (int y = 0; y < 6; ++y) EXPECT_EQ(PixelAt(w.dialog->m_hWnd, 1, y), expected[y]) << y;
  RECT client;
  w.dialog->GetClientRect(&client);
  const int lines = client.bottom - 6;
  for (int y : {6, 7, static_cast<int>(client.bottom) - 1})
    EXPECT_EQ(PixelAt(w.dialog->m_hWnd, 1, y),
              ui::GradientLineColour(RGB(208, 208, 216), RGB(152, 152, 160), y - 6, lines))
        << y;
}

TEST(MainWindowBox, OnlyOpticalDrives) {
  MainWindow w("[optical D]\nvendor = ACMEOPT\nproduct = CD-ROM CX-52\nmedium = none\n");
  ASSERT_EQ(w.Entries().size(), 1u);
  EXPECT_TRUE(w.dialog->opticalDrivePage.IsWindowVisible());
  EXPECT_FALSE(w.dialog->hardDrivePage.IsWindowVisible());
}

TEST(MainWindowBox, NoDriveAtAll) {
  MainWindow w("[system]\nwindows_directory = C:\\WINDOWS\n");
  ASSERT_EQ(w.recorder.messages.size(), 1u);
  EXPECT_EQ(w.recorder.messages[0].substr(0, w.recorder.messages[0].find('|')), "No drives found");
  EXPECT_NE(w.recorder.messages[0].find("|" + std::to_string(MB_ICONSTOP)), std::string::npos);
  EXPECT_EQ(w.dialog->hardDrivePage.m_hWnd, nullptr);  // no page is created
}

TEST(MainWindowBox, ManualButtonAndHelpKeyOpenTheManual) {
  MainWindow w(kTwoDisksAndADvd);
  w.dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MANUAL, BN_CLICKED),
                        reinterpret_cast<LPARAM>(w.dialog->m_manualButton.m_hWnd));
  HELPINFO help = {};
  help.cbSize = sizeof help;
  w.dialog->SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
  EXPECT_EQ(w.recorder.opened, (std::vector<std::string>{"Torvane.pdf", "Torvane.pdf"}));
}

TEST(MainWindowBox, WindowMenuEndsWithAbout) {
  MainWindow w(kTwoDisksAndADvd);
  HMENU menu = ::GetSystemMenu(w.dialog->m_hWnd, FALSE);
  const int count = ::GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  char text[64] = {};
  ::GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&About Torvane...");
  EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  ::GetMenuItemInfoA(menu, count - 2, TRUE, &info);
  EXPECT_TRUE(info.fType & MFT_SEPARATOR);
}

// ---------------------------------------------------------------------------
// The hard drive page
// ---------------------------------------------------------------------------

TEST(HardDrivePage, ShowsLevelsAsTheDriveReportsThem) {
  MainWindow w(kTwoDisksAndADvd);
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  EXPECT_EQ(TextOf(page.m_powerMode.m_hWnd), "active");
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "level 254 (without standby)");
  EXPECT_EQ(page.m_allowStandby.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(page.m_apmSlider.GetRangeMin(), 128);
  EXPECT_EQ(page.m_apmSlider.GetRangeMax(), 254);
  EXPECT_EQ(page.m_apmSlider.GetPos(), 254);
  EXPECT_EQ(TextOf(page.m_apmPosition.m_hWnd), "254");
  EXPECT_EQ(page.m_apmEnable.GetCheck(), BST_CHECKED);
  EXPECT_EQ(TextOf(page.m_aamValue.m_hWnd), "level 128");
  EXPECT_EQ(page.m_aamSlider.GetPos(), 128);
  EXPECT_EQ(TextOf(page.m_aamPosition.m_hWnd), "128");
  EXPECT_EQ(page.m_aamEnable.GetCheck(), BST_CHECKED);
  EXPECT_TRUE(page.m_standby.IsWindowEnabled());

  w.Select(1);
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "level 127 (with standby)");
  EXPECT_EQ(page.m_allowStandby.GetCheck(), BST_CHECKED);
  EXPECT_EQ(page.m_apmSlider.GetRangeMax(), 127);
  EXPECT_EQ(TextOf(page.m_apmLowLabel.m_hWnd), "low power (1)");
  EXPECT_EQ(TextOf(page.m_aamValue.m_hWnd), "disabled");
  EXPECT_EQ(page.m_aamSlider.GetPos(), 128);
  EXPECT_EQ(TextOf(page.m_aamPosition.m_hWnd), "n/a");
  EXPECT_EQ(page.m_aamEnable.GetCheck(), BST_UNCHECKED);
}

TEST(HardDrivePage, ApmDisabledAndNoWorkingPath) {
  MainWindow w(R"(
[disk 0]
ata_paths = sat12
apm = disabled
[disk 1]
model = SILENT BOX
ata_paths = none
[volume C]
extents = 0
)");
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "disabled");
  EXPECT_EQ(page.m_apmSlider.GetPos(), 1);
  EXPECT_EQ(TextOf(page.m_apmPosition.m_hWnd), "n/a");
  EXPECT_EQ(page.m_apmEnable.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(page.m_allowStandby.GetCheck(), BST_CHECKED);

  w.Select(1);
  EXPECT_EQ(TextOf(page.m_powerMode.m_hWnd), "n/a");
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "not supported");
  EXPECT_EQ(TextOf(page.m_aamValue.m_hWnd), "not supported");
  EXPECT_EQ(TextOf(page.m_apmPosition.m_hWnd), "");
  for (fw::CWnd* c : std::initializer_list<fw::CWnd*>{
           &page.m_standby, &page.m_apmSet, &page.m_apmSlider, &page.m_apmEnable,
           &page.m_allowStandby, &page.m_aamSet, &page.m_aamSlider, &page.m_aamEnable})
    EXPECT_FALSE(c->IsWindowEnabled());
}

TEST(HardDrivePage, TimerRefreshLeavesWhatTheUserSetAlone) {
  MainWindow w(kTwoDisksAndADvd);
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  page.m_apmSlider.SetPos(200);
  page.m_apmEnable.SetCheck(BST_UNCHECKED);
  page.m_aamSlider.SetPos(150);
  page.m_apmPosition.SetWindowText("200");
  w.machine.bay().SetDiskPowerMode(0, 0x80);

  page.SendMessage(WM_TIMER, pages::CHardDrivePage::kTimerId);

  EXPECT_EQ(TextOf(page.m_powerMode.m_hWnd), "idle");
  EXPECT_EQ(page.m_apmSlider.GetPos(), 200);
  EXPECT_EQ(page.m_apmEnable.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(page.m_aamSlider.GetPos(), 150);
  EXPECT_EQ(TextOf(page.m_apmPosition.m_hWnd), "200");
}

TEST(HardDrivePage, SetSendsTheLevelOrTheDisableSubcommand) {
  MainWindow w(kTwoDisksAndADvd);
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  sim::Bay& bay = w.machine.bay();

  page.m_allowStandby.SetCheck(BST_CHECKED);
  page.OnAllowStandby();
  EXPECT_EQ(page.m_apmSlider.GetPos(), 127);  // 254 - 127
  page.m_apmSlider.SetPos(96);
  page.OnSetPowerManagement();
  EXPECT_EQ(bay.DiskApm(0).level, 96);
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "level 96 (with standby)");

  page.m_apmEnable.SetCheck(BST_UNCHECKED);
  page.OnSetPowerManagement();
  EXPECT_FALSE(bay.DiskApm(0).enabled);
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "disabled");

  page.m_aamEnable.SetCheck(BST_UNCHECKED);
  page.OnSetSeekNoise();
  EXPECT_FALSE(bay.DiskAam(0).enabled);
  EXPECT_EQ(w.machine.TraceWith("PhysicalDrive0 ATA C2000000").size(), 1u);
  EXPECT_TRUE(w.recorder.messages.empty());
}

TEST(HardDrivePage, AllowStandbyMapsThePositionBothWays) {
  MainWindow w(kTwoDisksAndADvd);
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  page.m_apmSlider.SetPos(200);
  page.m_allowStandby.SetCheck(BST_CHECKED);
  page.OnAllowStandby();
  EXPECT_EQ(page.m_apmSlider.GetPos(), 73);
  EXPECT_EQ(TextOf(page.m_apmPosition.m_hWnd), "73");
  page.m_allowStandby.SetCheck(BST_UNCHECKED);
  page.OnAllowStandby();
  EXPECT_EQ(page.m_apmSlider.GetPos(), 200);
  EXPECT_EQ(TextOf(page.m_apmHighLabel.m_hWnd), "high performance (254)");
}

TEST(HardDrivePage, EachFailureHasItsMessage) {
  MainWindow w(R"(
[disk 0]
ata_paths = smart
smart_filter = yes
apm = 128
aam = 200
[disk 1]
[volume C]
extents = 1
[volume D]
extents = 0
)");
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  page.OnSetPowerManagement();
  page.m_apmEnable.SetCheck(BST_UNCHECKED);
  page.OnSetPowerManagement();
  page.OnSetSeekNoise();
  page.m_aamEnable.SetCheck(BST_UNCHECKED);
  page.OnSetSeekNoise();
  page.OnStandby();
  std::vector<std::string> texts;
  for (const std::string& m : w.recorder.messages) {
    texts.push_back(m.substr(0, m.find('|')));
    EXPECT_NE(m.find("|window_tests|" + std::to_string(MB_ICONERROR)), std::string::npos) << m;
  }
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "Error adjusting power management", "Error disabling power management",
                       "Error adjusting seek noise control", "Error disabling seek noise control",
                       "Error setting drive in standby mode"}));
  EXPECT_TRUE(page.pollingEnabled);
}

TEST(HardDrivePage, StandbyIsRefusedForTheSystemDrive) {
  MainWindow w(kTwoDisksAndADvd);
  w.machine.bay().ClearTrace();
  w.dialog->hardDrivePage.OnStandby();
  ASSERT_EQ(w.recorder.messages.size(), 1u);
  EXPECT_EQ(w.recorder.messages[0].substr(0, 42), "Standby mode not allowed for system drive.");
  EXPECT_TRUE(w.machine.bay().Trace().empty());  // nothing sent
  EXPECT_EQ(w.machine.bay().DiskPowerMode(0), 0xFF);

  w.Select(1);
  w.dialog->hardDrivePage.OnStandby();
  EXPECT_EQ(w.machine.bay().DiskPowerMode(2), 0x00);
  EXPECT_EQ(TextOf(w.dialog->hardDrivePage.m_powerMode.m_hWnd), "standby");
}

// ---------------------------------------------------------------------------
// The optical drive page
// ---------------------------------------------------------------------------

class OpticalPage : public testing::Test {
 protected:
  void SetUp() override { windows_test::FreshSettings("TorvaneWindowTests"); }
};

TEST_F(OpticalPage, NoticesAMediumWithinASecond) {
  MainWindow w(kTwoDisksAndADvd);
  w.Select(2);
  pages::COpticalDrivePage& page = w.dialog->opticalDrivePage;
  EXPECT_EQ(TextOf(page.m_discTypeLabel.m_hWnd), "-");
  EXPECT_EQ(TextOf(page.m_currentSpeed.m_hWnd), "-");
  EXPECT_FALSE(page.m_fast.IsWindowEnabled());

  w.machine.bay().SetOpticalMedium('E', "cd-rom");
  Pump(1500);
  EXPECT_EQ(TextOf(page.m_discTypeLabel.m_hWnd), "CD");
  // A probe or the stored list: either way the list fills within a while.
  for (int i = 0; i < 100 && page.m_speedList.GetCount() == 0; ++i) Pump(50);
  EXPECT_EQ(page.m_speedList.GetCount(), 4);
  EXPECT_TRUE(page.m_fast.IsWindowEnabled());
  windows_test::SaveScreenshot(w.dialog->m_hWnd, "main-optical-drive");

  w.machine.bay().SetOpticalMedium('E', "none");
  Pump(1500);
  EXPECT_EQ(TextOf(page.m_discTypeLabel.m_hWnd), "-");
  EXPECT_EQ(TextOf(page.m_currentSpeed.m_hWnd), "-");
  EXPECT_FALSE(page.m_speedList.IsWindowEnabled());
}

TEST_F(OpticalPage, FixedDvdListForTheFamilyThatNeedsIt) {
  MainWindow w(R"(
[optical D]
vendor = ACMEOPT
product = "DVDR   PX-7Q0X"
medium = dvd-rom
dvd_speeds = 22160, 11080
)");
  pages::COpticalDrivePage& page = w.dialog->opticalDrivePage;
  for (int i = 0; i < 100 && page.m_speedList.GetCount() == 0; ++i) Pump(50);
  ASSERT_EQ(page.m_speedList.GetCount(), 5);
  char text[64];
  const char* expected[] = {"16.0 X (22160 KB/s)", "12.0 X (16620 KB/s)", "8.0 X (11080 KB/s)",
                            "5.0 X (6925 KB/s)", "2.0 X (2770 KB/s)"};
  for (int i = 0; i < 5; ++i) {
    page.m_speedList.SendMessage(CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, expected[i]);
  }
  EXPECT_EQ(platform::GetProfileString("ACMEOPT DVDR   PX-7Q0X  ", "DVD speed list", ""),
            "CC 22160,16620,11080,6925,2770");
}

TEST_F(OpticalPage, FastAndSilentSpeeds) {
  struct Case {
    const char* medium;
    const char* type;
    int silent;
  };
  const Case cases[] = {{"cd-rom", "CD", 704}, {"dvd-rom", "DVD", 2770}, {"bd-rom", "BD", 4482}};
  for (const Case& c : cases) {
    MainWindow w(std::string(R"(
[optical E]
vendor = ACMEOPT
product = BD-RE BX-12
medium = )") + c.medium + R"(
cd_speeds = 8448, 7040, 704
dvd_speeds = 22160, 11080, 2770
bd_speeds = 26892, 17928, 8964, 4482
)");
    pages::COpticalDrivePage& page = w.dialog->opticalDrivePage;
    for (int i = 0; i < 200 && page.probingDrive != nullptr; ++i) Pump(50);
    ASSERT_EQ(page.probingDrive, nullptr);
    const std::string section = page.shownDrive->displayName;
    page.OnSilent();
    EXPECT_EQ(w.machine.bay().OpticalCurrentSpeed('E'), c.silent) << c.medium;
    EXPECT_EQ(platform::GetProfileInt(section.c_str(), (std::string(c.type) + " speed").c_str(), 0),
              c.silent);
    page.OnFast();
    EXPECT_EQ(platform::GetProfileInt(section.c_str(), (std::string(c.type) + " speed").c_str(), 0),
              65535);
    EXPECT_GT(w.machine.bay().OpticalCurrentSpeed('E'), c.silent);
  }
}

TEST_F(OpticalPage, TimerFieldsAndTheirLimits) {
  MainWindow w(R"(
[optical E]
vendor = ACMEOPT
product = CD-ROM CX-52
medium = none
idle = yes
idle_timer = 300
standby = yes
standby_timer = 3600000
)");
  pages::COpticalDrivePage& page = w.dialog->opticalDrivePage;
  EXPECT_EQ(page.m_idleField.GetDigits(), "000030");
  EXPECT_EQ(page.m_idleTimerCheck.GetCheck(), BST_CHECKED);
  EXPECT_EQ(TextOf(page.m_standbyField.m_hWnd), "10:00:00");  // 100 hours: first six digits

  page.m_idleField.SetDigits("020000");
  page.OnSetIdleTimer();
  EXPECT_EQ(w.machine.bay().OpticalTimers('E').idleTimer, 65535u);
  EXPECT_EQ(TextOf(page.m_idleField.m_hWnd), "01:49:13");

  page.m_idleField.SetDigits("0001");
  page.OnSetIdleTimer();
  EXPECT_EQ(w.machine.bay().OpticalTimers('E').idleTimer, 600u);

  page.m_idleTimerCheck.SetCheck(BST_UNCHECKED);
  page.m_idleField.SetDigits("000005");
  page.OnSetIdleTimer();
  EXPECT_FALSE(w.machine.bay().OpticalTimers('E').idle);
  EXPECT_EQ(w.machine.bay().OpticalTimers('E').idleTimer, 600u);
  EXPECT_EQ(TextOf(page.m_idleField.m_hWnd), "00:01:00");
}

TEST_F(OpticalPage, StandbyTimerRefusalIsReported) {
  MainWindow w(R"(
[optical E]
vendor = ACMEOPT
product = CD-ROM CX-52
medium = none
power_page = refused
)");
  w.dialog->opticalDrivePage.OnSetStandbyTimer();
  ASSERT_EQ(w.recorder.messages.size(), 1u);
  EXPECT_EQ(w.recorder.messages[0].substr(0, 35), "Error setting drive in standby mode");
  w.dialog->opticalDrivePage.OnSetIdleTimer();  // not reported
  EXPECT_EQ(w.recorder.messages.size(), 1u);
}

TEST_F(OpticalPage, TypedKeysInTheTimeField) {
  MainWindow w("[optical E]\nvendor = ACMEOPT\nproduct = CD-ROM CX-52\nmedium = none\n");
  pages::CTimeMaskEdit& field = w.dialog->opticalDrivePage.m_idleField;
  field.SetDigits("013000");
  ::SetFocus(field.m_hWnd);
  field.SetSel(0, 0);
  for (char c : std::string("25")) {
    field.SendMessage(WM_KEYDOWN, static_cast<WPARAM>(c), 1);
    field.SendMessage(WM_CHAR, static_cast<WPARAM>(c), 1);
  }
  EXPECT_EQ(TextOf(field.m_hWnd), "25:30:00");
  int start = 0, end = 0;
  field.GetSel(&start, &end);
  EXPECT_EQ(start, 3);
  field.SendMessage(WM_KEYDOWN, VK_BACK, 1);
  field.SendMessage(WM_CHAR, VK_BACK, 1);
  field.SendMessage(WM_KEYDOWN, VK_BACK, 1);
  field.SendMessage(WM_CHAR, VK_BACK, 1);
  EXPECT_EQ(TextOf(field.m_hWnd), "2_:30:00");
  field.SendMessage(WM_KEYDOWN, 'A', 1);
  field.SendMessage(WM_CHAR, 'a', 1);
  EXPECT_EQ(TextOf(field.m_hWnd), "2_:30:00");
}

TEST_F(OpticalPage, UpDownStartsFromTheLoadedPosition) {
  MainWindow w(R"(
[optical E]
vendor = ACMEOPT
product = CD-ROM CX-52
medium = none
idle = yes
idle_timer = 600
)");
  pages::COpticalDrivePage& page = w.dialog->opticalDrivePage;
  page.m_idleField.SetDigits("000500");  // typed: the up-down does not follow
  EXPECT_EQ(page.m_idleSpin.GetPos32(), 60);
  page.m_idleSpin.SetPos32(61);  // one click up, as the control does it
  page.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 61),
                   reinterpret_cast<LPARAM>(page.m_idleSpin.m_hWnd));
  EXPECT_EQ(TextOf(page.m_idleField.m_hWnd), "00:01:01");
}

}  // namespace

namespace {

const char* const kTwoSlowDrives = R"(
[optical E]
vendor = ACMEOPT
product = DVD-RW SLOW-1
medium = cd-rom
cd_speeds = 8448, 7040, 5632
latency_ms = 10
[optical G]
vendor = ACMEOPT
product = CD-ROM OTHER-2
medium = cd-rom
cd_speeds = 7056, 2822
)";

TEST_F(OpticalPage, ValueLabelsAreOpaqueOnTheFaceColour) {
  MainWindow w("[optical E]\nvendor = ACMEOPT\nproduct = CD-ROM CX-52\nmedium = none\n");
  pages::COpticalDrivePage& page = w.dialog->opticalDrivePage;
  const RECT label = windows_test::RectInParent(page.m_discTypeLabel.m_hWnd);
  // Right of the short text "-": the label's own background, not the parent's.
  EXPECT_EQ(PixelAt(page.m_hWnd, label.right - 3, (label.top + label.bottom) / 2),
            ::GetSysColor(COLOR_BTNFACE));
  EXPECT_TRUE(page.m_discTypeLabel.m_bOpaque);
  EXPECT_FALSE(page.m_discTypeLabel.HasBackgroundSnapshot());
}

TEST_F(OpticalPage, ProbeBelongsToItsDriveWhenAnotherIsShown) {
  windows_test::FreshSettings("TorvaneProbeSwitch");
  MainWindow w(kTwoSlowDrives);
  pages::COpticalDrivePage& page = w.dialog->opticalDrivePage;
  ASSERT_NE(page.probingDrive, nullptr);  // E: has no stored list yet
  EXPECT_FALSE(page.m_fast.IsWindowEnabled());
  EXPECT_FALSE(page.m_speedList.IsWindowEnabled());
  drive::OpticalDriveInfo* probed = page.probingDrive;

  w.Select(1);  // G: while E: is still being probed
  EXPECT_EQ(page.shownDrive, &w.dialog->driveList.slots[1].optical);
  EXPECT_FALSE(page.m_fast.IsWindowEnabled());  // one probe at a time: G: waits
  for (int i = 0; i < 200 && page.probingDrive != nullptr; ++i) Pump(50);
  ASSERT_EQ(page.probingDrive, nullptr);

  // E:'s list was stored under E:'s model; G:'s box never shows it.
  EXPECT_EQ(platform::GetProfileString(probed->displayName, "CD speed list", ""),
            "CC 8448,7040,5632");
  char first[64] = {};
  page.m_speedList.SendMessage(CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STRNE(first, "48 X (8448 KB/s)");
  // Then G:, still shown, gets its own probe.
  for (int i = 0; i < 200 && page.m_speedList.GetCount() == 0; ++i) Pump(50);
  for (int i = 0; i < 200 && page.probingDrive != nullptr; ++i) Pump(50);
  EXPECT_EQ(page.m_speedList.GetCount(), 2);
  EXPECT_EQ(platform::GetProfileString(page.shownDrive->displayName, "CD speed list", ""),
            "CC 7056,2822");
}

TEST_F(OpticalPage, AProbeThatEndsAfterTheWindowClosedIsStored) {
  windows_test::FreshSettings("TorvaneProbeClose");
  auto w = std::make_unique<MainWindow>(kTwoSlowDrives);
  ASSERT_NE(w->dialog->opticalDrivePage.probingDrive, nullptr);
  const std::string model = w->dialog->opticalDrivePage.probingDrive->displayName;
  EXPECT_EQ(model, "ACMEOPT DVD-RW SLOW-1   ");
  ::DestroyWindow(w->dialog->m_hWnd);  // the program ends
  EXPECT_EQ(platform::GetProfileString(model.c_str(), "CD speed list", "none"),
            "none");  // nothing half done is stored
  // As the application object does on its way out.
  EXPECT_TRUE(platform::WaitForWorkers(30000));
  drive::SaveFinishedProbes(w->dialog->driveList);
  EXPECT_EQ(platform::GetProfileString(model.c_str(), "CD speed list", "none"),
            "CC 8448,7040,5632");
}

}  // namespace
