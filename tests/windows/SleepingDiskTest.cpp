// A sleeping disk stays asleep: with the window open, and after the page put
// it to standby, it receives CHECK POWER MODE and nothing that may wake it.
#include <gtest/gtest.h>

#include "MainWindow.h"
#include "drive/AtaCommands.h"

namespace {

using windows_test::Pump;
using windows_test::TextOf;

// A USB disk whose bridge speaks the F8h blocks and which spins up for
// IDENTIFY, as many bridges do. It sleeps when the program starts.
const char* const kUsbDiskThatWakes = R"(
[disk 0]
model = SYSTEM DISK
ata_paths = ata_pass_through
[disk 1]
vendor = USB2.0
product = Ext. HDD
model = SLEEPY DISK
serial = SL33PY
ata_paths = vendor_f8
apm = 254
aam = 128
power_mode = standby
wakes_on = identify, read_capacity
[volume C]
extents = 0
[volume F]
extents = 1
)";

const char* const kIdentifyF8 = "PhysicalDrive1 SPTD F8002210010000000000A0EC";
const char* const kCheckPowerModeF8 = "PhysicalDrive1 SPTD F8002210000000000000A0E5";
const char* const kReadBackF8 = "PhysicalDrive1 SPTD F80021000000000000000000";

void Poll(pages::CHardDrivePage& page, int times) {
  for (int i = 0; i < times; ++i) page.SendMessage(WM_TIMER, pages::CHardDrivePage::kTimerId);
}

TEST(SleepingDisk, SixtySecondsOfPollingSendOnlyCheckPowerMode) {
  MainWindow w(kUsbDiskThatWakes);
  sim::Bay& bay = w.machine.bay();
  w.Select(1);
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  bay.ClearTrace();

  Poll(page, 6);  // 60 s of the page's 10-second timer

  EXPECT_EQ(bay.DiskPowerMode(1), 0x00);  // asleep since the program started
  std::vector<std::string> disk1;
  for (const std::string& line : bay.Trace())
    if (line.rfind("PhysicalDrive1 ", 0) == 0) disk1.push_back(line.substr(0, 44));
  ASSERT_EQ(disk1.size(), 12u);
  for (size_t i = 0; i < disk1.size(); i += 2) {
    EXPECT_EQ(disk1[i], kCheckPowerModeF8);
    EXPECT_EQ(disk1[i + 1], kReadBackF8);
  }
  // Listed under the enclosure's name, its settings unread: it says so.
  EXPECT_EQ(w.Entries()[1], "[HDD1 - 500 GB]:USB2.0  Ext. HDD");
  EXPECT_EQ(TextOf(w.dialog->m_driveLabel.m_hWnd), "");
  EXPECT_EQ(TextOf(page.m_powerMode.m_hWnd), "standby");
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "drive asleep: read when it wakes");
  EXPECT_EQ(TextOf(page.m_aamValue.m_hWnd), "drive asleep: read when it wakes");
  EXPECT_TRUE(page.m_apmSlider.IsWindowEnabled());  // Set waits for a level chosen
  EXPECT_TRUE(page.m_standby.IsWindowEnabled());
}

