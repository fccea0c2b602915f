#include "pages/HardDrivePage.h"

#include <cstdio>

#include "drive/AtaCommands.h"
#include "drive/HardDriveDiscovery.h"
#include "drive/IdentifyData.h"
#include "drive/PowerMode.h"
#include "drive/ReadSpeed.h"
#include "framework/Shell.h"
#include "res/resource.h"
#include "ui/GradientColors.h"

namespace pages {

namespace {
constexpr int kApmLowRange[2] = {1, 127};     // levels that allow standby
constexpr int kApmHighRange[2] = {128, 254};  // levels that do not
constexpr int kAamRange[2] = {128, 254};
constexpr UINT WM_CLOSEREQUEST = drive::WM_SPEEDLISTREADY;  // the same private number

const char* const kErrorAdjustingApm = "Error adjusting power management";
const char* const kErrorDisablingApm = "Error disabling power management";
const char* const kErrorAdjustingAam = "Error adjusting seek noise control";
const char* const kErrorDisablingAam = "Error disabling seek noise control";
const char* const kStandbyWindowsDiskUnknown =
    "Standby mode not allowed: the disk that holds Windows could not be determined.";
const char* const kApmNotSupported = "Power management is not supported by this drive.";
const char* const kAamNotSupported = "Seek noise control is not supported by this drive.";
const char* const kReadWhenAwake = "drive asleep: read when it wakes";
const char* const kNoIdleTimer =
    "A hard drive has no idle timer that Torvane can set: its power management level decides "
    "when it rests.";

// A level the drive accepted, kept as IDENTIFY would report it (its enabled
// bit in word 86, the level in bits 7-0 of its own word; 0: disabled).
void RememberLevel(drive::HardDriveInfo& drive, uint16_t enabledBit, uint16_t& levelWord,
                   int level) {
  if (level == 0) {
    drive.featuresEnabled = static_cast<uint16_t>(drive.featuresEnabled & ~enabledBit);
  } else {
    drive.featuresEnabled = static_cast<uint16_t>(drive.featuresEnabled | enabledBit);
    levelWord = static_cast<uint16_t>((levelWord & 0xFF00) | (level & 0xFF));
  }
}
}  // namespace

BEGIN_MESSAGE_MAP(CHardDrivePage, fw::CDialog)
ON_BN_CLICKED(IDC_HDD_STANDBY, OnStandby)
ON_BN_CLICKED(IDC_HDD_APM_SET, OnSetPowerManagement)
ON_BN_CLICKED(IDC_HDD_AAM_SET, OnSetSeekNoise)
ON_BN_CLICKED(IDC_HDD_APM_ALLOW_STANDBY, OnAllowStandby)
ON_BN_CLICKED(IDC_HDD_APM_ENABLE, OnApmEnable)
ON_BN_CLICKED(IDC_HDD_AAM_ENABLE, OnAamEnable)
ON_BN_CLICKED(IDC_HDD_TIMER_SET, OnSetStandbyTimer)
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_TIMER()
END_MESSAGE_MAP()

struct CHardDrivePage::LevelFeature {
  uint8_t enableFeature;   // SET FEATURES subcommand with the level in the count
  uint8_t disableFeature;
  uint16_t enabledBit;     // in IDENTIFY word 86
  uint16_t drive::HardDriveInfo::*levelWord;
  int32_t drive::HardDriveInfo::*supported;
  const char* errorAdjusting;
  const char* errorDisabling;
  const char* notSupported;
};

const CHardDrivePage::LevelFeature CHardDrivePage::kPowerManagement = {
    drive::kFeatureEnableApm, drive::kFeatureDisableApm, drive::kApmBit,
    &drive::HardDriveInfo::apmLevelWord, &drive::HardDriveInfo::apmSupported,
    kErrorAdjustingApm, kErrorDisablingApm, kApmNotSupported};
const CHardDrivePage::LevelFeature CHardDrivePage::kSeekNoise = {
    drive::kFeatureEnableAam, drive::kFeatureDisableAam, drive::kAamBit,
    &drive::HardDriveInfo::aamLevelWord, &drive::HardDriveInfo::aamSupported,
    kErrorAdjustingAam, kErrorDisablingAam, kAamNotSupported};

CHardDrivePage::CHardDrivePage() : fw::CDialog(IDD_HARDDRIVE_PAGE) {}

void CHardDrivePage::DoDataExchange(fw::CDataExchange* x) {
  fw::CDialog::DoDataExchange(x);
  fw::DDX_Control(x, IDC_HDD_APM_HEADING, m_powerHeading);
  fw::DDX_Control(x, IDC_HDD_POWER_STATE, m_powerMode);
  fw::DDX_Control(x, IDC_HDD_STANDBY, m_standby);
  fw::DDX_Control(x, IDC_HDD_APM_VALUE, m_apmValue);
  fw::DDX_Control(x, IDC_HDD_APM_SLIDER, m_apmSlider);
  fw::DDX_Control(x, IDC_HDD_APM_LOW_END, m_apmLowLabel);
  fw::DDX_Control(x, IDC_HDD_APM_HIGH_END, m_apmHighLabel);
  fw::DDX_Control(x, IDC_HDD_APM_POSITION, m_apmPosition);
  fw::DDX_Control(x, IDC_HDD_APM_ALLOW_STANDBY, m_allowStandby);
  fw::DDX_Control(x, IDC_HDD_APM_ENABLE, m_apmEnable);
  fw::DDX_Control(x, IDC_HDD_APM_SET, m_apmSet);
  fw::DDX_Control(x, IDC_HDD_AAM_HEADING, m_seekHeading);
  fw::DDX_Control(x, IDC_HDD_AAM_VALUE, m_aamValue);
  fw::DDX_Control(x, IDC_HDD_AAM_SLIDER, m_aamSlider);
  fw::DDX_Control(x, IDC_HDD_AAM_POSITION, m_aamPosition);
  fw::DDX_Control(x, IDC_HDD_AAM_ENABLE, m_aamEnable);
  fw::DDX_Control(x, IDC_HDD_AAM_SET, m_aamSet);
  fw::DDX_Control(x, IDC_HDD_TIMER_ENABLE, m_timerEnable);
  fw::DDX_Control(x, IDC_HDD_TIMER_TIME, m_timerField);
  fw::DDX_Control(x, IDC_HDD_TIMER_SPIN, m_timerSpin);
  fw::DDX_Control(x, IDC_HDD_TIMER_SET, m_timerSet);
  fw::DDX_Control(x, IDC_HDD_TIMER_VALUE, m_timerValue);
  fw::DDX_Control(x, IDC_HDD_TIMER_NOTE, m_timerNote);
  fw::DDX_Control(x, IDC_HDD_WEAR_HEADING, m_wearHeading);
  fw::DDX_Control(x, IDC_HDD_HEAD_LOADS, m_headLoads);
  fw::DDX_Control(x, IDC_HDD_SPIN_UPS, m_spinUps);
}

BOOL CHardDrivePage::OnInitDialog() {
  fw::CDialog::OnInitDialog();
  for (ui::CTransparentStatic* label :
       {&m_powerMode, &m_apmValue, &m_apmPosition, &m_aamValue, &m_aamPosition})
    label->m_crText = ui::kValueColour;
  m_powerHeading.SetBoldFont();
  m_seekHeading.SetBoldFont();
  InitTimerAndWear();

  m_apmSlider.SetRange(kApmLowRange[0], kApmLowRange[1]);
  m_apmSlider.SetPageSize(8);
  m_apmSlider.SetTicFreq(2);
  ShowPosition(m_apmPosition, m_apmSlider.GetPos());
  m_apmEnable.SetCheck(BST_CHECKED);
  m_allowStandby.SetCheck(BST_CHECKED);

  m_aamSlider.SetRange(kAamRange[0], kAamRange[1]);
  m_aamSlider.SetPageSize(8);
  m_aamSlider.SetTicFreq(2);
  ShowPosition(m_aamPosition, m_aamSlider.GetPos());
  m_aamEnable.SetCheck(BST_CHECKED);

  SetTimer(kTimerId, kTimerPeriod);
  pollingEnabled = true;

  const fw::CToolTipCtrl::Tool tools[] = {
      {&m_standby, IDS_TIP_STANDBY},
      {&m_apmSet, IDS_TIP_APM_SET},
      {&m_aamSet, IDS_TIP_AAM_SET},
      {&m_aamSlider, IDS_TIP_AAM_SLIDER},
      {&m_apmSlider, IDS_TIP_APM_SLIDER},
      {&m_allowStandby, IDS_TIP_ALLOW_STANDBY},
      {&m_apmEnable, IDS_TIP_APM_ENABLE},
      {&m_aamEnable, IDS_TIP_AAM_ENABLE},
      {&m_timerEnable, IDS_TIP_ALLOW_STANDBY},
      {&m_timerField, IDS_TIP_STANDBY_TIME},
      {&m_timerSpin, IDS_TIP_STANDBY_TIME},
      {&m_timerSet, IDS_TIP_STANDBY_SET},
  };
  if (toolTipControl_.CreateWithTools(this, tools)) toolTip = &toolTipControl_;
  return TRUE;
}

bool CHardDrivePage::PreTranslateMessage(MSG* message) {
  if (toolTip != nullptr) toolTip->RelayEvent(message);
  return fw::CDialog::PreTranslateMessage(message);
}

drive::HardDriveInfo* CHardDrivePage::SelectedDrive() const {
  if (driveList == nullptr || driveList->selectedIndex < 0 ||
      driveList->selectedIndex >= driveList->driveCount)
    return nullptr;
  drive::HardDriveInfo& slot = driveList->slots[driveList->selectedIndex].hard;
  return slot.kind == drive::KindHardDrive ? &slot : nullptr;
}

void CHardDrivePage::ShowPosition(ui::CTransparentStatic& label, int position) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", position);
  label.SetWindowText(text);
}

