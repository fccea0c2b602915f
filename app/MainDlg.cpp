#include "app/MainDlg.h"

#include <cstdio>
#include <cstring>

#include "app/AboutDlg.h"
#include "app/CommandLine.h"
#include "app/DriveEntryText.h"
#include "app/DriveSelection.h"
#include "app/TaskRequest.h"
#include "drive/AtaCommands.h"
#include "drive/HardDriveDiscovery.h"
#include "drive/IdentifyData.h"
#include "drive/OpticalCommands.h"
#include "framework/Application.h"
#include "framework/Shell.h"
#include "res/resource.h"
#include "ui/Dpi.h"
#include "ui/Drawing.h"

namespace app {

namespace {
constexpr int kTopBandHeight = 6;  // pixels at 96 DPI
const char* const kManualFile = "Torvane.pdf";
const char* const kRefusedValue = "Invalid value on the command line, nothing was done: ";
const char* const kNoDriveWithSerial = "No drive has the serial number %s; nothing was done.";
const char* const kDrivesShareSerial =
    "More than one drive has the serial number %s; nothing was done.";
const char* const kOtherDriveThanSerial =
    "The drive named by /DRIVE: does not have the serial number %s; nothing was done.";
}  // namespace

BEGIN_MESSAGE_MAP(CMainDlg, fw::CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_CBN_SELCHANGE(IDC_DRIVE_BOX, ShowSelectedDrive)
ON_WM_ERASEBKGND()
ON_WM_HELPINFO()
ON_BN_CLICKED(IDC_MANUAL, OpenManual)
ON_MESSAGE(WM_CLOSEREQUEST, OnCloseRequest)
ON_MESSAGE(pages::WM_DRIVEIDENTIFIED, OnDriveIdentified)
ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
ON_MESSAGE(ui::kWmGetDpiScaledSize, OnGetDpiScaledSize)
END_MESSAGE_MAP()

CMainDlg::CMainDlg() : fw::CDialog(IDD_MAIN) {
  m_hIcon = ::LoadIconA(fw::AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_MAINFRAME));
  std::memset(&driveList, 0, sizeof driveList);
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::DoDataExchange(fw::CDataExchange* x) {
  fw::CDialog::DoDataExchange(x);
  fw::DDX_Control(x, IDC_MANUAL, m_manualButton);
  fw::DDX_Control(x, IDC_DRIVE_LABEL, m_driveLabel);
  fw::DDX_Control(x, IDC_DRIVE_BOX, m_driveBox);
}

bool CMainDlg::PreTranslateMessage(MSG* message) {
  if (toolTip != nullptr) toolTip->RelayEvent(message);
  return fw::CDialog::PreTranslateMessage(message);
}

BOOL CMainDlg::OnInitDialog() {
  fw::CDialog::OnInitDialog();
  dpi_ = ui::WindowDpi(m_hWnd);

  // Window menu: a separator and "&About Torvane...".
  HMENU systemMenu = GetSystemMenu(FALSE);
  const std::string about = fw::LoadResourceString(IDS_ABOUTBOX);
  if (systemMenu != nullptr && !about.empty()) {
    ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
  }
  m_driveLabel.m_crText = RGB(0, 32, 64);
  ShowImagesAt(dpi_);

  const fw::CToolTipCtrl::Tool tools[] = {{&m_manualButton, IDS_TIP_MANUAL}};
  if (toolTipControl_.CreateWithTools(this, tools)) {
    toolTip = &toolTipControl_;
    // A serial number can be longer than its label: the tip shows it whole.
    toolTip->AddTool(&m_driveLabel, "");
  }

  std::memset(&driveList, 0, sizeof driveList);
  driveList.ownerWindow = m_hWnd;
  drive::EnumerateHardDrives(driveList);
  drive::EnumerateOpticalDrives(driveList);
  drive::CommandLineRequest& request = driveList.request;
  ParseCommandLine(commandLine != nullptr ? commandLine : ::GetCommandLineA(), request);
  // Nobody may be watching an unattended run: its boxes close themselves.
  if (request.quitAfterAction) fw::SetMessageBoxTimeout(kUnattendedBoxMs);

  driveList.hardDriveCount = 0;
  driveList.opticalDriveCount = 0;
  driveList.selectedIndex = 0;
  const bool refused = request.refusedOption[0] != '\0';
  // A task runs this program with administrator rights: where it lies must
  // be safe before anything is done. /UNSCHEDULE /SERIAL: removes the task of
  // that name whether or not the drive is there, and wakes no disk to ask.
  std::string taskProblem;
  if (request.schedule == drive::ScheduleCreate && !refused) taskProblem = ProgramPlaceProblem();
  const bool removeBySerial =
      request.schedule == drive::ScheduleRemove && request.requestedSerial[0] != '\0';
  std::string serialProblem;  // why a drive named by its serial number is not acted on
  if (!taskProblem.empty()) {
    DropRequest(request, drive::OutcomeTaskFailed);
  } else if (removeBySerial && !refused) {
    if (SelectDriveBySerial(driveList, request) != SerialSelected) request.requestedDriveNumber = -1;
  } else if (request.requestedSerial[0] != '\0' && !refused) {
    serialProblem = SelectBySerial(request);
  }
  // An unattended run that cannot tell its drive ends at once: a task must
  // not wait for anyone, nor act on a drive it did not mean.
  if (!serialProblem.empty() && request.quitAfterAction && driveList.driveCount > 0) {
    OnCancel();
    return TRUE;
  }
  const int wantedNumber = request.requestedDriveNumber;
  const int wantedKind = request.requestedDriveKind;

  if (driveList.driveCount < 1) {
    drive::RecordOutcome(request, drive::OutcomeNotStarted);
    fw::AfxMessageBox(IDS_NO_DRIVES, MB_ICONSTOP);
    OnCancel();
    return TRUE;
  }

  hardDrivePage.driveList = &driveList;
  hardDrivePage.Create(IDD_HARDDRIVE_PAGE, this);
  opticalDrivePage.driveList = &driveList;
  opticalDrivePage.Create(IDD_OPTICAL_PAGE, this);
  layout_.Capture(m_hWnd, dpi_);

  const bool found = FillDriveBox(wantedKind, wantedNumber);
  if (!found && AsksSomething(request) && !removeBySerial && taskProblem.empty())
    drive::RecordOutcome(request, drive::OutcomeNoSuchDrive);
  // A timer outside what the drive named can hold is refused like any value.
  if (found && !refused)
    TimersFitDrive(request, driveList.slots[namedSlot].hard.kind == drive::KindHardDrive);
  const bool refusedHere = request.refusedOption[0] != '\0';
  // A task names its drive by its serial number: without one that a command
  // line can carry, nothing is done.
  if (found && request.schedule != drive::ScheduleNone && taskProblem.empty() && !refusedHere) {
    taskProblem = TaskSerialProblem(driveList, namedSlot);
    if (!taskProblem.empty()) DropRequest(request, drive::OutcomeTaskFailed);
  }
  // A value refused sends nothing at all: the request is dropped before a
  // page could act on it, and the user is told which option was wrong.
  if (refusedHere) request.requestedDriveNumber = -1;
  m_driveBox.SetCurSel(driveList.selectedIndex);
  ShowSelectedDrive();
  if (!serialProblem.empty()) fw::AfxMessageBox(serialProblem.c_str(), MB_ICONERROR);
  if (!taskProblem.empty()) fw::AfxMessageBox(taskProblem.c_str(), MB_ICONERROR);
  if (refusedHere) {
    const std::string text = std::string(kRefusedValue) + request.refusedOption;
    fw::AfxMessageBox(text.c_str(), MB_ICONERROR);
    if (request.quitAfterAction) OnCancel();
  }
  // /SCHEDULE and /UNSCHEDULE end the run; the task is made once the window
  // is gone and what was asked has been carried out (a speed may first wait
  // for its probe, whose end closes the window).
  if (request.schedule != drive::ScheduleNone && opticalDrivePage.pendingSpeedDrive == nullptr)
    OnCancel();
  return TRUE;
}

std::string CMainDlg::SelectBySerial(drive::CommandLineRequest& request) {
  SerialSelection selection = SelectDriveBySerial(driveList, request);
  // Disks listed asleep without a serial number from their driver have not
  // told it: when no other drive has the one asked for, they are asked now,
  // one at a time, as the drive named is about to be acted on anyway.
  if (selection == SerialNoDrive && IdentifySleepingDiskWith(request.requestedSerial))
    selection = SelectDriveBySerial(driveList, request);
  if (selection == SerialSelected) return std::string();
  DropRequest(request, drive::OutcomeNoSuchDrive);
  const char* format = selection == SerialTwoDrives    ? kDrivesShareSerial
                       : selection == SerialOtherDrive ? kOtherDriveThanSerial
                                                       : kNoDriveWithSerial;
  char text[256];
  std::snprintf(text, sizeof text, format, request.requestedSerial);
  return text;
}

bool CMainDlg::IdentifySleepingDiskWith(const char* serial) {
  for (int i = 0; i < driveList.driveCount; ++i) {
    drive::HardDriveInfo& disk = driveList.slots[i].hard;
    // A disk whose driver told its serial number has been compared already.
    if (disk.kind != drive::KindHardDrive || !disk.identityPending || disk.driverSerial[0] != '\0')
      continue;
    uint8_t identify[drive::kIdentifyLength];
    if (!drive::AtaIdentifyDevice(disk, identify, sizeof identify) ||
        !drive::CarriesIdentifyData(identify))
      continue;
    drive::TakeIdentity(disk, identify);
    if (HasSerial(driveList.slots[i], serial)) return true;
  }
  return false;
}

void CMainDlg::DropRequest(drive::CommandLineRequest& request, drive::RequestOutcome why) {
  request.requestedDriveNumber = -1;  // nothing is sent to any drive
  drive::RecordOutcome(request, why);
}

bool CMainDlg::AsksSomething(const drive::CommandLineRequest& request) {
  return request.requestedAction != drive::ActionNone ||
         request.schedule != drive::ScheduleNone ||
         request.apmLevel != drive::kNotRequested || request.aamLevel != drive::kNotRequested ||
         request.idleTimer != drive::kNotRequested ||
         request.standbyTimer != drive::kNotRequested;
}

bool CMainDlg::FillDriveBox(int wantedKind, int wantedNumber) {
  bool found = false;
  for (int i = 0; i < driveList.driveCount; ++i) {
    const drive::DriveSlot& slot = driveList.slots[i];
    const bool optical = slot.hard.kind == drive::KindOpticalDrive;
    int& count = optical ? driveList.opticalDriveCount : driveList.hardDriveCount;
    const int number = count++;
    if (wantedNumber != -1 &&
        wantedKind == (optical ? drive::KindOpticalRequest : drive::KindHardDriveRequest) &&
        wantedNumber == number) {
      driveList.selectedIndex = i;
      namedSlot = i;
      found = true;
    }
    const int image = optical ? 1 : 0;
    m_driveBox.InsertItem(i, DriveEntryText(slot, number).c_str(), image, image);
  }
  return found;
}

void CMainDlg::ShowSelectedDrive() {
  const int selection = m_driveBox.GetCurSel();
  driveList.selectedIndex = selection < 0 ? 0 : selection;
  const drive::DriveSlot& slot = driveList.slots[driveList.selectedIndex];
  ShowSerial(slot);

  if (slot.hard.kind == drive::KindHardDrive) {
    opticalDrivePage.ShowWindow(SW_HIDE);
    hardDrivePage.ShowWindow(SW_SHOW);
    hardDrivePage.RefreshStatus(true);
  } else {
    hardDrivePage.ShowWindow(SW_HIDE);
    opticalDrivePage.ShowWindow(SW_SHOW);
    opticalDrivePage.RefreshDrive();
    opticalDrivePage.LoadTimers();
  }
}

void CMainDlg::ShowSerial(const drive::DriveSlot& slot) {
  std::string serial(slot.hard.serialText, strnlen(slot.hard.serialText, drive::kSerialTextLength));
  serial.erase(
      serial.find_last_not_of(' ') == std::string::npos ? 0 : serial.find_last_not_of(' ') + 1);
  m_driveLabel.SetWindowText(serial.c_str());
  if (toolTip != nullptr) toolTip->UpdateTipText(&m_driveLabel, serial.c_str());
}

// A hard drive listed asleep has been read: its entry takes the model's name
// (hard drives come first, so its number is its slot) and its serial shows.
LRESULT CMainDlg::OnDriveIdentified(WPARAM slot, LPARAM) {
  const int index = static_cast<int>(slot);
  if (index < 0 || index >= driveList.driveCount) return 0;
  m_driveBox.SetItemText(index, DriveEntryText(driveList.slots[index], index).c_str());
  if (index == driveList.selectedIndex) ShowSerial(driveList.slots[index]);
  return 0;
}

void CMainDlg::ShowImagesAt(int dpi) {
  // Set before the icons they replace are destroyed.
  HICON icon = ui::LoadIconAtSize(IDI_MAINFRAME, ui::SystemMetricForDpi(SM_CXICON, dpi));
  SetIcon(icon, TRUE);
  windowIcon_.Reset(icon);
  icon = ui::LoadIconAtSize(IDI_MAINFRAME, ui::SystemMetricForDpi(SM_CXSMICON, dpi));
  SetIcon(icon, FALSE);
  smallWindowIcon_.Reset(icon);

  const int size = ui::ScaleToDpi(16, dpi);
  fw::CImageList images;
  images.Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 2);
  for (UINT id : {IDI_HARDDRIVE, IDI_OPTICALDRIVE}) {  // images 0 and 1
    icon = ui::LoadIconAtSize(id, size);
    images.Add(icon);
    ::DestroyIcon(icon);
  }
  m_driveBox.SetImageList(images.GetSafeHandle());
  driveImages_.Swap(images);  // the list of the scale before goes with `images`
  ui::SetupIconButton(m_manualButton, manualImages_, IDI_MANUAL, 16, dpi);
}

// On a monitor of another scale the window takes the place Windows
// suggests, and is laid out, lettered and drawn anew at that scale.
LRESULT CMainDlg::OnDpiChanged(WPARAM dpi, LPARAM suggestedRect) {
  dpi_ = LOWORD(dpi);  // the same across and down
  layout_.MoveTo(dpi_, *reinterpret_cast<const RECT*>(suggestedRect));
  ShowImagesAt(dpi_);
  opticalDrivePage.ShowImagesAt(dpi_);
  return 0;
}

LRESULT CMainDlg::OnGetDpiScaledSize(WPARAM dpi, LPARAM size) {
  return layout_.WindowSizeAt(static_cast<int>(dpi), reinterpret_cast<SIZE*>(size));
}

BOOL CMainDlg::OnEraseBkgnd(HDC dc) {
  RECT client;
  GetClientRect(&client);
  const int bandHeight = ui::ScaleToDpi(kTopBandHeight, dpi_);
  const RECT body = {0, bandHeight, client.right, client.bottom};
  ui::DrawGradient(dc, body, RGB(208, 208, 216), RGB(152, 152, 160), ui::kGradientTopToBottom);
  const RECT band = {0, 0, client.right, bandHeight};
  ui::DrawGradient(dc, band, RGB(255, 255, 255), RGB(224, 224, 232), ui::kGradientTopToBottom);
  return FALSE;
}

void CMainDlg::OnPaint() {
  if (!IsIconic()) {
    Default(WM_PAINT, 0, 0);
    return;
  }
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(&client);
  const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, x, y, m_hIcon);
  ::EndPaint(m_hWnd, &paint);
}

HCURSOR CMainDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CMainDlg::OnSysCommand(UINT id, LPARAM lParam) {
  if ((id & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg about;
    about.DoModal();
    return;
  }
  Default(WM_SYSCOMMAND, id, lParam);
}

void CMainDlg::OpenManual() { fw::ShellOpen(kManualFile); }

BOOL CMainDlg::OnHelpInfo(HELPINFO*) {
  OpenManual();
  return TRUE;
}

LRESULT CMainDlg::OnCloseRequest(WPARAM, LPARAM) {
  OnCancel();
  return 1;
}

void CMainDlg::OnCancel() { EndDialog(IDCANCEL); }

}  // namespace app
