// CWinApp: the application object. One global instance; its InitInstance
// runs the program. It names the application and owns the settings root.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Wnd.h"

namespace fw {

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();

  // Runs the program; false ends it without a message loop of the framework.
  virtual BOOL InitInstance();

  // The settings root: HKEY_CURRENT_USER\Software\<company>\<application name>.
  void SetRegistryKey(const char* company);
  std::string GetProfileString(const char* section, const char* entry,
                               const char* defaultValue = "");
  BOOL WriteProfileString(const char* section, const char* entry, const char* value);
  BOOL WriteProfileInt(const char* section, const char* entry, int value);

  // The executable's file name without its extension.
  const char* AppName() const { return appName_.c_str(); }

  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;
  // What the process ends with; InitInstance sets it.
  int m_exitCode = 0;

 private:
  std::string appName_;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetResourceHandle();

// Runs the global application object: WinMain's whole work. Returns the
// application's exit code.
int RunApplication(HINSTANCE instance);

}  // namespace fw
