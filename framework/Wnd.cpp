#include "framework/Wnd.h"

#include <vector>

namespace fw {

namespace {
// The window property that links a handle to its CWnd.
const char* const kObjectProperty = "TorvaneCWnd";
}  // namespace

LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* self = CWnd::FromHandle(window);
  if (self == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    const WNDPROC previous = self->previousProc_;
    self->UnsubclassWindow();
    return ::CallWindowProcA(previous, window, message, wParam, lParam);
  }
  return self->WindowProc(message, wParam, lParam);
}

CWnd::~CWnd() {
  if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
    if (previousProc_ != nullptr) UnsubclassWindow();
    else Detach();
  }
}

CWnd* CWnd::FromHandle(HWND window) {
  return window ? static_cast<CWnd*>(::GetPropA(window, kObjectProperty)) : nullptr;
}

void CWnd::Attach(HWND window) {
  m_hWnd = window;
  ::SetPropA(window, kObjectProperty, this);
}

void CWnd::Detach() {
  if (m_hWnd != nullptr) ::RemovePropA(m_hWnd, kObjectProperty);
  m_hWnd = nullptr;
}

bool CWnd::SubclassWindow(HWND window) {
  if (window == nullptr || FromHandle(window) != nullptr) return false;
  Attach(window);
  previousProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

void CWnd::UnsubclassWindow() {
  if (m_hWnd == nullptr) return;
  if (previousProc_ != nullptr)
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
  previousProc_ = nullptr;
  Detach();
}

BOOL CWnd::DestroyWindow() {
  if (m_hWnd == nullptr) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

std::string CWnd::GetWindowText() const {
  const int length = ::GetWindowTextLengthA(m_hWnd);
  std::vector<char> text(length + 1, '\0');
  ::GetWindowTextA(m_hWnd, text.data(), length + 1);
  return text.data();
}

void CWnd::ScreenToClient(RECT* rect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&rect->left));
  ::ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&rect->right));
}

bool CWnd::PreTranslateMessage(MSG*) { return false; }

const MessageMap* CWnd::GetMessageMap() const {
  static const MessageMapEntry none[] = {{0, 0, 0, nullptr}};
  static const MessageMap map = {nullptr, none};
  return &map;
}

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  if (previousProc_ != nullptr)
    return ::CallWindowProcA(previousProc_, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

bool CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const bool command = message == WM_COMMAND;
  const bool reflectedCommand = message == kReflectBase + WM_COMMAND;
  for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
    for (const MessageMapEntry* e = map->entries; e->thunk != nullptr; ++e) {
      if (e->message != message) continue;
      if (command && (e->code != HIWORD(wParam) || e->id != LOWORD(wParam))) continue;
      if (reflectedCommand && e->code != HIWORD(wParam)) continue;
      if (e->thunk(this, wParam, lParam, result)) return true;
    }
  }
  return false;
}

// Colour requests and edit notifications go back to the child they concern,
// so that a label or a field decides for itself.
bool CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  HWND childWindow = nullptr;
  if (message == WM_CTLCOLORSTATIC) childWindow = reinterpret_cast<HWND>(lParam);
  if (message == WM_COMMAND && lParam != 0 && HIWORD(wParam) == EN_UPDATE)
    childWindow = reinterpret_cast<HWND>(lParam);
  CWnd* child = FromHandle(childWindow);
  if (child == nullptr || child == this) return false;
  return child->Dispatch(kReflectBase + message, wParam, lParam, result);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToChild(message, wParam, lParam, &result)) return result;
  if (Dispatch(message, wParam, lParam, &result)) return result;
  return Default(message, wParam, lParam);
}

}  // namespace fw
