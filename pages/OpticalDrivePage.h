// COpticalDrivePage: the page shown for an optical drive: idle and standby
// timers, idle or standby now, the medium, the current read speed, the
// speed list and the Fast and Silent speeds.
#pragma once

#include "drive/DriveList.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "pages/TimeMaskEdit.h"
#include "ui/TransparentStatic.h"

namespace pages {

class COpticalDrivePage : public fw::CDialog {
 public:
  COpticalDrivePage();
  ~COpticalDrivePage() override;

  drive::DriveList* driveList = nullptr;  // set by the main window
  bool pollingEnabled = false;
  int32_t shownDiscType = -1;
  int32_t discType = drive::DiscNone;
  drive::OpticalDriveInfo* shownDrive = nullptr;
  drive::SpeedTable* shownTable = nullptr;
  // The drive whose probe is running (null when none): the speed controls
  // stay off for it, and its ready message is matched to it, whatever is shown.
  drive::OpticalDriveInfo* probingDrive = nullptr;

  void UpdateDiscType();
  void RefreshDrive();
  void ShowCurrentSpeed();
  void FillSpeedBox();
  void LoadTimers();
  // The refresh button's icon at the size of `dpi`.
  void ShowImagesAt(int dpi);

  // Handlers, public so that the command line and tests can drive them.
  void OnRefresh();
  void OnFast();
  void OnSilent();
  void OnSpeedSelected();
  void OnSetIdleTimer();
  void OnSetStandbyTimer();
  void OnIdle();
  void OnStandby();

  // The drive has a power condition page: the timers can be shown and set.
  bool timersAvailable = true;
  // A command-line speed waiting for its drive's first speed probe: learn,
  // then act, then close. Null when none waits.
  drive::OpticalDriveInfo* pendingSpeedDrive = nullptr;
  int32_t pendingSpeed = 0;
  // How long a command-line speed waits for its probe.
  UINT probeWaitMs = 180000;
  static constexpr UINT_PTR kRequestTimerId = 6;
  // Posted by StartProbe: the worker starts once the page has finished
  // showing the drive, so that its commands never mingle with the page's.
  static constexpr UINT WM_STARTSPEEDPROBE = WM_APP + 1;
  static const char* const kNoTimers;  // the note, and the command line's error

  // The field's value in units of 100 ms, at most 65535.
  static int32_t FieldValue(const std::string& digits);

  static constexpr UINT_PTR kTimerId = 5;
  static constexpr UINT kTimerPeriod = 1000;  // ms

  ui::CTransparentStatic m_powerHeading;
  fw::CButton m_idleTimerCheck;
  CTimeMaskEdit m_idleField;
  fw::CSpinButtonCtrl m_idleSpin;
  fw::CButton m_setIdle;
  fw::CButton m_idleNow;
  fw::CButton m_standbyTimerCheck;
  CTimeMaskEdit m_standbyField;
  fw::CSpinButtonCtrl m_standbySpin;
  fw::CButton m_setStandby;
  fw::CButton m_standbyNow;
  ui::CTransparentStatic m_timersNote;
  ui::CTransparentStatic m_speedHeading;
  ui::CTransparentStatic m_discTypeLabel;
  ui::CTransparentStatic m_currentSpeed;
  fw::CComboBox m_speedList;
  fw::CButton m_refresh;
  fw::CButton m_fast;
  fw::CButton m_silent;
  fw::CToolTipCtrl* toolTip = nullptr;

  BOOL OnInitDialog() override;
  void DoDataExchange(fw::CDataExchange* exchange) override;
  bool PreTranslateMessage(MSG* message) override;
  void OnOK() override {}
  void OnCancel() override {}

 protected:
  void OnTimer(UINT_PTR id);
  void OnVScroll(UINT code, UINT position, HWND scrollBar);
  LRESULT OnSpeedListReady(WPARAM wParam, LPARAM lParam);
  LRESULT OnStartSpeedProbe(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  drive::OpticalDriveInfo* SelectedDrive() const;
  void EnableSpeedControls(bool enable);
  void EnableTimerControls(bool enable);
  void StartProbe();
  void SetSpeed(int32_t speed);
  drive::RequestOutcome SetSpeedOf(drive::OpticalDriveInfo& drive, int32_t speed);
  drive::RequestOutcome StandbyNow();
  void ResumePolling();
  // OpticalDriveRequest.cpp: what the command line asks of an optical drive.
  void CarryOutRequest();
  drive::RequestOutcome SetTimersFromRequest(const drive::CommandLineRequest& request);
  void FinishPendingSpeed(drive::OpticalDriveInfo& probed);
  void GiveUpPendingSpeed();
  void CloseIfAsked();
  bool forceProbe_ = false;  // the refresh button asks a drive that learned nothing again
  fw::CToolTipCtrl toolTipControl_;
  fw::CImageList refreshImages_;
};

}  // namespace pages
