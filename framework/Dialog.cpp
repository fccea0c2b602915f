#include "framework/Dialog.h"

#include "framework/Application.h"

namespace fw {

void DDX_Control(CDataExchange* exchange, int id, CWnd& control) {
  if (control.m_hWnd == nullptr) control.SubclassDlgItem(id, exchange->dialog);
}

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() {
  if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

// The dialog manager calls this procedure; at WM_INITDIALOG the object takes
// the window over, and from then on every message passes its message map.
INT_PTR CALLBACK CDialog::StaticDialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  CDialog* self = reinterpret_cast<CDialog*>(lParam);
  self->SubclassWindow(window);
  return self->OnInitDialog();
}

INT_PTR CDialog::DoModal() {
  HWND owner = parent_ ? parent_->m_hWnd : nullptr;
  if (owner == nullptr && AfxGetApp() && AfxGetApp()->m_pMainWnd && AfxGetApp()->m_pMainWnd != this)
    owner = AfxGetApp()->m_pMainWnd->m_hWnd;
  endRequested_ = false;
  result_ = IDCANCEL;
  HWND window = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId_), owner,
                                     StaticDialogProc, reinterpret_cast<LPARAM>(this));
  if (window == nullptr) return -1;

  // The owner stays disabled while the dialog runs, as with any modal box.
  const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  if (!endRequested_) ::ShowWindow(window, SW_SHOW);

  inModalLoop_ = true;
  MSG message;
  while (!endRequested_ && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (PreTranslateChain(&message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  inModalLoop_ = false;

  if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
  if (owner) ::SetActiveWindow(owner);
  ::DestroyWindow(window);
  return result_;
}

bool CDialog::Create(UINT templateId, CWnd* parent) {
  templateId_ = templateId;
  parent_ = parent;
  HWND window = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId),
                                     parent ? parent->m_hWnd : nullptr, StaticDialogProc,
                                     reinterpret_cast<LPARAM>(this));
  return window != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
  result_ = result;
  endRequested_ = true;
  ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wake the loop
}

void CDialog::UpdateData() {
  CDataExchange exchange = {this};
  DoDataExchange(&exchange);
}

BOOL CDialog::OnInitDialog() {
  UpdateData();
  return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}
void CDialog::OnOK() { EndDialog(IDOK); }
void CDialog::OnCancel() { EndDialog(IDCANCEL); }

namespace {
bool IsNavigationMessage(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

// A dialog inside another whose controls take part in the outer one's
// navigation (DS_CONTROL makes it a control parent).
bool IsNestedControlParent(HWND dialog) {
  return (::GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD) != 0 &&
         (::GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0;
}

bool IsTabKey(const MSG* message) {
  return (message->message == WM_KEYDOWN || message->message == WM_CHAR) &&
         message->wParam == VK_TAB;
}
}  // namespace

bool CDialog::PreTranslateMessage(MSG* message) {
  // Keyboard navigation within this dialog: Tab, arrows, Enter (IDOK) and
  // Escape (IDCANCEL), which reach OnOK and OnCancel. A nested page leaves
  // Tab to the dialog around it, so that the focus can leave the page; Enter
  // and Escape it keeps to itself.
  if (!IsNavigationMessage(message->message)) return false;
  if (message->hwnd != m_hWnd && !::IsChild(m_hWnd, message->hwnd)) return false;
  if (IsTabKey(message) && IsNestedControlParent(m_hWnd)) return false;
  return ::IsDialogMessageA(m_hWnd, message) != FALSE;
}

bool PreTranslateChain(MSG* message) {
  for (HWND window = message->hwnd; window != nullptr; window = ::GetParent(window)) {
    CWnd* object = CWnd::FromHandle(window);
    if (object != nullptr && object->PreTranslateMessage(message)) return true;
    if ((::GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0) break;  // top of the chain
  }
  return false;
}

namespace {
void OkThunk(CDialog* d) { d->OnOK(); }
void CancelThunk(CDialog* d) { d->OnCancel(); }
bool OkEntry(CWnd* self, WPARAM, LPARAM, LRESULT* result) {
  OkThunk(static_cast<CDialog*>(self));
  *result = 0;
  return true;
}
bool CancelEntry(CWnd* self, WPARAM, LPARAM, LRESULT* result) {
  CancelThunk(static_cast<CDialog*>(self));
  *result = 0;
  return true;
}
}  // namespace

const MessageMap* CDialog::GetMessageMap() const {
  static const MessageMapEntry entries[] = {
      {WM_COMMAND, BN_CLICKED, IDOK, OkEntry},
      {WM_COMMAND, BN_CLICKED, IDCANCEL, CancelEntry},
      {0, 0, 0, nullptr},
  };
  static const MessageMap map = {CWnd::GetMessageMap(), entries};
  return &map;
}

}  // namespace fw
