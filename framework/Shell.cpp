#include "framework/Shell.h"

#include <shellapi.h>

#include <cstring>

#include "framework/Application.h"
#include "framework/Controls.h"

namespace fw {

namespace {
MessageBoxHook messageBoxHook = nullptr;
ShellOpenHook shellOpenHook = nullptr;
UINT boxTimeout = 0;

// The box being shown with a time limit: found when the system creates it.
HHOOK creationHook = nullptr;
HWND timedBox = nullptr;

LRESULT CALLBACK NoteBoxCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && timedBox == nullptr) {
    char className[16] = {};
    ::GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
    if (std::strcmp(className, "#32770") == 0) timedBox = reinterpret_cast<HWND>(wParam);
  }
  return ::CallNextHookEx(creationHook, code, wParam, lParam);
}

// Runs inside the box's own message loop, which dispatches thread timers.
void CALLBACK CloseTimedBox(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  if (timedBox != nullptr) ::PostMessageA(timedBox, WM_CLOSE, 0, 0);
}

int TimedMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  timedBox = nullptr;
  creationHook = ::SetWindowsHookExA(WH_CBT, NoteBoxCreation, nullptr, ::GetCurrentThreadId());
  const UINT_PTR timer = ::SetTimer(nullptr, 0, boxTimeout, CloseTimedBox);
  const int choice = ::MessageBoxA(owner, text, caption, type);
  ::KillTimer(nullptr, timer);
  if (creationHook != nullptr) ::UnhookWindowsHookEx(creationHook);
  creationHook = nullptr;
  timedBox = nullptr;
  return choice;
}
}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { messageBoxHook = hook; }
void SetShellOpenHook(ShellOpenHook hook) { shellOpenHook = hook; }
void SetMessageBoxTimeout(UINT milliseconds) { boxTimeout = milliseconds; }

int AfxMessageBox(const char* text, UINT type) {
  const char* caption = AfxGetApp() ? AfxGetApp()->AppName() : "";
  if (messageBoxHook != nullptr) return messageBoxHook(text, caption, type);
  if (boxTimeout != 0) return TimedMessageBox(::GetActiveWindow(), text, caption, type);
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