void CHardDrivePage::RefreshStatus(bool updateControls) {
  drive::HardDriveInfo* drive = SelectedDrive();
  if (drive == nullptr) return;
  const int slot = driveList->selectedIndex;

  // A path that returns no registers (SMART) leaves the record as prepared,
  // which is no answer: "n/a" then, rather than a mode that was never read.
  // Nor can it tell whether a drive this page put to sleep woke again, so
  // such a drive is sent nothing at all until the user acts on it.
  drive::AtaTaskFile registers = {};
  const bool smart = drive->ataPath == drive::PathSmart;
  const bool ask = !(smart && sentToStandby_[slot]);
  const drive::PowerModeAnswer answer =
      ask && drive::AtaCheckPowerMode(*drive, &registers) ? drive::ReadPowerModeAnswer(registers)
                                                          : drive::PowerModeAnswer{};
  if (answer.answered) sentToStandby_[slot] = answer.asleep;
  driveAsleep_ = answer.answered ? answer.asleep : sentToStandby_[slot];
  const char* mode = answer.answered            ? answer.text
                     : driveAsleep_ && !smart   ? "standby"
                                                : "n/a";
  m_powerMode.SetWindowText(mode);

  RefreshFeatures(updateControls);
  ShowTimer(*drive, updateControls);
  // Awake: it said so, or, on a path that cannot say, it just answered IDENTIFY.
  ShowWear(*drive, answer.answered ? !answer.asleep : identifyRead_);
  CarryOutRequest();
}

