// What the command line asks, carried out at start-up as the program does:
// the main window reads the line, selects the drive it names and the page
// acts on it.
#include <gtest/gtest.h>

#include "MainWindow.h"
#include "drive/ReadSpeed.h"
#include "platform/Settings.h"

namespace {

using windows_test::Pump;

class Request : public testing::Test {
 protected:
  void SetUp() override { windows_test::FreshSettings("TorvaneRequests"); }
  static const drive::CommandLineRequest& RequestOf(MainWindow& w) {
    return w.dialog->driveList.request;
  }
  static std::string FirstMessage(MainWindow& w, size_t index = 0) {
    if (index >= w.recorder.messages.size()) return "(none)";
    const std::string& m = w.recorder.messages[index];
    return m.substr(0, m.find('|'));
  }
};

const char* const kDisks = R"(
[disk 0]
model = SYSTEM DISK
ata_paths = ata_pass_through
apm = 128
[disk 1]
model = BOTH FEATURES
ata_paths = sat12
apm = 254
aam = 128
[disk 2]
model = NEITHER
ata_paths = sat12
[volume C]
extents = 0
)";

TEST_F(Request, SeekNoiseThenPowerManagementThenStandby) {
  MainWindow w(kDisks, "Torvane.exe /DRIVE:HDD1 /APM:128 /AAM:OFF /STANDBY /QUIT");
  const std::vector<std::string> sent = w.machine.TraceWith("PhysicalDrive1 SPTD A1060C");
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_NE(sent[0].find("A1060CC200000000A0EF"), std::string::npos);  // AAM off
  EXPECT_NE(sent[1].find("A1060C0580000000A0EF"), std::string::npos);  // APM 128
  EXPECT_NE(sent[2].find("A1060C0000000000A0E0"), std::string::npos);  // standby
  EXPECT_EQ(w.machine.bay().DiskApm(1).level, 128);
  EXPECT_FALSE(w.machine.bay().DiskAam(1).enabled);
  EXPECT_EQ(w.machine.bay().DiskPowerMode(1), 0x00);
  EXPECT_EQ(RequestOf(w).outcome, drive::OutcomeDone);
  EXPECT_TRUE(w.dialog->EndRequested());
}

