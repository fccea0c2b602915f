// A sleeping disk stays asleep: with the window open, and after the page put
// it to standby, it receives CHECK POWER MODE and nothing that may wake it.
#include <gtest/gtest.h>

#include "MainWindow.h"
#include "drive/AtaCommands.h"

namespace {

using windows_test::Pump;
using windows_test::TextOf;

// A USB disk whose bridge speaks the F8h blocks and which spins up for
// IDENTIFY, as many bridges do. Discovery identifies it (and may wake it
// once); the tests put it back to sleep, as its own timer would.
const char* const kUsbDiskThatWakes = R"(
[disk 0]
model = SYSTEM DISK
ata_paths = ata_pass_through
[disk 1]
vendor = USB2.0
product = Ext. HDD
model = SLEEPY DISK
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
  EXPECT_EQ(bay.DiskPowerMode(1), 0xFF);  // discovery's IDENTIFY woke it, once
  w.Select(1);
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "level 254 (without standby)");
  bay.SetDiskPowerMode(1, 0x00);  // it goes back to sleep
  bay.ClearTrace();

  Poll(page, 6);  // 60 s of the page's 10-second timer

  EXPECT_EQ(bay.DiskPowerMode(1), 0x00);
  std::vector<std::string> disk1;
  for (const std::string& line : bay.Trace())
    if (line.rfind("PhysicalDrive1 ", 0) == 0) disk1.push_back(line.substr(0, 44));
  ASSERT_EQ(disk1.size(), 12u);
  for (size_t i = 0; i < disk1.size(); i += 2) {
    EXPECT_EQ(disk1[i], kCheckPowerModeF8);
    EXPECT_EQ(disk1[i + 1], kReadBackF8);
  }
  // What was read while it was awake stays on show.
  EXPECT_EQ(TextOf(page.m_powerMode.m_hWnd), "standby");
  EXPECT_EQ(TextOf(page.m_apmValue.m_hWnd), "level 254 (without standby)");
  EXPECT_EQ(TextOf(page.m_aamValue.m_hWnd), "level 128");
  EXPECT_TRUE(page.m_apmSet.IsWindowEnabled());
  EXPECT_TRUE(page.m_standby.IsWindowEnabled());
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
power_mode = standby
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

TEST(SleepingDisk, StandbyIsRefusedWhereTheWindowsDiskIsNotKnown) {
  // The Windows volume's extents cannot be read: any disk may hold it.
  MainWindow w("[disk 0]\nata_paths = sat12\n[volume C]\nextents = none\n");
  w.machine.bay().ClearTrace();
  w.dialog->hardDrivePage.OnStandby();
  EXPECT_TRUE(w.machine.TraceWith("A0E00000").empty());
  EXPECT_EQ(w.machine.bay().DiskPowerMode(0), 0xFF);
  ASSERT_EQ(w.recorder.messages.size(), 1u);
  EXPECT_EQ(w.recorder.messages[0].substr(0, w.recorder.messages[0].find('|')),
            "Standby mode not allowed: the disk that holds Windows could not be determined.");
}

}  // namespace
