// Message maps: one table of handlers per window class, chained to the table
// of its base class. A handler is reached through a small typed thunk, so each
// handler keeps the signature that suits its message.
#pragma once

#include <windows.h>

namespace fw {

class CWnd;

// Calls the handler; false when the message should go on to default handling.
using MessageThunk = bool (*)(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct MessageMapEntry {
  UINT message;   // window message (reflected ones carry kReflectBase)
  UINT code;      // notification code for WM_COMMAND entries, else 0
  UINT id;        // control id for WM_COMMAND entries, else 0
  MessageThunk thunk;
};

struct MessageMap {
  const MessageMap* base;
  const MessageMapEntry* entries;  // ends with an entry whose thunk is null
};

// Messages a parent hands back to the child they concern (colour requests,
// edit notifications), offset so that they never clash with real ones.
constexpr UINT kReflectBase = 0xBC00;

// ---------------------------------------------------------------------------
// Thunks, one per handler signature.
// ---------------------------------------------------------------------------
template <class T, void (T::*fn)()>
bool VoidThunk(CWnd* self, WPARAM, LPARAM, LRESULT* result) {
  (static_cast<T*>(self)->*fn)();
  *result = 0;
  return true;
}

template <class T, LRESULT (T::*fn)(WPARAM, LPARAM)>
bool MessageThunkFor(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = (static_cast<T*>(self)->*fn)(wParam, lParam);
  return true;
}

template <class T, void (T::*fn)(UINT_PTR)>
bool TimerThunk(CWnd* self, WPARAM wParam, LPARAM, LRESULT* result) {
  (static_cast<T*>(self)->*fn)(wParam);
  *result = 0;
  return true;
}

template <class T, void (T::*fn)(UINT code, UINT position, HWND scrollBar)>
bool ScrollThunk(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  (static_cast<T*>(self)->*fn)(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
  *result = 0;
  return true;
}

template <class T, void (T::*fn)(UINT id, LPARAM lParam)>
bool SysCommandThunk(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  (static_cast<T*>(self)->*fn)(static_cast<UINT>(wParam), lParam);
  *result = 0;
  return true;
}

template <class T, BOOL (T::*fn)(HDC dc)>
bool EraseThunk(CWnd* self, WPARAM wParam, LPARAM, LRESULT* result) {
  *result = (static_cast<T*>(self)->*fn)(reinterpret_cast<HDC>(wParam));
  return true;
}

template <class T, HCURSOR (T::*fn)()>
bool DragIconThunk(CWnd* self, WPARAM, LPARAM, LRESULT* result) {
  *result = reinterpret_cast<LRESULT>((static_cast<T*>(self)->*fn)());
  return true;
}

template <class T, BOOL (T::*fn)(HELPINFO* info)>
bool HelpThunk(CWnd* self, WPARAM, LPARAM lParam, LRESULT* result) {
  *result = (static_cast<T*>(self)->*fn)(reinterpret_cast<HELPINFO*>(lParam));
  return true;
}

template <class T, BOOL (T::*fn)(HWND window, UINT hitTest, UINT message)>
bool SetCursorThunk(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = (static_cast<T*>(self)->*fn)(reinterpret_cast<HWND>(wParam), LOWORD(lParam),
                                         HIWORD(lParam));
  return true;
}

template <class T, void (T::*fn)(UINT flags, POINT point)>
bool MouseThunk(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  (static_cast<T*>(self)->*fn)(static_cast<UINT>(wParam), point);
  *result = 0;
  return true;
}

template <class T, void (T::*fn)(UINT key, UINT repeat, UINT flags)>
bool KeyThunk(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  (static_cast<T*>(self)->*fn)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
  *result = 0;
  return true;
}

// The reflected colour request: the child decides its own brush.
template <class T, HBRUSH (T::*fn)(HDC dc, UINT controlType)>
bool CtlColorThunk(CWnd* self, WPARAM wParam, LPARAM, LRESULT* result) {
  *result = reinterpret_cast<LRESULT>(
      (static_cast<T*>(self)->*fn)(reinterpret_cast<HDC>(wParam), CTLCOLOR_STATIC));
  return true;
}

}  // namespace fw

// ---------------------------------------------------------------------------
// Declaring and defining a class's table.
// ---------------------------------------------------------------------------
#define DECLARE_MESSAGE_MAP() \
 protected:                   \
  const fw::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                  \
  const fw::MessageMap* theClass::GetMessageMap() const {       \
    using ThisClass = theClass;                                 \
    using BaseClass = baseClass;                                \
    static const fw::MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                         \
  {0, 0, 0, nullptr}                                                              \
  }                                                                               \
  ;                                                                               \
  static const fw::MessageMap map = {this->BaseClass::GetMessageMap(), entries}; \
  return &map;                                                                    \
  }

#define ON_COMMAND(id, fn) {WM_COMMAND, BN_CLICKED, id, fw::VoidThunk<ThisClass, &ThisClass::fn>},
#define ON_BN_CLICKED(id, fn) ON_COMMAND(id, fn)
#define ON_CBN_SELCHANGE(id, fn) \
  {WM_COMMAND, CBN_SELCHANGE, id, fw::VoidThunk<ThisClass, &ThisClass::fn>},
#define ON_MESSAGE(message, fn) {message, 0, 0, fw::MessageThunkFor<ThisClass, &ThisClass::fn>},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, fw::TimerThunk<ThisClass, &ThisClass::OnTimer>},
#define ON_WM_HSCROLL() {WM_HSCROLL, 0, 0, fw::ScrollThunk<ThisClass, &ThisClass::OnHScroll>},
#define ON_WM_VSCROLL() {WM_VSCROLL, 0, 0, fw::ScrollThunk<ThisClass, &ThisClass::OnVScroll>},
#define ON_WM_SYSCOMMAND() \
  {WM_SYSCOMMAND, 0, 0, fw::SysCommandThunk<ThisClass, &ThisClass::OnSysCommand>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, fw::VoidThunk<ThisClass, &ThisClass::OnPaint>},
#define ON_WM_QUERYDRAGICON() \
  {WM_QUERYDRAGICON, 0, 0, fw::DragIconThunk<ThisClass, &ThisClass::OnQueryDragIcon>},
#define ON_WM_ERASEBKGND() \
  {WM_ERASEBKGND, 0, 0, fw::EraseThunk<ThisClass, &ThisClass::OnEraseBkgnd>},
#define ON_WM_HELPINFO() {WM_HELP, 0, 0, fw::HelpThunk<ThisClass, &ThisClass::OnHelpInfo>},
#define ON_WM_SETCURSOR() \
  {WM_SETCURSOR, 0, 0, fw::SetCursorThunk<ThisClass, &ThisClass::OnSetCursor>},
#define ON_WM_LBUTTONDOWN() \
  {WM_LBUTTONDOWN, 0, 0, fw::MouseThunk<ThisClass, &ThisClass::OnLButtonDown>},
#define ON_WM_KEYDOWN() {WM_KEYDOWN, 0, 0, fw::KeyThunk<ThisClass, &ThisClass::OnKeyDown>},
#define ON_WM_CTLCOLOR_REFLECT() \
  {fw::kReflectBase + WM_CTLCOLORSTATIC, 0, 0, fw::CtlColorThunk<ThisClass, &ThisClass::CtlColor>},
#define ON_CONTROL_REFLECT(code, fn) \
  {fw::kReflectBase + WM_COMMAND, code, 0, fw::VoidThunk<ThisClass, &ThisClass::fn>},