TEST_F(Request, LevelsSetWithTheWindowLeftOpenShowInItsControls) {
  MainWindow w(kDisks, "Torvane.exe /DRIVE:HDD1 /APM:100 /AAM:OFF");
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  EXPECT_FALSE(w.dialog->EndRequested());
  EXPECT_EQ(page.m_allowStandby.GetCheck(), BST_CHECKED);  // 100 allows standby
  EXPECT_EQ(page.m_apmSlider.GetPos(), 100);
  EXPECT_EQ(page.m_apmEnable.GetCheck(), BST_CHECKED);
  EXPECT_EQ(page.m_aamEnable.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(page.m_aamSlider.GetPos(), page.m_aamSlider.GetRangeMin());
}

TEST_F(Request, FeaturesADriveLacksAreRefusedWithoutSendingThem) {
  MainWindow w(kDisks, "Torvane.exe /DRIVE:HDD2 /APM:128 /AAM:200 /QUIT");
  EXPECT_TRUE(w.machine.TraceWith("A0EF").empty());
  EXPECT_EQ(RequestOf(w).outcome, drive::OutcomeNotSupported);
  EXPECT_EQ(FirstMessage(w, 0), "Seek noise control is not supported by this drive.");
  EXPECT_EQ(FirstMessage(w, 1), "Power management is not supported by this drive.");
  EXPECT_TRUE(w.dialog->EndRequested());
}

TEST_F(Request, OnTheWindowsDiskTheLevelsAreSetButNotStandby) {
  MainWindow w(kDisks, "Torvane.exe /DRIVE:HDD0 /APM:200 /STANDBY /QUIT");
  EXPECT_EQ(w.machine.TraceWith("PhysicalDrive0 ATA 05C8000000A0EF00").size(), 1u);
  EXPECT_TRUE(w.machine.TraceWith("A0E000").empty());
  EXPECT_EQ(RequestOf(w).outcome, drive::OutcomeStandbyRefused);
  EXPECT_EQ(FirstMessage(w), "Standby mode not allowed for system drive.");
}

TEST_F(Request, SpeedOnlyOnAHardDriveLeavesTheWindowOpen) {
  MainWindow w(kDisks, "Torvane.exe /DRIVE:HDD1 /FAST /QUIT");
  EXPECT_FALSE(w.dialog->EndRequested());
  EXPECT_EQ(RequestOf(w).outcome, drive::OutcomeDone);
  EXPECT_EQ(RequestOf(w).requestedDriveNumber, -1);  // consumed all the same
}

TEST_F(Request, ARefusedValueSendsNothingAndSaysWhich) {
  MainWindow w(kDisks, "Torvane.exe /DRIVE:HDD1 /AAM:200 /APM:255 /STANDBY /QUIT");
  EXPECT_TRUE(w.machine.TraceWith("A0EF").empty());
  EXPECT_TRUE(w.machine.TraceWith("A0E0").empty());
  EXPECT_EQ(RequestOf(w).outcome, drive::OutcomeValueRefused);
  EXPECT_EQ(FirstMessage(w), "Invalid value on the command line, nothing was done: /APM:255");
  EXPECT_TRUE(w.dialog->EndRequested());
  EXPECT_EQ(w.dialog->m_driveBox.GetCurSel(), 1);  // the named drive is shown
}

TEST_F(Request, ADriveThatIsNotThereIsToldByTheOutcome) {
  MainWindow w(kDisks, "Torvane.exe /DRIVE:HDD3 /STANDBY /QUIT");
  EXPECT_FALSE(w.dialog->EndRequested());  // the window stays open, as it always has
  EXPECT_EQ(RequestOf(w).outcome, drive::OutcomeNoSuchDrive);
  MainWindow quiet(kDisks, "Torvane.exe /QUIT");
  EXPECT_EQ(RequestOf(quiet).outcome, drive::OutcomeDone);  // nothing was asked
}

const char* const kDvdWriter = R"(
[optical E]
vendor = BAYOPT
product = DVD-RW DR-2160S
dvd_speeds = 22160, 16620, 11080, 8310, 5540, 2770
set_cd_speed = ignored
medium = dvd+r
)";
const char* const kDvdWriterModel = "BAYOPT  DVD-RW DR-2160S ";

TEST_F(Request, SilentLearnsFirstThenSetsTheSpeedByTheMethodFoundThenCloses) {
  MainWindow w(kDvdWriter, "Torvane.exe /DRIVE:ODD0 /SILENT /QUIT");
  for (int i = 0; i < 200 && !w.dialog->EndRequested(); ++i) Pump(50);
  EXPECT_TRUE(w.dialog->EndRequested());
  EXPECT_EQ(w.dialog->opticalDrivePage.pendingSpeedDrive, nullptr);
  // SET CD SPEED alone would leave it at full speed: the probe found streaming.
  EXPECT_EQ(w.machine.bay().OpticalCurrentSpeed('E'), 2770);
  EXPECT_EQ(platform::GetProfileString(kDvdWriterModel, "DVD speed list", ""),
            "CD 22160,16620,11080,8310,5540,2770");
  EXPECT_EQ(platform::GetProfileInt(kDvdWriterModel, "DVD speed", 0), 2770);
  EXPECT_EQ(RequestOf(w).outcome, drive::OutcomeDone);
  const std::vector<uint8_t> descriptor = w.machine.bay().LastParameterData('E');
  ASSERT_EQ(descriptor.size(), 28u);
  EXPECT_EQ(descriptor[14] << 8 | descriptor[15], 2770);

  // A second run knows the list: no probe, the same speed, by the same method.
  MainWindow again(kDvdWriter, "Torvane.exe /DRIVE:ODD0 /SILENT /QUIT");
  EXPECT_TRUE(again.dialog->EndRequested());
  EXPECT_EQ(again.machine.bay().OpticalCurrentSpeed('E'), 2770);
  EXPECT_EQ(again.machine.bay().OpticalSpeedCommands('E'), 1);
}

