#include "app/MainApp.h"

#include <commctrl.h>

#include <string>

#include "app/MainDlg.h"
#include "framework/Shell.h"
#include "platform/Worker.h"
#include "sim/SystemCallTracer.h"

namespace app {

namespace {
CMainApp theApp;  // the one application object, constructed when the program loads
}

BOOL CMainApp::InitInstance() {
  SetRegistryKey("Palisko");

  // A simulated drive bay stands in for the real drives when one is named,
  // and the commands are traced when a trace file is named.
  std::string bayError;
  if (!sim::InstallFromEnvironment(&bayError)) {
    fw::AfxMessageBox(bayError.c_str(), MB_ICONERROR);
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
  // before the list goes. Its window is gone, so its list is not stored.
  platform::WaitForWorkers(60000);
  return FALSE;  // the program ends without a message loop of its own
}

}  // namespace app