void CHardDrivePage::CarryOutRequest() {
  drive::CommandLineRequest& request = driveList->request;
  if (request.requestedDriveKind != drive::KindHardDriveRequest) return;
  if (request.requestedDriveNumber < 0 || request.requestedDriveNumber >= driveList->hardDriveCount)
    return;
  request.requestedDriveNumber = -1;  // carried out once only
  const drive::HardDriveInfo* drive = SelectedDrive();
  if (drive == nullptr) return;

  // Seek noise, power management, the standby timer, then standby: a drive
  // is quietened before it is put to sleep. Speeds mean nothing to a hard
  // drive.
  bool acted = false;
  bool levelSet = false;
  const struct {
    int32_t requested;
    const LevelFeature& feature;
    drive::RequestOutcome (CHardDrivePage::*set)(int level);
  } levels[] = {
      {request.aamLevel, kSeekNoise, &CHardDrivePage::SetSeekNoise},
      {request.apmLevel, kPowerManagement, &CHardDrivePage::SetPowerManagement},
  };
  for (const auto& level : levels) {
    if (level.requested == drive::kNotRequested) continue;
    acted = true;
    // As the page, whose Set is off for it: nothing is sent. A drive listed
    // asleep has not said yet, and is asked by the Set itself.
    if (!(drive->*level.feature.supported) && !drive->identityPending) {
      fw::AfxMessageBox(level.feature.notSupported, MB_ICONERROR);
      drive::RecordOutcome(request, drive::OutcomeNotSupported);
      continue;
    }
    const int value = level.requested == drive::kSettingOff ? 0 : level.requested;
    drive::RecordOutcome(request, (this->*level.set)(value));
    levelSet = true;
  }
  // The sliders and boxes follow the levels the command line set, as they
  // would had the window opened after it: nothing more is sent for that.
  if (levelSet) ShowFeatures(*drive, featuresKnown_, true);
  if (request.standbyTimer != drive::kNotRequested) {
    acted = true;
    const int32_t timer = request.standbyTimer;
    drive::RecordOutcome(request,
                         SetStandbyTimer(timer == drive::kSettingOff ? 0 : timer / 10));
  }
  if (request.idleTimer != drive::kNotRequested) {  // a hard drive has none of its own
    acted = true;
    fw::AfxMessageBox(kNoIdleTimer, MB_ICONERROR);
    drive::RecordOutcome(request, drive::OutcomeNotSupported);
  }
  if (request.requestedAction == drive::ActionStandby) {
    acted = true;
    drive::RecordOutcome(request, StandbyNow());
  }
  if (acted && request.quitAfterAction)
    ::SendMessageA(driveList->ownerWindow, WM_CLOSEREQUEST, 0, 0);
}