// A disk listed asleep, on each path that can tell its power mode: Set wakes
// it (SET FEATURES spins these up), then IDENTIFY names it and shows the level.
TEST(SleepingDisk, SetOnADiskListedAsleepWakesItAndReadsIt) {
  struct Case {
    const char* paths;
    const char* setFeatures;  // SET FEATURES 05h, level 200 (C8h), as traced
  };
  const Case cases[] = {
      {"ata_pass_through", "ATA 05C8000000A0EF00"},
      {"sat12", "SPTD A1060C05C8000000A0EF0000"},
      {"vendor_df", "SPTD DF10000000" "05C8000000A0EF"},
      {"vendor_f8", "SPTD F800221000" "05C8000000A0EF"},
  };
  for (const Case& c : cases) {
    MainWindow w(std::string("[disk 0]\n[disk 1]\nvendor = USB2.0\nproduct = Ext. HDD\n"
                             "model = SLEEPY DISK\nserial = SL33PY\napm = 254\n"
                             "power_mode = standby\nwakes_on = identify, set_features, "
                             "read_capacity\nata_paths = ") +
                 c.paths + "\n[volume C]\nextents = 0\n");
    EXPECT_TRUE(w.machine.TraceWith("PhysicalDrive1 ").size() > 0) << c.paths;
    for (const std::string& line : w.machine.TraceWith("PhysicalDrive1 "))
      EXPECT_TRUE(line.find("A0EC") == std::string::npos && line.find(" SPTD 25") == std::string::npos)
          << c.paths << ": " << line;
    w.Select(1);
    pages::CHardDrivePage& page = w.dialog->hardDrivePage;
    EXPECT_EQ(TextOf(page.m_powerMode.m_hWnd), "standby") << c.paths;
    w.machine.bay().ClearTrace();

    page.m_allowStandby.SetCheck(BST_UNCHECKED);
    page.OnAllowStandby();
    page.m_apmSlider.SetPos(200);
    page.OnSetPowerManagement();

    const std::vector<std::string> trace = w.machine.bay().Trace();
    const auto at = [&trace](const std::string& text) {
      for (size_t i = 0; i < trace.size(); ++i)
        if (trace[i].find(text) != std::string::npos) return static_cast<int>(i);
      return -1;
    };
    const int set = at(c.setFeatures), identify = at("A0EC");
    EXPECT_GE(set, 0) << c.paths;
    EXPECT_GT(identify, set) << c.paths;
    EXPECT_EQ(w.machine.bay().DiskApm(1).level, 200) << c.paths;
    EXPECT_EQ(TextOf(page.m_powerMode.m_hWnd), "active") << c.paths;
    EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "level 200 (without standby)") << c.paths;
    EXPECT_EQ(TextOf(page.m_aamValue.m_hWnd), "not supported") << c.paths;
    EXPECT_EQ(w.Entries()[1], "[HDD1 - 500 GB]:SLEEPY DISK") << c.paths;
    EXPECT_EQ(TextOf(w.dialog->m_driveLabel.m_hWnd), "#SL33PY") << c.paths;
    EXPECT_TRUE(w.recorder.messages.empty()) << c.paths;
  }
}

// A disk listed asleep has told no level: after another disk's page, its
// sliders show none, and Set sends nothing until the user picks one.
TEST(SleepingDisk, NoLevelShownOrSentThatTheDiskDidNotReport) {
  MainWindow w(std::string(kUsbDiskThatWakes) + "[disk 2]\nata_paths = sat12\napm = 96\naam = 200\n");
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  w.Select(2);
  EXPECT_EQ(TextOf(page.m_apmPosition.m_hWnd), "96");
  w.Select(1);
  w.machine.bay().ClearTrace();
  EXPECT_EQ(TextOf(page.m_apmPosition.m_hWnd), "");
  EXPECT_EQ(TextOf(page.m_aamPosition.m_hWnd), "");
  EXPECT_FALSE(page.m_apmSet.IsWindowEnabled());
  EXPECT_FALSE(page.m_aamSet.IsWindowEnabled());
  page.OnSetPowerManagement();
  page.OnSetSeekNoise();
  EXPECT_TRUE(w.machine.TraceWith("A0EF").empty());
  EXPECT_EQ(w.machine.bay().DiskPowerMode(1), 0x00);

  // The user moves the slider: that level, and only then, may be set.
  page.m_apmSlider.SetPos(200);
  page.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 200),
                   reinterpret_cast<LPARAM>(page.m_apmSlider.m_hWnd));
  EXPECT_EQ(TextOf(page.m_apmPosition.m_hWnd), "200");
  EXPECT_TRUE(page.m_apmSet.IsWindowEnabled());
  EXPECT_FALSE(page.m_aamSet.IsWindowEnabled());
}

// Answers the page must not take for "standby": a DFh bridge whose 20-byte
// read-back fails, and a driver that hands back a task file of zeros.
TEST(SleepingDisk, AnAwakeDiskWhoseAnswersCannotBeJudgedIsNotShownAsleep) {
  for (const char* paths : {"vendor_df\ndf_layout = 4\ndf_wide_read = no",
                            "ata_pass_through\nata_pass_through_registers = zero"}) {
    MainWindow w(std::string("[disk 0]\n[disk 1]\napm = 128\nata_paths = ") + paths +
                 "\n[volume C]\nextents = 0\n");
    w.Select(1);
    pages::CHardDrivePage& page = w.dialog->hardDrivePage;
    Poll(page, 2);
    EXPECT_EQ(TextOf(page.m_powerMode.m_hWnd), "n/a") << paths;
    EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "level 128 (without standby)") << paths;
  }
}

