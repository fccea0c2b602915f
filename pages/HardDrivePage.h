// CHardDrivePage: the page shown for a hard drive: its power mode, the power
// management (APM) and seek noise control (AAM) levels, and standby now.
#pragma once

#include "drive/DriveList.h"
#include "framework/Controls.h"
#include "drive/DiskRecord.h"
#include "framework/Dialog.h"
#include "pages/TimeMaskEdit.h"
#include "ui/TransparentStatic.h"

namespace pages {

// Tells the main window that a drive listed asleep has named itself
// (wParam: its slot), so that its entry and serial number can be shown.
constexpr UINT WM_DRIVEIDENTIFIED = WM_USER + 15;

class CHardDrivePage : public fw::CDialog {
 public:
  CHardDrivePage();

  drive::DriveList* driveList = nullptr;  // set by the main window
  bool pollingEnabled = false;

  // Shows the selected drive. With `updateControls` the sliders and check
  // boxes follow the drive too; without, only labels and enabled states.
  void RefreshStatus(bool updateControls);
  void RefreshFeatures(bool updateControls);

  // Handlers, public so that the main window and tests can drive them.
  void OnStandby();
  void OnSetPowerManagement();
  void OnSetSeekNoise();
  void OnAllowStandby();
  void OnApmEnable();
  void OnAamEnable();
  void OnSetStandbyTimer();

  // The actions behind the buttons, as the command line also runs them. Each
  // shows its own error box and tells what came of it. A level of 0 turns the
  // feature off.
  drive::RequestOutcome StandbyNow();
  drive::RequestOutcome SetPowerManagement(int level);
  drive::RequestOutcome SetSeekNoise(int level);
  // The drive's own standby timer, in seconds (0: off): the nearest period
  // the drive can hold, sent so that it neither wakes nor falls asleep.
  drive::RequestOutcome SetStandbyTimer(uint32_t seconds);

  // SMART data is read at most this often, and never from a sleeping drive.
  static constexpr int64_t kWearReadInterval = 600;  // seconds

  static constexpr UINT_PTR kTimerId = 3;
  static constexpr UINT kTimerPeriod = 10000;  // ms

  ui::CTransparentStatic m_powerHeading;
  ui::CTransparentStatic m_powerMode;
  fw::CButton m_standby;
  ui::CTransparentStatic m_apmValue;
  fw::CSliderCtrl m_apmSlider;
  ui::CTransparentStatic m_apmLowLabel;
  ui::CTransparentStatic m_apmHighLabel;
  ui::CTransparentStatic m_apmPosition;
  fw::CButton m_allowStandby;
  fw::CButton m_apmEnable;
  fw::CButton m_apmSet;
  ui::CTransparentStatic m_seekHeading;
  ui::CTransparentStatic m_aamValue;
  fw::CSliderCtrl m_aamSlider;
  ui::CTransparentStatic m_aamPosition;
  fw::CButton m_aamEnable;
  fw::CButton m_aamSet;
  fw::CButton m_timerEnable;
  CTimeMaskEdit m_timerField;
  fw::CSpinButtonCtrl m_timerSpin;
  fw::CButton m_timerSet;
  ui::CTransparentStatic m_timerValue;
  ui::CTransparentStatic m_timerNote;
  ui::CTransparentStatic m_wearHeading;
  ui::CTransparentStatic m_headLoads;
  ui::CTransparentStatic m_spinUps;
  fw::CToolTipCtrl* toolTip = nullptr;

  BOOL OnInitDialog() override;
  void DoDataExchange(fw::CDataExchange* exchange) override;
  bool PreTranslateMessage(MSG* message) override;
  void OnOK() override {}      // Enter does nothing on a page
  void OnCancel() override {}  // nor does Escape

 protected:
  void OnHScroll(UINT code, UINT position, HWND scrollBar);
  void OnVScroll(UINT code, UINT position, HWND scrollBar);
  void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()

 private:
  struct LevelFeature;  // power management or seek noise: what Set sends and says
  static const LevelFeature kPowerManagement;
  static const LevelFeature kSeekNoise;
  drive::RequestOutcome SetLevel(const LevelFeature& feature, int level);
  drive::HardDriveInfo* SelectedDrive() const;
  // IDENTIFY into the drive's record; true when identify data came back.
  bool ReadIdentify(drive::HardDriveInfo& drive);
  void CarryOutRequest();
  void ShowFeatures(const drive::HardDriveInfo& drive, bool known, bool updateControls);
  void ShowPosition(ui::CTransparentStatic& label, int position);
  void FollowAllowStandby();
  void ClearLevelControls();
  void ApmChosen();
  void AamChosen();
  // HardDriveTimerAndWear.cpp: the standby timer row and the wear counters.
  void InitTimerAndWear();
  void ShowTimer(const drive::HardDriveInfo& drive, bool updateControls);
  void ShowWear(const drive::HardDriveInfo& drive, bool awake);
  bool ScsiStandbyTimer(const drive::HardDriveInfo& drive);  // a SCSI disk whose page takes one
  void EnableApmControls(BOOL enable);  // Set, slider, Enable and Allow standby
  void EnableAamControls(BOOL enable);  // Set, slider and Enable
  fw::CToolTipCtrl toolTipControl_;
  // A drive known to sleep is never sent a command that may wake it: its
  // features are shown as last read. Set by each RefreshStatus.
  bool driveAsleep_ = false;
  bool featuresKnown_ = false;  // as last shown by RefreshFeatures
  // What a section's slider and check boxes show: the level the drive
  // reported, nothing (a drive that has not said), or what the user chose.
  enum class Controls { kDriveLevel, kNothing, kUserChoice };
  Controls apmControls_ = Controls::kDriveLevel;
  Controls aamControls_ = Controls::kDriveLevel;
  // The drives this page put to standby, until a power mode read finds them
  // awake again: a path whose CHECK POWER MODE fails still leaves them be.
  bool sentToStandby_[drive::kMaxDrives] = {};
  // The last wear reading of each drive, and when (clock seconds; -1: none).
  drive::WearCounts wear_[drive::kMaxDrives] = {};
  int64_t wearReadAt_[drive::kMaxDrives];
  // SCSI disks' power condition pages: 0 not asked yet, 1 changeable, 2 not.
  uint8_t scsiTimerPage_[drive::kMaxDrives] = {};
  bool identifyRead_ = false;  // the last RefreshFeatures had IDENTIFY answered
  bool timerRuns_ = false;     // the shown drive has a standby timer Torvane set: not polled
};

}  // namespace pages