void CHardDrivePage::RefreshFeatures(bool updateControls) {
  drive::HardDriveInfo* drive = SelectedDrive();
  if (drive == nullptr) return;
  bool known = drive->featuresRead != 0;
  // IDENTIFY may spin a sleeping drive up: while it sleeps, what was read
  // while it was awake is shown.
  identifyRead_ = !driveAsleep_ && ReadIdentify(*drive);
  if (!driveAsleep_) known = identifyRead_;
  featuresKnown_ = known;
  ShowFeatures(*drive, known, updateControls);
}

bool CHardDrivePage::ReadIdentify(drive::HardDriveInfo& drive) {  // the drive shown
  uint8_t identify[drive::kIdentifyLength];
  if (!drive::AtaIdentifyDevice(drive, identify, sizeof identify) ||
      !drive::CarriesIdentifyData(identify))
    return false;
  if (!drive.identityPending) {
    drive::StoreFeatureLevels(drive, identify);
    return true;
  }
  // First word from a drive listed asleep: its name, serial number and
  // features; the main window shows the first two.
  drive::TakeIdentity(drive, identify);
  ::SendMessageA(driveList->ownerWindow, WM_DRIVEIDENTIFIED,
                 static_cast<WPARAM>(driveList->selectedIndex), 0);
  return true;
}

void CHardDrivePage::ShowFeatures(const drive::HardDriveInfo& drive, bool known,
                                  bool updateControls) {
  if (drive.identityPending) {
    // Listed asleep: its levels are unknown, so the controls show none, and
    // Set sends only what the user chooses for this drive. Standby works.
    if (updateControls) ClearLevelControls();
    EnableApmControls(TRUE);
    EnableAamControls(TRUE);
    m_apmSet.EnableWindow(apmControls_ == Controls::kUserChoice ? TRUE : FALSE);
    m_aamSet.EnableWindow(aamControls_ == Controls::kUserChoice ? TRUE : FALSE);
    m_standby.EnableWindow(TRUE);
    m_apmValue.SetWindowText(kReadWhenAwake);
    m_aamValue.SetWindowText(kReadWhenAwake);
    return;
  }
  // Controls that showed nothing follow the drive as soon as it has said.
  const bool updateApm = updateControls || apmControls_ == Controls::kNothing;
  const bool updateAam = updateControls || aamControls_ == Controls::kNothing;
  if (updateApm) apmControls_ = Controls::kDriveLevel;
  if (updateAam) aamControls_ = Controls::kDriveLevel;
  bool apmUnsupported = true;
  bool aamUnsupported = true;

  if (known && drive.apmSupported) {
    apmUnsupported = false;
    EnableApmControls(TRUE);
    int level = 0;
    if (drive.featuresEnabled & drive::kApmBit) {
      level = drive.apmLevelWord & 0xFF;
      char text[48];
      std::snprintf(text, sizeof text, "level %d (%s standby)", level,
                    level < 128 ? "with" : "without");
      m_apmValue.SetWindowText(text);
    } else {
      m_apmValue.SetWindowText("disabled");
    }
    if (updateApm) {
      m_allowStandby.SetCheck(level < 128 ? BST_CHECKED : BST_UNCHECKED);
      FollowAllowStandby();
      if (level == 0) {
        m_apmSlider.SetPos(1);
        m_apmPosition.SetWindowText("n/a");
      } else {
        m_apmSlider.SetPos(level);
        ShowPosition(m_apmPosition, level);
      }
      m_apmEnable.SetCheck(level > 0 ? BST_CHECKED : BST_UNCHECKED);
    }
  }

  if (known && drive.aamSupported) {
    aamUnsupported = false;
    EnableAamControls(TRUE);
    int level = 0;
    if (drive.featuresEnabled & drive::kAamBit) {
      level = drive.aamLevelWord & 0xFF;
      char text[32];
      std::snprintf(text, sizeof text, "level %d", level);
      m_aamValue.SetWindowText(text);
    } else {
      m_aamValue.SetWindowText("disabled");
    }
    if (updateAam) {
      if (level < 128) {
        m_aamSlider.SetPos(m_aamSlider.GetRangeMin());
        m_aamPosition.SetWindowText("n/a");
      } else {
        m_aamSlider.SetPos(level);
        ShowPosition(m_aamPosition, level);
      }
      m_aamEnable.SetCheck(level >= 128 ? BST_CHECKED : BST_UNCHECKED);
    }
  }

  if (apmUnsupported) {
    m_apmValue.SetWindowText("not supported");
    m_apmPosition.SetWindowText("");
    if (updateApm) m_apmSlider.SetPos(m_apmSlider.GetRangeMin());
    EnableApmControls(FALSE);
  }
  if (aamUnsupported) {
    m_aamValue.SetWindowText("not supported");
    m_aamPosition.SetWindowText("");
    if (updateAam) m_aamSlider.SetPos(m_aamSlider.GetRangeMin());
    EnableAamControls(FALSE);
  }
  m_standby.EnableWindow(known ? TRUE : FALSE);
}

