// The hard drive page's standby timer row and wear counters. The drive
// cannot report its timer, so the page shows the one Torvane set, kept by the
// drive's serial number; the counters come from SMART READ DATA of an awake
// drive, at most every 10 minutes.
#include <cstdio>
#include <cstdlib>

#include "drive/AtaCommands.h"
#include "drive/IdentifyData.h"
#include "drive/OpticalCommands.h"
#include "drive/PowerMode.h"
#include "drive/SmartData.h"
#include "drive/StandbyTimer.h"
#include "framework/Shell.h"
#include "pages/HardDrivePage.h"
#include "pages/TimeMask.h"
#include "platform/SystemCalls.h"
#include "res/resource.h"
#include "ui/GradientColors.h"

namespace pages {

namespace {
const char* const kTimerRange = "The standby timer of a hard drive runs from 0:00:05 to 5:30:00.";
const char* const kTimerNoState =
    "The standby timer was not set: the drive cannot tell whether it sleeps, and setting the "
    "timer would wake it or send it to sleep.";
const char* const kTimerNotSupported = "This drive has no standby timer that Torvane can set.";
const char* const kTimerError = "Error setting the drive's standby timer";
const char* const kNotPolled =
    "Torvane does not ask this drive every 10 seconds: each question would restart its timer.";
const char* const kReadWhenAwake = "drive asleep: read when it wakes";
const char* const kNotReported = "not reported";

}  // namespace

void CHardDrivePage::InitTimerAndWear() {
  for (int i = 0; i < drive::kMaxDrives; ++i) wearReadAt_[i] = -1;
  for (ui::CTransparentStatic* label : {&m_timerValue, &m_headLoads, &m_spinUps})
    label->m_crText = ui::kValueColour;
  m_wearHeading.SetBoldFont();
  m_timerField.SetMask("##:##:##");
  m_timerSpin.SetRange32(0, static_cast<int>(drive::kLongestStandbyTimer));
}

bool CHardDrivePage::ScsiStandbyTimer(const drive::HardDriveInfo& drive) {
  uint8_t& known = scsiTimerPage_[driveList->selectedIndex];
  if (drive.ataPath != drive::PathNone) return false;
  if (known == 0) {
    // The page's changeable values (page control 01b): is its STANDBY bit?
    uint8_t page[drive::kPowerConditionPageLength] = {};
    const bool read = drive::ModeSense10(drive.deviceHandle, 0x40 | drive::kPowerConditionPage,
                                         page, sizeof page) == drive::kCommandGood;
    known = read && (page[8] & 0x3F) == drive::kPowerConditionPage && (page[11] & 0x01) ? 1 : 2;
  }
  return known == 1;
}

void CHardDrivePage::ShowTimer(const drive::HardDriveInfo& drive, bool updateControls) {
  const bool available = drive.ataPath != drive::PathNone || ScsiStandbyTimer(drive);
  const drive::DiskRecord record = drive::LoadDiskRecord(drive::RecordSerial(drive));
  timerRuns_ = record.timerSet && record.timerSeconds != 0;
  for (fw::CWnd* control : {static_cast<fw::CWnd*>(&m_timerEnable), static_cast<fw::CWnd*>(&m_timerField),
                            static_cast<fw::CWnd*>(&m_timerSpin), static_cast<fw::CWnd*>(&m_timerSet)})
    control->EnableWindow(available ? TRUE : FALSE);
  m_timerValue.SetWindowText(available ? drive::StandbyTimerText(record).c_str() : "not supported");
  if (updateControls) {
    m_timerEnable.SetCheck(timerRuns_ ? BST_CHECKED : BST_UNCHECKED);
    if (record.timerSet)
      m_timerField.SetDigits(TimeDigits(record.timerSeconds));
    else
      m_timerField.SetDigits("");
    m_timerSpin.SetPos32(record.timerSet ? static_cast<int>(record.timerSeconds) : 0);
  }
  // Besides the timer, a power management level below 128 lets the drive go
  // to standby by itself, as its maker decides.
  std::string note = timerRuns_ ? kNotPolled : "";
  const int apmLevel = drive.apmLevelWord & 0xFF;
  if (!drive.identityPending && drive.apmSupported && (drive.featuresEnabled & drive::kApmBit) &&
      apmLevel > 0 && apmLevel < 128) {
    char text[96];
    std::snprintf(text, sizeof text,
                  "Power management level %d also lets the drive sleep sooner by itself.",
                  apmLevel);
    note += (note.empty() ? "" : "\n") + std::string(text);
  }
  m_timerNote.SetWindowText(note.c_str());
}

void CHardDrivePage::ShowWear(const drive::HardDriveInfo& drive, bool awake) {
  const int slot = driveList->selectedIndex;
  const std::string serial = drive::RecordSerial(drive);
  // Read when awake and SMART is on: first, then every 10 minutes at most.
  if (awake && drive.smartEnabled) {
    const int64_t now = platform::GetClockSeconds();
    if (wearReadAt_[slot] < 0 || now - wearReadAt_[slot] >= kWearReadInterval) {
      uint8_t data[drive::kSmartDataLength];
      if (drive::AtaSmartReadData(drive, data)) {
        wear_[slot] = drive::ReadWearCounts(data);
        wearReadAt_[slot] = now;
        drive::SaveFirstReading(serial, wear_[slot], now);
      }
    }
  }
  if (wearReadAt_[slot] < 0) {
    const char* text = drive.featuresRead && !drive.smartEnabled ? kNotReported
                       : !awake                                  ? kReadWhenAwake
                                                                 : kNotReported;
    m_headLoads.SetWindowText(text);
    m_spinUps.SetWindowText(text);
    return;
  }
  // A damaged table shows nothing rather than a wrong number.
  const drive::WearCounts& now = wear_[slot];
  const drive::DiskRecord record = drive::LoadDiskRecord(serial);
  const int64_t at = wearReadAt_[slot];
  m_headLoads.SetWindowText(drive::WearText(now.intact && now.hasHeadLoads, now.headLoads,
                                            record.first.hasHeadLoads, record.first.headLoads,
                                            record.firstReadAt, at)
                                .c_str());
  m_spinUps.SetWindowText(drive::WearText(now.intact && now.hasSpinUps, now.spinUps,
                                          record.first.hasSpinUps, record.first.spinUps,
                                          record.firstReadAt, at)
                              .c_str());
}

void CHardDrivePage::OnSetStandbyTimer() {
  const bool on = m_timerEnable.GetCheck() == BST_CHECKED;
  SetStandbyTimer(on ? DigitsSeconds(m_timerField.GetDigits()) : 0);
}

drive::RequestOutcome CHardDrivePage::SetStandbyTimer(uint32_t seconds) {
  drive::HardDriveInfo* drive = SelectedDrive();
  if (drive == nullptr) return drive::OutcomeNoSuchDrive;
  const int slot = driveList->selectedIndex;
  if (seconds != 0 &&
      (seconds < drive::kShortestStandbyTimer || seconds > drive::kLongestStandbyTimer)) {
    fw::AfxMessageBox(kTimerRange, MB_ICONERROR);
    return drive::OutcomeValueRefused;
  }
  pollingEnabled = false;  // no poll inside a message box's loop
  uint32_t held = seconds;
  bool done = false;
  drive::RequestOutcome outcome = drive::OutcomeDone;
  if (drive->ataPath != drive::PathNone) {
    const uint8_t count = drive::StandbyTimerCount(seconds);
    held = drive::StandbyTimerSeconds(count);
    // IDLE to a spinning drive, STANDBY to a sleeping one: the timer is set
    // and the drive stays as it is. One whose state is not known is not
    // sent either.
    drive::AtaTaskFile registers = {};
    const drive::PowerModeAnswer answer = drive::AtaCheckPowerMode(*drive, &registers)
                                              ? drive::ReadPowerModeAnswer(registers)
                                              : drive::PowerModeAnswer{};
    const bool known = answer.answered || sentToStandby_[slot] || identifyRead_;
    const bool asleep = answer.answered ? answer.asleep : sentToStandby_[slot];
    if (!known) {
      fw::AfxMessageBox(kTimerNoState, MB_ICONERROR);
      outcome = drive::OutcomeCommandFailed;
    } else {
      done = asleep ? drive::AtaStandby(*drive, count) : drive::AtaIdle(*drive, count);
    }
  } else if (ScsiStandbyTimer(*drive)) {
    done = drive::WritePowerConditions(drive->deviceHandle, drive::kLeaveUnchanged,
                                       seconds != 0 ? 1 : 0, drive::kLeaveUnchanged,
                                       static_cast<int32_t>(seconds * 10));
  } else {
    fw::AfxMessageBox(kTimerNotSupported, MB_ICONERROR);
    outcome = drive::OutcomeNotSupported;
  }
  if (done) {
    drive::SaveStandbyTimer(drive::RecordSerial(*drive), held, seconds,
                            platform::GetClockSeconds());
  } else if (outcome == drive::OutcomeDone) {
    fw::AfxMessageBox(kTimerError, MB_ICONERROR);
    outcome = drive::OutcomeCommandFailed;
  }
  RefreshStatus(true);
  pollingEnabled = true;
  return outcome;
}

void CHardDrivePage::OnVScroll(UINT code, UINT position, HWND scrollBar) {
  if (code == SB_THUMBPOSITION && scrollBar == m_timerSpin.m_hWnd)
    m_timerField.SetDigits(TimeDigits(position));
  Default(WM_VSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(scrollBar));
}

}  // namespace pages
