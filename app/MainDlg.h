// CMainDlg: the program's window. It finds the drives, lists them in the
// drive box, shows the page of the selected drive, and opens the manual and
// the About box.
#pragma once

#include <string>

#include "drive/DriveList.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "pages/HardDrivePage.h"
#include "pages/OpticalDrivePage.h"
#include "ui/DpiLayout.h"
#include "ui/TransparentStatic.h"

namespace app {

// Asks the main window to close itself, as on cancel (wParam and lParam 0).
constexpr UINT WM_CLOSEREQUEST = WM_USER + 14;

// How long an error box of an unattended run (/QUIT) stays before it closes
// itself.
constexpr UINT kUnattendedBoxMs = 30000;

class CMainDlg : public fw::CDialog {
 public:
  CMainDlg();
  ~CMainDlg() override;

  fw::CButton m_manualButton;
  ui::CTransparentStatic m_driveLabel;
  fw::CComboBoxEx m_driveBox;
  HICON m_hIcon;
  drive::DriveList driveList;
  fw::CToolTipCtrl* toolTip = nullptr;
  pages::CHardDrivePage hardDrivePage;
  pages::COpticalDrivePage opticalDrivePage;
  // The command line to read at start-up; null: the process's own.
  const char* commandLine = nullptr;
  // The slot of the drive the command line names; -1 when it names none.
  int namedSlot = -1;

  void ShowSelectedDrive();
  void OpenManual();

  void DoDataExchange(fw::CDataExchange* exchange) override;
  bool PreTranslateMessage(MSG* message) override;
  BOOL OnInitDialog() override;
  void OnOK() override {}  // Enter does not close the window
  void OnCancel() override;

 protected:
  void OnSysCommand(UINT id, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  BOOL OnEraseBkgnd(HDC dc);
  BOOL OnHelpInfo(HELPINFO* info);
  LRESULT OnCloseRequest(WPARAM wParam, LPARAM lParam);
  LRESULT OnDriveIdentified(WPARAM slot, LPARAM);
  LRESULT OnDpiChanged(WPARAM dpi, LPARAM suggestedRect);
  LRESULT OnGetDpiScaledSize(WPARAM dpi, LPARAM size);
  DECLARE_MESSAGE_MAP()

 private:
  // Lists the drives; true when the wanted drive is among them.
  bool FillDriveBox(int wantedKind, int wantedNumber);
  static bool AsksSomething(const drive::CommandLineRequest& request);
  static void DropRequest(drive::CommandLineRequest& request, drive::RequestOutcome why);
  // Resolves /SERIAL:; empty, or the message that says why nothing is done.
  std::string SelectBySerial(drive::CommandLineRequest& request);
  // Asks the disks listed asleep, one at a time, until one has `serial`.
  bool IdentifySleepingDiskWith(const char* serial);
  void ShowSerial(const drive::DriveSlot& slot);
  // The window's icons, the drive box's images and the manual button's icon
  // at the sizes of `dpi`.
  void ShowImagesAt(int dpi);
  int dpi_ = ui::kDefaultDpi;
  ui::DpiLayout layout_;
  fw::CIcon windowIcon_;
  fw::CIcon smallWindowIcon_;
  fw::CImageList driveImages_;
  fw::CImageList manualImages_;
  fw::CToolTipCtrl toolTipControl_;
};

}  // namespace app