void CHardDrivePage::EnableApmControls(BOOL enable) {
  for (fw::CWnd* c : {static_cast<fw::CWnd*>(&m_apmSet), static_cast<fw::CWnd*>(&m_apmSlider),
                      static_cast<fw::CWnd*>(&m_apmEnable),
                      static_cast<fw::CWnd*>(&m_allowStandby)})
    c->EnableWindow(enable);
}

void CHardDrivePage::EnableAamControls(BOOL enable) {
  for (fw::CWnd* c : {static_cast<fw::CWnd*>(&m_aamSet), static_cast<fw::CWnd*>(&m_aamSlider),
                      static_cast<fw::CWnd*>(&m_aamEnable)})
    c->EnableWindow(enable);
}

// A drive listed asleep has told no level: its sliders stand at the top of
// their scales with nothing under them, until the user picks a level.
void CHardDrivePage::ClearLevelControls() {
  m_allowStandby.SetCheck(BST_UNCHECKED);
  FollowAllowStandby();
  m_apmSlider.SetPos(kApmHighRange[1]);
  m_apmEnable.SetCheck(BST_CHECKED);
  m_apmPosition.SetWindowText("");
  m_aamSlider.SetPos(kAamRange[1]);
  m_aamEnable.SetCheck(BST_CHECKED);
  m_aamPosition.SetWindowText("");
  apmControls_ = aamControls_ = Controls::kNothing;
}

// The user chose a level or state in a section: Set may send it now.
void CHardDrivePage::ApmChosen() {
  apmControls_ = Controls::kUserChoice;
  ShowPosition(m_apmPosition, m_apmSlider.GetPos());
  m_apmSet.EnableWindow(m_apmSlider.IsWindowEnabled());
}

void CHardDrivePage::AamChosen() {
  aamControls_ = Controls::kUserChoice;
  ShowPosition(m_aamPosition, m_aamSlider.GetPos());
  m_aamSet.EnableWindow(m_aamSlider.IsWindowEnabled());
}

void CHardDrivePage::OnAllowStandby() {
  FollowAllowStandby();
  ApmChosen();
}

void CHardDrivePage::OnApmEnable() { ApmChosen(); }
void CHardDrivePage::OnAamEnable() { AamChosen(); }

// Keeps the level in the half of the APM scale that matches the check box:
// 1-127 allow standby, 128-254 do not; switching maps p to p + 127 and back.
void CHardDrivePage::FollowAllowStandby() {
  int position = m_apmSlider.GetPos();
  if (m_allowStandby.GetCheck() == BST_CHECKED) {
    m_apmSlider.SetRange(kApmLowRange[0], kApmLowRange[1]);
    if (position >= 128) position -= 127;
    m_apmLowLabel.SetWindowText("low power (1)");
    m_apmHighLabel.SetWindowText("high performance (127)");
  } else {
    m_apmSlider.SetRange(kApmHighRange[0], kApmHighRange[1]);
    if (position < 128) position += 127;
    m_apmLowLabel.SetWindowText("low power (128)");
    m_apmHighLabel.SetWindowText("high performance (254)");
  }
  m_apmSlider.SetPos(position);
  ShowPosition(m_apmPosition, position);
}

