#include "app/MainApp.h"

#include <commctrl.h>

#include <string>

#include "app/CommandLine.h"
#include "app/MainDlg.h"
#include "app/TaskRequest.h"
#include "drive/ReadSpeed.h"
#include "framework/Shell.h"
#include "platform/Worker.h"
#include "sim/SystemCallTracer.h"

namespace app {

namespace {
CMainApp theApp;  // the one application object, constructed when the program loads
constexpr unsigned kProbeWaitAtExitMs = 60000;
}

BOOL CMainApp::InitInstance() {
  SetRegistryKey("Palisko");

  // A simulated drive bay stands in for the real drives when one is named,
  // and the commands are traced when a trace file is named.
  std::string bayError;
  if (!sim::InstallFromEnvironment(&bayError)) {
    // The window is not there yet; an unattended run must still end.
    drive::CommandLineRequest request;
    ParseCommandLine(::GetCommandLineA(), request);
    if (request.quitAfterAction) fw::SetMessageBoxTimeout(kUnattendedBoxMs);
    fw::AfxMessageBox(bayError.c_str(), MB_ICONERROR);
    m_exitCode = drive::OutcomeNotStarted;
    return FALSE;
  }

  // The common controls of the templates: trackbars, up-downs, the drive box.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_USEREX_CLASSES |
                                                        ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);

  CMainDlg dialog;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  // A speed probe still running writes into the drive list: let it finish
  // (a minute at most) before the list goes. A list it completed after its
  // window had gone is stored here; one cut off half done is not.
  platform::WaitForWorkers(kProbeWaitAtExitMs);
  drive::SaveFinishedProbes(dialog.driveList);
  CarryOutTaskRequest(dialog.driveList, dialog.namedSlot);
  m_exitCode = dialog.driveList.request.outcome;
  return FALSE;  // the program ends without a message loop of its own
}

}  // namespace app
