#include "pages/OpticalDrivePage.h"

#include <cstdio>
#include <cstdlib>

#include "drive/Bytes.h"
#include "drive/OpticalCommands.h"
#include "drive/ReadSpeed.h"
#include "framework/Shell.h"
#include "res/resource.h"
#include "ui/GradientColors.h"
#include "ui/Dpi.h"
#include "ui/Drawing.h"

namespace pages {

namespace {
constexpr int32_t kMaxTimerValue = 0xFFFF;  // 100 ms units: 01:49:13.5
}  // namespace

const char* const COpticalDrivePage::kNoTimers = "This drive has no power timers.";

BEGIN_MESSAGE_MAP(COpticalDrivePage, fw::CDialog)
ON_WM_TIMER()
ON_BN_CLICKED(IDC_ODD_STANDBY, OnStandby)
ON_BN_CLICKED(IDC_ODD_REFRESH, OnRefresh)
ON_BN_CLICKED(IDC_ODD_FAST, OnFast)
ON_BN_CLICKED(IDC_ODD_SILENT, OnSilent)
ON_BN_CLICKED(IDC_ODD_IDLE_SET, OnSetIdleTimer)
ON_BN_CLICKED(IDC_ODD_STANDBY_SET, OnSetStandbyTimer)
ON_BN_CLICKED(IDC_ODD_IDLE, OnIdle)
ON_CBN_SELCHANGE(IDC_ODD_SPEED_LIST, OnSpeedSelected)
ON_WM_VSCROLL()
ON_MESSAGE(drive::WM_SPEEDLISTREADY, OnSpeedListReady)
ON_MESSAGE(WM_STARTSPEEDPROBE, OnStartSpeedProbe)
END_MESSAGE_MAP()

COpticalDrivePage::COpticalDrivePage() : fw::CDialog(IDD_OPTICAL_PAGE) {}

COpticalDrivePage::~COpticalDrivePage() = default;

void COpticalDrivePage::DoDataExchange(fw::CDataExchange* x) {
  fw::CDialog::DoDataExchange(x);
  fw::DDX_Control(x, IDC_ODD_POWER_HEADING, m_powerHeading);
  fw::DDX_Control(x, IDC_ODD_IDLE_ENABLE, m_idleTimerCheck);
  fw::DDX_Control(x, IDC_ODD_IDLE_TIME, m_idleField);
  fw::DDX_Control(x, IDC_ODD_IDLE_SPIN, m_idleSpin);
  fw::DDX_Control(x, IDC_ODD_IDLE_SET, m_setIdle);
  fw::DDX_Control(x, IDC_ODD_IDLE, m_idleNow);
  fw::DDX_Control(x, IDC_ODD_STANDBY_ENABLE, m_standbyTimerCheck);
  fw::DDX_Control(x, IDC_ODD_STANDBY_TIME, m_standbyField);
  fw::DDX_Control(x, IDC_ODD_STANDBY_SPIN, m_standbySpin);
  fw::DDX_Control(x, IDC_ODD_STANDBY_SET, m_setStandby);
  fw::DDX_Control(x, IDC_ODD_STANDBY, m_standbyNow);
  fw::DDX_Control(x, IDC_ODD_TIMERS_NOTE, m_timersNote);
  fw::DDX_Control(x, IDC_ODD_SPEED_HEADING, m_speedHeading);
  fw::DDX_Control(x, IDC_ODD_DISC_TYPE, m_discTypeLabel);
  fw::DDX_Control(x, IDC_ODD_CURRENT_SPEED, m_currentSpeed);
  fw::DDX_Control(x, IDC_ODD_SPEED_LIST, m_speedList);
  fw::DDX_Control(x, IDC_ODD_REFRESH, m_refresh);
  fw::DDX_Control(x, IDC_ODD_FAST, m_fast);
  fw::DDX_Control(x, IDC_ODD_SILENT, m_silent);
}

BOOL COpticalDrivePage::OnInitDialog() {
  fw::CDialog::OnInitDialog();
  ShowImagesAt(ui::WindowDpi(m_hWnd));
  for (ui::CTransparentStatic* label : {&m_discTypeLabel, &m_currentSpeed}) {
    label->m_crText = ui::kValueColour;
    label->m_bOpaque = true;
  }
  m_powerHeading.SetBoldFont();
  m_speedHeading.SetBoldFont();
  m_timersNote.m_crText = ui::kValueColour;
  m_timersNote.SetWindowText(kNoTimers);
  m_idleSpin.SetRange32(0, 65535);
  m_standbySpin.SetRange32(0, 65535);
  m_idleField.SetMask("##:##:##");
  m_standbyField.SetMask("##:##:##");

  const fw::CToolTipCtrl::Tool tools[] = {
      {&m_standbyNow, IDS_TIP_STANDBY},
      {&m_idleNow, IDS_TIP_IDLE},
      {&m_setStandby, IDS_TIP_STANDBY_SET},
      {&m_setIdle, IDS_TIP_IDLE_SET},
      {&m_standbyField, IDS_TIP_STANDBY_TIME},
      {&m_standbySpin, IDS_TIP_STANDBY_TIME},
      {&m_idleField, IDS_TIP_IDLE_TIME},
      {&m_idleSpin, IDS_TIP_IDLE_TIME},
      {&m_standbyTimerCheck, IDS_TIP_ALLOW_STANDBY},
      {&m_idleTimerCheck, IDS_TIP_ALLOW_IDLE},
      {&m_refresh, IDS_TIP_REFRESH},
      {&m_fast, IDS_TIP_FAST},
      {&m_silent, IDS_TIP_SILENT},
      {&m_speedList, IDS_TIP_SPEED_LIST},
  };
  if (toolTipControl_.CreateWithTools(this, tools)) toolTip = &toolTipControl_;
  shownDiscType = -1;
  SetTimer(kTimerId, kTimerPeriod);
  return TRUE;
}

void COpticalDrivePage::ShowImagesAt(int dpi) {
  ui::SetupIconButton(m_refresh, refreshImages_, IDI_REFRESH, 18, dpi);
}

bool COpticalDrivePage::PreTranslateMessage(MSG* message) {
  if (toolTip != nullptr) toolTip->RelayEvent(message);
  return fw::CDialog::PreTranslateMessage(message);
}

drive::OpticalDriveInfo* COpticalDrivePage::SelectedDrive() const {
  if (driveList == nullptr || driveList->selectedIndex < 0 ||
      driveList->selectedIndex >= driveList->driveCount)
    return nullptr;
  drive::OpticalDriveInfo& slot = driveList->slots[driveList->selectedIndex].optical;
  return slot.kind == drive::KindOpticalDrive ? &slot : nullptr;
}

// Polling stays off while a probe runs; its ready message turns it on.
void COpticalDrivePage::ResumePolling() { pollingEnabled = probingDrive == nullptr; }

void COpticalDrivePage::UpdateDiscType() {
  drive::OpticalDriveInfo* selected = SelectedDrive();
  if (selected == nullptr) return;
  shownDrive = selected;
  // The probed drive's medium and tables belong to the probe until it is done.
  if (selected != probingDrive) {
    discType = drive::DetectDiscType(selected->deviceHandle);
    selected->discType = discType;
  } else {
    discType = selected->discType;
  }
  if (shownDiscType == -1 || shownDiscType != discType) {
    m_discTypeLabel.SetWindowText("");
    m_discTypeLabel.SetWindowText(drive::DiscTypeName(discType));
  }
  shownDiscType = discType;
  shownTable = &drive::CurrentSpeedTable(*selected);
  CarryOutRequest();
}

void COpticalDrivePage::EnableSpeedControls(bool enable) {
  // A drive being probed keeps its controls off: nothing may change its
  // speed or touch its table until the list is ready.
  const BOOL on = enable && shownDrive != probingDrive ? TRUE : FALSE;
  m_speedList.EnableWindow(on);
  m_silent.EnableWindow(on);
  m_fast.EnableWindow(on);
  m_refresh.EnableWindow(on);
}

void COpticalDrivePage::EnableTimerControls(bool enable) {
  const BOOL on = enable ? TRUE : FALSE;
  for (fw::CWnd* control :
       {static_cast<fw::CWnd*>(&m_idleTimerCheck), static_cast<fw::CWnd*>(&m_idleField),
        static_cast<fw::CWnd*>(&m_idleSpin), static_cast<fw::CWnd*>(&m_setIdle),
        static_cast<fw::CWnd*>(&m_standbyTimerCheck), static_cast<fw::CWnd*>(&m_standbyField),
        static_cast<fw::CWnd*>(&m_standbySpin), static_cast<fw::CWnd*>(&m_setStandby)})
    control->EnableWindow(on);
  m_timersNote.ShowWindow(enable ? SW_HIDE : SW_SHOW);
}

// The drive belongs to the probe from here on; its worker starts when the
// posted message comes, after the page (and the main window) have sent what
// they send while showing the drive: then the order of the commands a drive
// receives is the same on every run.
void COpticalDrivePage::StartProbe() {
  pollingEnabled = false;
  probingDrive = shownDrive;
  shownTable->notifyWindow = m_hWnd;
  m_speedList.ResetContent();
  EnableSpeedControls(false);
  PostMessage(WM_STARTSPEEDPROBE, 0, 0);
}

LRESULT COpticalDrivePage::OnStartSpeedProbe(WPARAM, LPARAM) {
  drive::OpticalDriveInfo* probed = probingDrive;
  if (probed == nullptr || drive::StartSpeedProbe(*probed)) return 0;
  // No worker could be started: nothing was learned and nothing is stored.
  // The page works without a list, and a waiting command-line speed goes
  // out by whichever method the drive takes.
  probingDrive = nullptr;
  pollingEnabled = true;
  if (probed == shownDrive) {
    EnableSpeedControls(true);
    m_speedList.EnableWindow(FALSE);
    ShowCurrentSpeed();
  }
  if (probed == pendingSpeedDrive) FinishPendingSpeed(*probed);
  return 0;
}

void COpticalDrivePage::RefreshDrive() {
  UpdateDiscType();
  if (shownDrive == nullptr) return;
  m_currentSpeed.SetWindowText("");
  if (shownDrive == probingDrive) {  // its list comes with the probe's message
    m_speedList.ResetContent();
    EnableSpeedControls(false);
    return;
  }
  if (discType == drive::DiscNone) {
    m_speedList.ResetContent();
    EnableSpeedControls(false);
    m_currentSpeed.SetWindowText("-");
    return;
  }
  EnableSpeedControls(true);
  shownTable->notifyWindow = m_hWnd;
  drive::LoadSpeedList(*shownDrive);
  if (shownTable->speedCount > 0) {
    FillSpeedBox();
    return;
  }
  if (shownTable->probeFoundNone && !forceProbe_) {
    // This model taught nothing for this medium: no list to choose from, and
    // no new probe by itself. Fast, Silent and the refresh button stay.
    m_speedList.ResetContent();
    m_speedList.EnableWindow(FALSE);
    ShowCurrentSpeed();
    return;
  }
  if (probingDrive != nullptr) {  // one probe at a time: this drive waits for a refresh
    m_currentSpeed.SetWindowText("-");
    EnableSpeedControls(false);
    return;
  }
  StartProbe();
}

void COpticalDrivePage::ShowCurrentSpeed() {
  m_currentSpeed.SetWindowText("");
  // Read by the method that works; a speed that cannot be read is unknown.
  shownTable->currentSpeed = drive::ReadSpeedByAnyMethod(*shownDrive);
  m_currentSpeed.SetWindowText(
      shownTable->currentSpeed > 0
          ? drive::FormatSpeed(shownDrive->discType, shownTable->currentSpeed).c_str()
          : "unknown");
}

void COpticalDrivePage::FillSpeedBox() {
  m_speedList.ResetContent();
  ShowCurrentSpeed();
  int selected = 0;
  for (int i = 0; i < shownTable->speedCount; ++i) {
    m_speedList.AddString(drive::FormatSpeed(shownDrive->discType, shownTable->speeds[i]).c_str());
    if (shownTable->speeds[i] == shownTable->currentSpeed) selected = i;
  }
  m_speedList.SetCurSel(selected);
}

LRESULT COpticalDrivePage::OnSpeedListReady(WPARAM wParam, LPARAM) {
  if (wParam != 1 || probingDrive == nullptr) return 1;
  drive::OpticalDriveInfo* probed = probingDrive;
  probingDrive = nullptr;
  drive::SaveSpeedList(*probed);  // the probed drive's list, whichever drive is shown
  pollingEnabled = true;
  if (SelectedDrive() == nullptr) return 1;
  if (probed == shownDrive) {
    shownTable = &drive::CurrentSpeedTable(*probed);
    EnableSpeedControls(true);
    if (shownTable->speedCount > 0) {
      FillSpeedBox();
    } else {
      m_speedList.EnableWindow(FALSE);
      ShowCurrentSpeed();
    }
  } else {
    RefreshDrive();  // the drive shown meanwhile gets its own list (or probe) now
  }
  if (probed == pendingSpeedDrive) FinishPendingSpeed(*probed);
  return 1;
}

void COpticalDrivePage::OnTimer(UINT_PTR id) {
  if (id == kRequestTimerId) {
    GiveUpPendingSpeed();
    return;
  }
  if (pollingEnabled && SelectedDrive() != nullptr) {
    const int32_t before = discType;
    UpdateDiscType();
    if (discType != before) RefreshDrive();
  }
  Default(WM_TIMER, id, 0);
}

void COpticalDrivePage::LoadTimers() {
  drive::OpticalDriveInfo* drive = SelectedDrive();
  if (drive == nullptr) return;
  pollingEnabled = false;
  uint8_t page[drive::kPowerConditionPageLength] = {};
  // A drive without the page has no timers: nothing is shown as its value.
  timersAvailable = drive::ReadPowerConditionPage(drive->deviceHandle, page, sizeof page) ==
                    drive::kCommandGood;
  EnableTimerControls(timersAvailable);
  if (!timersAvailable) {
    m_idleTimerCheck.SetCheck(BST_UNCHECKED);
    m_standbyTimerCheck.SetCheck(BST_UNCHECKED);
    m_idleField.SetDigits("");
    m_standbyField.SetDigits("");
    ResumePolling();
    return;
  }
  const drive::PowerTimerSettings timers = drive::DecodePowerConditionPage(page);
  m_idleTimerCheck.SetCheck(timers.idleEnabled ? BST_CHECKED : BST_UNCHECKED);
  m_standbyTimerCheck.SetCheck(timers.standbyEnabled ? BST_CHECKED : BST_UNCHECKED);
  const int idleSeconds = static_cast<int>(timers.idleSeconds);
  const int standbySeconds = static_cast<int>(timers.standbySeconds);
  m_idleField.SetDigits(TimeDigits(timers.idleSeconds));
  m_idleSpin.SetPos32(idleSeconds & 0xFFFF);
  m_standbyField.SetDigits(TimeDigits(timers.standbySeconds));
  m_standbySpin.SetPos32(standbySeconds & 0xFFFF);
  ResumePolling();
}

int32_t COpticalDrivePage::FieldValue(const std::string& digits) {
  const int64_t tenths = static_cast<int64_t>(DigitsSeconds(digits)) * 10;
  return tenths > kMaxTimerValue ? kMaxTimerValue : static_cast<int32_t>(tenths);
}

void COpticalDrivePage::SetSpeed(int32_t speed) {
  if (shownDrive == nullptr || shownDrive == probingDrive) return;
  pollingEnabled = false;
  SetSpeedOf(*shownDrive, speed);
  ResumePolling();
}

drive::RequestOutcome COpticalDrivePage::SetSpeedOf(drive::OpticalDriveInfo& drive,
                                                    int32_t speed) {
  const bool set = drive::ApplySpeedByAnyMethod(drive, speed) == drive::kCommandGood;
  if (&drive == shownDrive) ShowCurrentSpeed();
  drive::SaveChosenSpeed(drive, speed);
  return set ? drive::OutcomeDone : drive::OutcomeCommandFailed;
}

void COpticalDrivePage::OnFast() { SetSpeed(drive::kFastestSpeed); }

void COpticalDrivePage::OnSilent() {
  if (shownDrive != nullptr) SetSpeed(drive::SilentSpeed(shownDrive->discType));
}

void COpticalDrivePage::OnSpeedSelected() {
  const int index = m_speedList.GetCurSel();
  if (shownTable == nullptr || index < 0 || index >= shownTable->speedCount) return;
  SetSpeed(shownTable->speeds[index]);
}

void COpticalDrivePage::OnRefresh() {
  if (shownDrive == probingDrive) return;
  pollingEnabled = false;
  forceProbe_ = true;  // asked by the user: a drive that learned nothing is asked again
  RefreshDrive();
  forceProbe_ = false;
  ResumePolling();
}

void COpticalDrivePage::OnSetIdleTimer() {
  drive::OpticalDriveInfo* drive = SelectedDrive();
  if (drive == nullptr) return;
  pollingEnabled = false;
  const int32_t value = FieldValue(m_idleField.GetDigits());
  drive::WritePowerConditions(drive->deviceHandle,
                              m_idleTimerCheck.GetCheck() == BST_CHECKED ? 1 : 0,
                              drive::kLeaveUnchanged, value, drive::kLeaveUnchanged);
  LoadTimers();  // a failure is not reported; the re-read shows what the drive holds
}

void COpticalDrivePage::OnSetStandbyTimer() {
  drive::OpticalDriveInfo* drive = SelectedDrive();
  if (drive == nullptr) return;
  pollingEnabled = false;
  const int32_t value = FieldValue(m_standbyField.GetDigits());
  if (!drive::WritePowerConditions(drive->deviceHandle, drive::kLeaveUnchanged,
                                   m_standbyTimerCheck.GetCheck() == BST_CHECKED ? 1 : 0,
                                   drive::kLeaveUnchanged, value))
    fw::AfxMessageBox(IDS_STANDBY_ERROR, MB_ICONERROR | MB_OK);
  LoadTimers();
}

void COpticalDrivePage::OnIdle() {
  drive::OpticalDriveInfo* drive = SelectedDrive();
  if (drive == nullptr) return;
  pollingEnabled = false;
  drive::EnterPowerCondition(drive->deviceHandle, drive::kConditionIdle);
  ResumePolling();
}

void COpticalDrivePage::OnStandby() { StandbyNow(); }

drive::RequestOutcome COpticalDrivePage::StandbyNow() {
  drive::OpticalDriveInfo* drive = SelectedDrive();
  if (drive == nullptr) return drive::OutcomeNoSuchDrive;
  pollingEnabled = false;
  const drive::DriveCommandResult result =
      drive::EnterPowerCondition(drive->deviceHandle, drive::kConditionStandby);
  drive::ReadPowerConditionPage(drive->deviceHandle, nullptr, 0);
  ResumePolling();
  return result == drive::kCommandGood ? drive::OutcomeDone : drive::OutcomeCommandFailed;
}

void COpticalDrivePage::OnVScroll(UINT code, UINT position, HWND scrollBar) {
  if (code == SB_THUMBPOSITION) {
    if (scrollBar == m_idleSpin.m_hWnd) m_idleField.SetDigits(TimeDigits(position));
    if (scrollBar == m_standbySpin.m_hWnd) m_standbyField.SetDigits(TimeDigits(position));
  }
  Default(WM_VSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(scrollBar));
}

}  // namespace pages