TEST(SleepingDisk, StandbyButtonSendsNoIdentifyAfterward) {
  MainWindow w(kUsbDiskThatWakes);
  sim::Bay& bay = w.machine.bay();
  w.Select(1);
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  bay.ClearTrace();
  page.OnStandby();
  Poll(page, 2);
  EXPECT_EQ(bay.DiskPowerMode(1), 0x00);
  EXPECT_EQ(w.machine.TraceWith("PhysicalDrive1 SPTD F8002210000000000000A0E0").size(), 1u);
  EXPECT_TRUE(w.machine.TraceWith(kIdentifyF8).empty());
  EXPECT_EQ(w.machine.TraceWith(kCheckPowerModeF8).size(), 3u);
  EXPECT_EQ(TextOf(page.m_powerMode.m_hWnd), "standby");
  EXPECT_TRUE(w.recorder.messages.empty());
}

TEST(SleepingDisk, ADiskThatWokeIsReadAgainAndItsLabelsFollow) {
  MainWindow w(R"(
[disk 0]
model = SLEEPY DISK
ata_paths = ata_pass_through
apm = 254
wakes_on = identify
[disk 1]
[volume C]
extents = 1
)");
  sim::Bay& bay = w.machine.bay();
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  bay.SetDiskPowerMode(0, 0x00);
  Poll(page, 1);
  // Another program changes the level while the disk sleeps (SET FEATURES
  // does not wake this one): the page does not ask, so it cannot know.
  drive::AtaSetFeatures(w.dialog->driveList.slots[0].hard, drive::kFeatureEnableApm, 200);
  Poll(page, 1);
  EXPECT_EQ(TextOf(page.m_powerMode.m_hWnd), "standby");
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "level 254 (without standby)");

  bay.SetDiskPowerMode(0, 0x80);  // it wakes by itself
  bay.ClearTrace();
  Poll(page, 1);
  EXPECT_EQ(w.machine.TraceWith("PhysicalDrive0 ATA 0000000000A0EC00").size(), 1u);
  EXPECT_EQ(TextOf(page.m_powerMode.m_hWnd), "idle");
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "level 200 (without standby)");
}

TEST(SleepingDisk, TheSmartPathCannotTellAndAsksAsBefore) {
  MainWindow w(R"(
[disk 0]
model = OLD DISK
ata_paths = smart
apm = 128
power_mode = standby
[disk 1]
[volume C]
extents = 1
)");
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  w.machine.bay().ClearTrace();
  Poll(page, 3);
  EXPECT_EQ(w.machine.TraceWith("PhysicalDrive0 SMART_RCV 0000000000A0EC00").size(), 3u);
  EXPECT_EQ(TextOf(page.m_powerMode.m_hWnd), "n/a");
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "level 128 (without standby)");
}

TEST(SleepingDisk, TheSmartPathSendsNothingAfterItsOwnStandby) {
  MainWindow w("[disk 0]\n[disk 1]\nata_paths = smart\napm = 128\n[volume C]\nextents = 0\n");
  w.Select(1);
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  w.machine.bay().ClearTrace();
  page.OnStandby();
  Poll(page, 3);
  w.Select(1);
  EXPECT_EQ(w.machine.bay().Trace().size(), 1u);  // STANDBY IMMEDIATE, and nothing after it
  EXPECT_EQ(w.machine.TraceWith("PhysicalDrive1 SMART_SEND 0000000000A0E000").size(), 1u);
  EXPECT_EQ(w.machine.bay().DiskPowerMode(1), 0x00);
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "level 128 (without standby)");
}

TEST(SleepingDisk, StandbyIsRefusedWhereTheWindowsDiskIsNotKnown) {
  // The Windows volume's extents cannot be read: any disk may hold it.
  // Either the query fails, or it answers with no extent at all (as Wine
  // does): a volume always lies on some disk, so neither rules one out.
  for (const char* extents : {"none", "empty"}) {
    MainWindow w(std::string("[disk 0]\nata_paths = sat12\n[disk 1]\nata_paths = sat12\n"
                             "[volume C]\nextents = ") + extents + "\n");
    w.machine.bay().ClearTrace();
    for (int disk : {0, 1}) {
      w.Select(disk);
      w.dialog->hardDrivePage.OnStandby();
      EXPECT_EQ(w.machine.bay().DiskPowerMode(disk), 0xFF) << extents;
    }
    EXPECT_TRUE(w.machine.TraceWith("A0E00000").empty()) << extents;
    ASSERT_EQ(w.recorder.messages.size(), 2u) << extents;
    EXPECT_EQ(w.recorder.messages[1].substr(0, w.recorder.messages[1].find('|')),
              "Standby mode not allowed: the disk that holds Windows could not be determined.");
  }
}

}  // namespace
