// A drive nobody here wrote: QEMU's emulated CD drive, as the bay learned it
// (the second sample machine).
// Page 2Ah always reports 704 KB/s, SET CD SPEED is taken and ignored, SET
// STREAMING, GET PERFORMANCE and MODE SELECT are unknown opcodes, and
// neither the serial number feature nor the power condition page exists.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "MainWindow.h"
#include "framework/Shell.h"
#include "platform/Settings.h"

namespace {

using windows_test::Pump;
using windows_test::TextOf;

// The second sample machine, examples/emulated.bay.
std::string EmulatedMachine() {
  // CTest names the source tree; run by hand, this file's own path tells it.
  const char* source = std::getenv("TORVANE_SOURCE_DIR");
  std::string root = source ? source : __FILE__;
  if (!source) root = root.substr(0, root.rfind("/tests/windows/"));
  std::FILE* file = std::fopen((root + "/examples/emulated.bay").c_str(), "rb");
  std::string text;
  if (file != nullptr) {
    char block[4096];
    size_t count;
    while ((count = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, count);
    std::fclose(file);
  }
  EXPECT_FALSE(text.empty()) << "examples/emulated.bay not found under " << root;
  return text;
}
const std::string kEmulatedDrive = EmulatedMachine();
const char* const kSection = "QEMU    QEMU DVD-ROM    ";

class EmulatedDrive : public testing::Test {
 protected:
  void SetUp() override { windows_test::FreshSettings("TorvaneEmulatedDrive"); }
  static void WaitForProbe(pages::COpticalDrivePage& page) {
    for (int i = 0; i < 200 && page.probingDrive != nullptr; ++i) Pump(50);
    ASSERT_EQ(page.probingDrive, nullptr);
  }
};

TEST_F(EmulatedDrive, CurrentSpeedFromThePageThatWorksAndNoListAfterTheProbe) {
  MainWindow w(kEmulatedDrive);
  w.Select(1);
  pages::COpticalDrivePage& page = w.dialog->opticalDrivePage;
  WaitForProbe(page);
  EXPECT_EQ(TextOf(w.dialog->m_driveLabel.m_hWnd), "");  // no serial number
  EXPECT_EQ(TextOf(page.m_discTypeLabel.m_hWnd), "CD");
  EXPECT_EQ(TextOf(page.m_currentSpeed.m_hWnd), "4 X (704 KB/s)");
  EXPECT_EQ(page.m_speedList.GetCount(), 0);
  EXPECT_FALSE(page.m_speedList.IsWindowEnabled());
  EXPECT_TRUE(page.m_silent.IsWindowEnabled());
  // Stored as a probe that learned nothing: not taken for a learned list.
  EXPECT_EQ(platform::GetProfileString(kSection, "CD speed list", ""), "DD ");

  // Polling and a new look at the drive do not probe again...
  w.machine.bay().ClearTrace();
  for (int i = 0; i < 3; ++i) page.SendMessage(WM_TIMER, pages::COpticalDrivePage::kTimerId);
  w.Select(0);
  w.Select(1);
  EXPECT_TRUE(w.machine.TraceWith("SPTD BB").empty());
  // ...the refresh button does.
  page.OnRefresh();
  WaitForProbe(page);
  EXPECT_FALSE(w.machine.TraceWith("SPTD BB").empty());
}

TEST_F(EmulatedDrive, NoTimersShownForADriveWithoutThePage) {
  MainWindow w(kEmulatedDrive);
  w.Select(1);
  pages::COpticalDrivePage& page = w.dialog->opticalDrivePage;
  WaitForProbe(page);
  EXPECT_FALSE(page.timersAvailable);
  for (fw::CWnd* control :
       {static_cast<fw::CWnd*>(&page.m_idleTimerCheck), static_cast<fw::CWnd*>(&page.m_idleField),
        static_cast<fw::CWnd*>(&page.m_setIdle), static_cast<fw::CWnd*>(&page.m_standbyTimerCheck),
        static_cast<fw::CWnd*>(&page.m_standbyField),
        static_cast<fw::CWnd*>(&page.m_setStandby)})
    EXPECT_FALSE(control->IsWindowEnabled());
  EXPECT_TRUE(page.m_timersNote.IsWindowVisible());
  EXPECT_EQ(TextOf(page.m_timersNote.m_hWnd), "This drive has no power timers.");
  EXPECT_EQ(TextOf(page.m_idleField.m_hWnd), "__:__:__");  // never 00:00:00
  EXPECT_EQ(TextOf(page.m_standbyField.m_hWnd), "__:__:__");
  EXPECT_TRUE(page.m_standbyNow.IsWindowEnabled());  // standby now is another command
  windows_test::SaveScreenshot(w.dialog->m_hWnd, "main-emulated-drive");
}

TEST_F(EmulatedDrive, SilentGoesOutByTheMethodTheDriveTakes) {
  MainWindow w(kEmulatedDrive);
  w.Select(1);
  pages::COpticalDrivePage& page = w.dialog->opticalDrivePage;
  WaitForProbe(page);
  w.machine.bay().ClearTrace();
  page.OnSilent();
  // SET STREAMING is refused, SET CD SPEED taken: 704 KB/s is 02C0h.
  EXPECT_EQ(w.machine.TraceWith("D: SPTD BB0002C0").size(), 1u);
  EXPECT_EQ(platform::GetProfileInt(kSection, "CD speed", 0), 704);
}

TEST_F(EmulatedDrive, ASpeedNoMethodCanReadIsUnknown) {
  MainWindow w(kEmulatedDrive + "capabilities_page = no\n");
  w.Select(1);
  pages::COpticalDrivePage& page = w.dialog->opticalDrivePage;
  WaitForProbe(page);
  EXPECT_EQ(TextOf(page.m_currentSpeed.m_hWnd), "unknown");
}

TEST(MessageBoxes, AnUnattendedBoxClosesItself) {
  fw::SetMessageBoxTimeout(300);
  const auto start = std::chrono::steady_clock::now();
  fw::AfxMessageBox("closes by itself", MB_ICONERROR);
  const auto shown = std::chrono::steady_clock::now() - start;
  fw::SetMessageBoxTimeout(0);
  EXPECT_GE(shown, std::chrono::milliseconds(250));
  EXPECT_LT(shown, std::chrono::seconds(10));
}

}  // namespace