TEST_F(Request, FastWithoutADiscSetsNothingAndSaysSo) {
  MainWindow w(std::string(kDvdWriter).replace(std::string(kDvdWriter).find("dvd+r"), 5, "none"),
               "Torvane.exe /DRIVE:ODD0 /FAST /QUIT");
  EXPECT_TRUE(w.dialog->EndRequested());
  EXPECT_EQ(w.machine.bay().OpticalSpeedCommands('E'), 0);
  EXPECT_EQ(RequestOf(w).outcome, drive::OutcomeNoDisc);
}

const char* const kTimersWriter = R"(
[optical E]
medium = dvd-rom
idle_timer = 1200
standby_timer = 6000
)";

TEST_F(Request, TimersAsTheSetButtonsWithTheirBoxesCheckedOrCleared) {
  MainWindow w(kTimersWriter, "Torvane.exe /DRIVE:ODD0 /TIMER-IDLE:OFF /TIMER-STANDBY:0:15:00 /QUIT");
  const sim::Bay::PowerTimers timers = w.machine.bay().OpticalTimers('E');
  EXPECT_FALSE(timers.idle);
  EXPECT_EQ(timers.idleTimer, 1200u);  // OFF leaves the value the drive holds
  EXPECT_TRUE(timers.standby);
  EXPECT_EQ(timers.standbyTimer, 9000u);
  EXPECT_EQ(RequestOf(w).outcome, drive::OutcomeDone);
  EXPECT_TRUE(w.dialog->EndRequested());
  // "/STANDBY" is not read into the standby timer's option: nothing else.
  EXPECT_EQ(w.machine.bay().OpticalPowerCondition('E'), sim::Bay::PowerCondition::kActive);
}

TEST_F(Request, TimersOfADriveWithoutThemAreNotSupported) {
  MainWindow w(std::string(kTimersWriter) + "power_page = absent\n",
               "Torvane.exe /DRIVE:ODD0 /TIMER-IDLE:0:01:00 /QUIT");
  EXPECT_TRUE(w.machine.TraceWith("SPTD 55").empty());
  EXPECT_EQ(RequestOf(w).outcome, drive::OutcomeNotSupported);
  EXPECT_EQ(FirstMessage(w), "This drive has no power timers.");
}

TEST_F(Request, AnIdleTimerTheDriveRefusesIsACommandFailure) {
  MainWindow w(std::string(kTimersWriter) + "power_page = refused\n",
               "Torvane.exe /DRIVE:ODD0 /TIMER-IDLE:0:01:00 /QUIT");
  EXPECT_EQ(RequestOf(w).outcome, drive::OutcomeCommandFailed);
  EXPECT_TRUE(w.recorder.messages.empty());  // the idle Set reports nothing, as on the page
}

TEST_F(Request, AProbeThatTakesTooLongIsGivenUp) {
  // The wait is shortened by stopping the clock: its timer is sent at once.
  MainWindow w(std::string(kDvdWriter) + "latency_ms = 10\n", "Torvane.exe /DRIVE:ODD0 /FAST /QUIT");
  pages::COpticalDrivePage& page = w.dialog->opticalDrivePage;
  ASSERT_NE(page.probingDrive, nullptr);
  EXPECT_FALSE(w.dialog->EndRequested());
  page.SendMessage(WM_TIMER, pages::COpticalDrivePage::kRequestTimerId);
  EXPECT_TRUE(w.dialog->EndRequested());
  EXPECT_EQ(RequestOf(w).outcome, drive::OutcomeProbeTooLong);
  EXPECT_NE(page.probingDrive, nullptr);  // still learning; its list is kept when done
  for (int i = 0; i < 400 && page.probingDrive != nullptr; ++i) Pump(50);
  EXPECT_EQ(platform::GetProfileString(kDvdWriterModel, "DVD speed list", "").substr(0, 9),
            "CD 22160,");
}

}  // namespace
