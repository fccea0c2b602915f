// What the command line asks of an optical drive: its timers, standby now, a
// fast or quiet speed. A speed for a model and medium that nothing is known
// of yet waits for the speed probe, so that it goes out by the method the
// drive honours and the learned list is kept: learn, then act, then close.
#include "drive/OpticalCommands.h"
#include "drive/ReadSpeed.h"
#include "framework/Shell.h"
#include "pages/OpticalDrivePage.h"
#include "res/resource.h"

namespace pages {

namespace {
constexpr UINT WM_CLOSEREQUEST = drive::WM_SPEEDLISTREADY;  // the same private number, to the owner
}

// Runs in the first UpdateDiscType of the named drive, before its stored
// list is loaded for the page.
void COpticalDrivePage::CarryOutRequest() {
  drive::CommandLineRequest& request = driveList->request;
  if (request.requestedDriveKind != drive::KindOpticalRequest) return;
  if (request.requestedDriveNumber < 0 ||
      request.requestedDriveNumber >= driveList->opticalDriveCount)
    return;
  request.requestedDriveNumber = -1;

  bool acted = false;
  if (request.idleTimer != drive::kNotRequested || request.standbyTimer != drive::kNotRequested) {
    acted = true;
    drive::RecordOutcome(request, SetTimersFromRequest(request));
  }
  if (request.requestedAction == drive::ActionStandby) {
    acted = true;
    drive::RecordOutcome(request, StandbyNow());
  }
  if (request.requestedAction == drive::ActionSilent ||
      request.requestedAction == drive::ActionFast) {
    acted = true;
    if (discType == drive::DiscNone) {
      drive::RecordOutcome(request, drive::OutcomeNoDisc);  // nothing to read at any speed
    } else {
      const int32_t speed = request.requestedAction == drive::ActionSilent
                                ? drive::SilentSpeed(discType)
                                : drive::kFastestSpeed;
      // The stored list tells the method this drive model honours.
      drive::LoadSpeedList(*shownDrive);
      if (shownTable->speedCount == 0 && !shownTable->probeFoundNone && probingDrive == nullptr) {
        pendingSpeedDrive = shownDrive;
        pendingSpeed = speed;
        StartProbe();
        SetTimer(kRequestTimerId, probeWaitMs);
        return;  // the probe's ready message sets the speed and closes
      }
      drive::RecordOutcome(request, SetSpeedOf(*shownDrive, speed));
    }
  }
  if (acted) CloseIfAsked();
}

// As the page's two Set buttons do, each with its box checked, or cleared
// for OFF (which leaves the timer's value as the drive holds it).
drive::RequestOutcome COpticalDrivePage::SetTimersFromRequest(
    const drive::CommandLineRequest& request) {
  HANDLE device = shownDrive->deviceHandle;
  uint8_t page[drive::kPowerConditionPageLength] = {};
  if (drive::ReadPowerConditionPage(device, page, sizeof page) != drive::kCommandGood) {
    fw::AfxMessageBox(kNoTimers, MB_ICONERROR);
    return drive::OutcomeNotSupported;
  }
  const auto enable = [](int32_t timer) { return timer == drive::kSettingOff ? 0 : 1; };
  const auto value = [](int32_t timer) {
    return timer == drive::kSettingOff ? drive::kLeaveUnchanged : timer;
  };
  drive::RequestOutcome outcome = drive::OutcomeDone;
  if (request.idleTimer != drive::kNotRequested &&
      !drive::WritePowerConditions(device, enable(request.idleTimer), drive::kLeaveUnchanged,
                                   value(request.idleTimer), drive::kLeaveUnchanged)) {
    outcome = drive::OutcomeCommandFailed;  // the idle Set reports nothing; the exit code does
  }
  if (request.standbyTimer != drive::kNotRequested &&
      !drive::WritePowerConditions(device, drive::kLeaveUnchanged, enable(request.standbyTimer),
                                   drive::kLeaveUnchanged, value(request.standbyTimer))) {
    fw::AfxMessageBox(IDS_STANDBY_ERROR, MB_ICONERROR | MB_OK);
    outcome = drive::OutcomeCommandFailed;
  }
  LoadTimers();
  return outcome;
}

// The probe the command-line speed waited for is done and its list stored.
void COpticalDrivePage::FinishPendingSpeed(drive::OpticalDriveInfo& probed) {
  KillTimer(kRequestTimerId);
  pendingSpeedDrive = nullptr;
  drive::RecordOutcome(driveList->request, SetSpeedOf(probed, pendingSpeed));
  CloseIfAsked();
}

// The probe took longer than an unattended run waits. It goes on; its list
// is stored when it ends, also after the window has closed.
void COpticalDrivePage::GiveUpPendingSpeed() {
  KillTimer(kRequestTimerId);
  if (pendingSpeedDrive == nullptr) return;
  pendingSpeedDrive = nullptr;
  drive::RecordOutcome(driveList->request, drive::OutcomeProbeTooLong);
  CloseIfAsked();
}

void COpticalDrivePage::CloseIfAsked() {
  if (driveList->request.quitAfterAction)
    ::SendMessageA(driveList->ownerWindow, WM_CLOSEREQUEST, 0, 0);
}

}  // namespace pages
