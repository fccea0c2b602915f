#include "framework/Application.h"

#include "platform/Settings.h"

namespace fw {

namespace {
CWinApp* theApplication = nullptr;
}

CWinApp::CWinApp() {
  theApplication = this;
  appName_ = platform::ApplicationName();
}

CWinApp::~CWinApp() {
  if (theApplication == this) theApplication = nullptr;
}

BOOL CWinApp::InitInstance() { return FALSE; }

void CWinApp::SetRegistryKey(const char* company) { platform::SetRegistryKey(company); }

std::string CWinApp::GetProfileString(const char* section, const char* entry,
                                      const char* defaultValue) {
  return platform::GetProfileString(section, entry, defaultValue);
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
  return platform::WriteProfileString(section, entry, value);
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
  return platform::WriteProfileInt(section, entry, value);
}

CWinApp* AfxGetApp() { return theApplication; }

HINSTANCE AfxGetResourceHandle() {
  return theApplication && theApplication->m_hInstance ? theApplication->m_hInstance
                                                       : ::GetModuleHandleA(nullptr);
}

int RunApplication(HINSTANCE instance) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return 1;
  app->m_hInstance = instance;
  app->InitInstance();  // the program runs inside; its result only says "no loop"
  return app->m_exitCode;
}

}  // namespace fw
