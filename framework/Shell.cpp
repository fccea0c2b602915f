#include "framework/Shell.h"

#include <shellapi.h>

#include "framework/Application.h"
#include "framework/Controls.h"

namespace fw {

namespace {
MessageBoxHook messageBoxHook = nullptr;
ShellOpenHook shellOpenHook = nullptr;
}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { messageBoxHook = hook; }
void SetShellOpenHook(ShellOpenHook hook) { shellOpenHook = hook; }

int AfxMessageBox(const char* text, UINT type) {
  const char* caption = AfxGetApp() ? AfxGetApp()->AppName() : "";
  if (messageBoxHook != nullptr) return messageBoxHook(text, caption, type);
  return ::MessageBoxA(::GetActiveWindow(), text, caption, type);
}

int AfxMessageBox(UINT stringId, UINT type) {
  return AfxMessageBox(LoadResourceString(stringId).c_str(), type);
}

void ShellOpen(const char* file) {
  if (shellOpenHook != nullptr) {
    shellOpenHook(file);
    return;
  }
  ::ShellExecuteA(nullptr, "open", file, nullptr, nullptr, SW_SHOWNORMAL);
}

std::string LoadResourceString(UINT id) {
  char text[512] = {};
  const int length = ::LoadStringA(AfxGetResourceHandle(), id, text, sizeof text);
  return std::string(text, length > 0 ? length : 0);
}

bool CToolTipCtrl::CreateWithTools(CWnd* owner, const Tool* tools, size_t count) {
  if (!Create(owner)) return false;
  for (size_t i = 0; i < count; ++i)
    AddTool(tools[i].control, LoadResourceString(tools[i].text).c_str());
  Activate(TRUE);
  return true;
}

}  // namespace fw
