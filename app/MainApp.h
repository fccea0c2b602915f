// CMainApp: the application object. It sets the settings root and runs the
// main window as a modal dialog; when that closes, the program ends.
#pragma once

#include "framework/Application.h"

namespace app {

class CMainApp : public fw::CWinApp {
 public:
  BOOL InitInstance() override;
};

}  // namespace app