void CHardDrivePage::OnHScroll(UINT code, UINT position, HWND scrollBar) {
  if (scrollBar == m_aamSlider.m_hWnd) AamChosen();
  if (scrollBar == m_apmSlider.m_hWnd) ApmChosen();
  Default(WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(scrollBar));
}

void CHardDrivePage::OnSetPowerManagement() {
  if (apmControls_ == Controls::kNothing) return;  // no level chosen for this drive
  SetPowerManagement(m_apmEnable.GetCheck() == BST_CHECKED ? m_apmSlider.GetPos() : 0);
}

void CHardDrivePage::OnSetSeekNoise() {
  if (aamControls_ == Controls::kNothing) return;
  SetSeekNoise(m_aamEnable.GetCheck() == BST_CHECKED ? m_aamSlider.GetPos() : 0);
}

void CHardDrivePage::OnStandby() { StandbyNow(); }

drive::RequestOutcome CHardDrivePage::SetPowerManagement(int level) {
  return SetLevel(kPowerManagement, level);
}

drive::RequestOutcome CHardDrivePage::SetSeekNoise(int level) {
  return SetLevel(kSeekNoise, level);
}

// Level 0 disables the feature; any other level enables it at that level.
drive::RequestOutcome CHardDrivePage::SetLevel(const LevelFeature& feature, int level) {
  drive::HardDriveInfo* drive = SelectedDrive();
  if (drive == nullptr) return drive::OutcomeNoSuchDrive;
  pollingEnabled = false;  // no poll inside the message box's loop
  const bool done = level == 0
                        ? drive::AtaSetFeatures(*drive, feature.disableFeature, 0)
                        : drive::AtaSetFeatures(*drive, feature.enableFeature,
                                                static_cast<uint8_t>(level));
  // A drive listed asleep was woken for this Set, as the user asked: now it
  // tells what it is and what it took.
  const bool wasPending = drive->identityPending != 0;
  if (wasPending) ReadIdentify(*drive);
  const bool lacksIt = !(drive->*feature.supported) && !drive->identityPending;
  drive::RequestOutcome outcome = drive::OutcomeDone;
  if (!done && wasPending && lacksIt) {
    fw::AfxMessageBox(feature.notSupported, MB_ICONERROR);
    outcome = drive::OutcomeNotSupported;
  } else if (!done) {
    fw::AfxMessageBox(level == 0 ? feature.errorDisabling : feature.errorAdjusting, MB_ICONERROR);
    outcome = drive::OutcomeCommandFailed;
  }
  // What the drive took is known now, also when it sleeps and is not asked.
  if (done) RememberLevel(*drive, feature.enabledBit, drive->*feature.levelWord, level);
  RefreshStatus(false);
  pollingEnabled = true;
  return outcome;
}

drive::RequestOutcome CHardDrivePage::StandbyNow() {
  drive::HardDriveInfo* drive = SelectedDrive();
  if (drive == nullptr) return drive::OutcomeNoSuchDrive;
  // Nothing is sent to the drive that holds Windows, nor to one that may.
  if (drive->isSystemDrive) {
    fw::AfxMessageBox(IDS_STANDBY_SYSTEM_DRIVE, MB_ICONERROR);
    return drive::OutcomeStandbyRefused;
  }
  if (drive->systemDriveUnknown) {
    fw::AfxMessageBox(kStandbyWindowsDiskUnknown, MB_ICONERROR);
    return drive::OutcomeStandbyRefused;
  }
  pollingEnabled = false;
  const bool done = drive::AtaStandbyImmediate(*drive);
  if (done)
    sentToStandby_[driveList->selectedIndex] = true;
  else
    fw::AfxMessageBox(IDS_STANDBY_ERROR, MB_ICONERROR);
  RefreshStatus(false);
  pollingEnabled = true;
  return done ? drive::OutcomeDone : drive::OutcomeCommandFailed;
}

void CHardDrivePage::OnTimer(UINT_PTR id) {
  // Any command restarts a drive's standby timer: a drive with one is not
  // asked every 10 seconds, or it would never sleep.
  if (pollingEnabled && SelectedDrive() != nullptr && !timerRuns_) RefreshStatus(false);
  Default(WM_TIMER, id, 0);
}

}  // namespace pages
