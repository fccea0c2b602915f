// The hard drive page's standby timer and wear counters, judged by what the
// drives received and what the page shows.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "MainWindow.h"

namespace {

using windows_test::TextOf;

void Poll(pages::CHardDrivePage& page, int times) {
  for (int i = 0; i < times; ++i) page.SendMessage(WM_TIMER, pages::CHardDrivePage::kTimerId);
}

// Disk 1 on the SAT path, awake; disk 2 behind an F8h bridge, asleep (its
// serial number known from its driver, so that it can be remembered); the
// machine's time runs `timeScale` times faster than the real one.
std::string Disks(int timeScale) {
  return "[system]\nclock = 2026-12-08 10:00:00\ntime_scale = " + std::to_string(timeScale) +
         R"(
[disk 0]
ata_paths = ata_pass_through
[disk 1]
serial = AWAKE1
ata_paths = sat12
apm = 96
smart_attributes = 4:1234 193:56789
load_cycles_per_hour = 60
[disk 2]
serial = ASLEEP2
property_serial = ASLEEP2
ata_paths = vendor_f8
power_mode = standby
wakes_on = identify, read_capacity
smart_attributes = 4:5 193:6
[disk 3]
serial = NOSMART3
ata_paths = sat12
[disk 5]
property_serial = SCSI5
ata_paths = none
power_page = writable
[volume C]
extents = 0
)";
}

TEST(TimerAndWear, TheNearestTimerIsSetWithoutASpinChangeAndTheDriveIsLeftToCount) {
  windows_test::FreshSettings("timer_tests");
  MainWindow w(Disks(1));
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  struct Case {
    int slot;
    const char* sent;  // the command with the count 242 (1 h), as traced
    uint8_t power;     // afterwards
  };
  const Case cases[] = {
      {1, "PhysicalDrive1 SPTD A1060C00F2000000A0E30000", 0x80},  // IDLE: it spins on
      {2, "PhysicalDrive2 SPTD F800221000" "00F2000000A0E2", 0x00},  // STANDBY: asleep
  };
  for (const Case& c : cases) {
    w.Select(c.slot);
    w.machine.bay().ClearTrace();
    page.m_timerEnable.SetCheck(BST_CHECKED);
    page.m_timerField.SetDigits("004500");
    page.OnSetStandbyTimer();
    EXPECT_EQ(w.machine.TraceWith(c.sent).size(), 1u) << c.slot;
    EXPECT_EQ(w.machine.bay().DiskPowerMode(c.slot), c.power) << c.slot;
    EXPECT_EQ(TextOf(page.m_timerValue.m_hWnd),
              "1 h (nearest to 0:45:00), set 2026-12-08; the drive forgets it when it loses power");
    EXPECT_EQ(TextOf(page.m_timerField.m_hWnd), "01:00:00");
    // Every command would start its count again: the page asks it nothing more.
    w.machine.bay().ClearTrace();
    Poll(page, 6);
    EXPECT_TRUE(w.machine.TraceWith("PhysicalDrive").empty()) << c.slot;
    EXPECT_TRUE(w.recorder.messages.empty()) << c.slot;
  }
  EXPECT_NE(TextOf(page.m_timerNote.m_hWnd).find("does not ask this drive"), std::string::npos);
  // Disk 1's power management lets it sleep sooner; the page says so.
  w.Select(1);
  EXPECT_NE(TextOf(page.m_timerNote.m_hWnd).find("level 96 also lets the drive sleep sooner"),
            std::string::npos);
  // A SCSI disk (PhysicalDrive5, the fifth entry) holds the period asked, in
  // its power condition page.
  w.Select(4);
  page.m_timerEnable.SetCheck(BST_CHECKED);
  page.m_timerField.SetDigits("004500");
  page.OnSetStandbyTimer();
  EXPECT_EQ(w.machine.TraceWith("PhysicalDrive5 SPTD 551000000000000014000000").size(), 1u);
  EXPECT_NE(w.machine.bay().StateText().find("disk 5 power=active apm=unsupported "
                                             "aam=unsupported timer=2700s"),
            std::string::npos);
  EXPECT_EQ(TextOf(page.m_timerValue.m_hWnd),
            "45 min, set 2026-12-08; the drive forgets it when it loses power");
  // A period no drive can hold sends nothing.
  page.m_timerField.SetDigits("090000");
  w.machine.bay().ClearTrace();
  page.OnSetStandbyTimer();
  EXPECT_TRUE(w.machine.TraceWith("A0E3").empty());
  ASSERT_EQ(w.recorder.messages.size(), 1u);
}

TEST(TimerAndWear, CountsAndRatesOfAwakeDrivesOnlyAndNothingFromADamagedTable) {
  windows_test::FreshSettings("wear_tests");
  MainWindow w(Disks(36000) + std::string("[disk 4]\nserial = DAMAGED4\nata_paths = sat12\n"
                                    "smart_attributes = 4:1 193:2\nsmart_checksum = bad\n"));
  pages::CHardDrivePage& page = w.dialog->hardDrivePage;
  // The count as shown ("56,969 (1,440 a day)" reads 56969).
  const auto count = [](const std::string& text) {
    long value = 0;
    for (char c : text.substr(0, text.find(' ')))
      if (c != ',') value = value * 10 + (c - '0');
    return value;
  };
  w.Select(1);
  const std::string first = TextOf(page.m_headLoads.m_hWnd);
  EXPECT_GE(count(first), 56789) << first;
  EXPECT_EQ(first.find('('), std::string::npos) << first;  // a rate needs a second reading
  EXPECT_EQ(TextOf(page.m_spinUps.m_hWnd), "1,234");
  // Hours of the machine's time later (a quarter of a real second): read
  // again, and the rate is that of the load cycles meanwhile.
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  Poll(page, 1);
  const std::string loads = TextOf(page.m_headLoads.m_hWnd);
  EXPECT_GT(count(loads), count(first)) << loads;
  EXPECT_EQ(loads.substr(loads.size() - 7), " a day)") << loads;
  EXPECT_EQ(TextOf(page.m_spinUps.m_hWnd), "1,234 (0.0 a day)");

  // A sleeping drive: never asked, not to wake it.
  w.Select(2);
  w.machine.bay().ClearTrace();
  Poll(page, 6);
  EXPECT_TRUE(w.machine.TraceWith("A0B0").empty());
  EXPECT_EQ(w.machine.bay().DiskPowerMode(2), 0x00);
  EXPECT_EQ(TextOf(page.m_headLoads.m_hWnd), "drive asleep: read when it wakes");
  for (int slot : {3, 4}) {  // no SMART at all; a table whose checksum fails
    w.Select(slot);
    EXPECT_EQ(TextOf(page.m_headLoads.m_hWnd), "not reported") << slot;
    EXPECT_EQ(TextOf(page.m_spinUps.m_hWnd), "not reported") << slot;
  }
}

}  // namespace
