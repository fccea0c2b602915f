// Thin wrappers over the common controls: one line per operation, with the
// control's own return rule noted where it matters.
#pragma once

#include <windows.h>

// After windows.h, which it needs.
#include <commctrl.h>

#include "framework/Wnd.h"

namespace fw {

class CStatic : public CWnd {};

class CButton : public CWnd {
 public:
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int state) { SendMessage(BM_SETCHECK, state); }
  HICON SetIcon(HICON icon) {
    return reinterpret_cast<HICON>(
        SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
  }
  // False when the button (before common controls 6) does not take image lists.
  bool SetImageList(BUTTON_IMAGELIST* list) {
    return SendMessage(BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list)) != 0;
  }
};

class CEdit : public CWnd {
 public:
  // The selection; with no selection both ends are the caret.
  void GetSel(int* start, int* end) const {
    DWORD s = 0, e = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    *start = static_cast<int>(s);
    *end = static_cast<int>(e);
  }
  void SetSel(int start, int end) { SendMessage(EM_SETSEL, start, end); }
  void ScrollCaret() { SendMessage(EM_SCROLLCARET); }
};

class CComboBox : public CWnd {
 public:
  int AddString(const char* text) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  void ResetContent() { SendMessage(CB_RESETCONTENT); }
  int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  // CB_ERR (-1) when nothing is selected.
  int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, index)); }
};

class CComboBoxEx : public CComboBox {
 public:
  // Returns the index inserted at, or -1.
  int InsertItem(int index, const char* text, int image, int selectedImage) {
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    item.iSelectedImage = selectedImage;
    return static_cast<int>(SendMessage(CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  }
  // Replaces an entry's text, keeping its images. FALSE when there is no such entry.
  BOOL SetItemText(int index, const char* text) {
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessage(CBEM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  }
  HIMAGELIST SetImageList(HIMAGELIST list) {
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list)));
  }
};

class CSliderCtrl : public CWnd {
 public:
  void SetRange(int low, int high, BOOL redraw = FALSE) {
    SendMessage(TBM_SETRANGEMIN, FALSE, low);
    SendMessage(TBM_SETRANGEMAX, redraw, high);
  }
  int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
  int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
  int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
  void SetPos(int position) { SendMessage(TBM_SETPOS, TRUE, position); }
  void SetPageSize(int size) { SendMessage(TBM_SETPAGESIZE, 0, size); }
  void SetTicFreq(int frequency) { SendMessage(TBM_SETTICFREQ, frequency); }
};

class CSpinButtonCtrl : public CWnd {
 public:
  void SetRange32(int low, int high) { SendMessage(UDM_SETRANGE32, low, high); }
  void SetPos32(int position) { SendMessage(UDM_SETPOS32, 0, position); }
  int GetPos32() const { return static_cast<int>(SendMessage(UDM_GETPOS32)); }
};

class CToolTipCtrl : public CWnd {
 public:
  ~CToolTipCtrl() override {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
  }
  bool Create(CWnd* owner, DWORD style = 0) {
    HWND window = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner->m_hWnd,
                                    nullptr, nullptr, nullptr);
    if (window == nullptr) return false;
    Attach(window);
    return true;
  }
  // Adds `tool` (a child control) with `text`; the tool is found by its
  // window, so no rectangle is needed.
  bool AddTool(CWnd* tool, const char* text) {
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = ::GetParent(tool->m_hWnd);
    info.uId = reinterpret_cast<UINT_PTR>(tool->m_hWnd);
    info.lpszText = const_cast<char*>(text);
    return SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != 0;
  }
  int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
  // Changes the text of a tool added with AddTool.
  void UpdateTipText(CWnd* tool, const char* text) {
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = ::GetParent(tool->m_hWnd);
    info.uId = reinterpret_cast<UINT_PTR>(tool->m_hWnd);
    info.lpszText = const_cast<char*>(text);
    SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
  }
  // The text of a tool added with AddTool (at most 511 characters).
  std::string GetToolText(CWnd* tool) const {
    char text[512] = {};
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = ::GetParent(tool->m_hWnd);
    info.uId = reinterpret_cast<UINT_PTR>(tool->m_hWnd);
    info.lpszText = text;
    SendMessage(TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    return text;
  }

  // A control and the string resource of its tip.
  struct Tool {
    CWnd* control;
    UINT text;
  };
  // Creates the tooltip control of `owner`, adds the tools and activates it.
  // False (and no tooltip) when the control cannot be created.
  bool CreateWithTools(CWnd* owner, const Tool* tools, size_t count);
  template <size_t N>
  bool CreateWithTools(CWnd* owner, const Tool (&tools)[N]) {
    return CreateWithTools(owner, tools, N);
  }
  void Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate); }
  void RelayEvent(MSG* message) {
    SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message));
  }
};

// An image list owned by its object.
class CImageList {
 public:
  CImageList() = default;
  ~CImageList() {
    if (list_) ImageList_Destroy(list_);
  }
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;
  bool Create(int cx, int cy, UINT flags, int initial, int grow) {
    list_ = ImageList_Create(cx, cy, flags, initial, grow);
    return list_ != nullptr;
  }
  // Appends the icon; returns its index or -1.
  int Add(HICON icon) { return ImageList_ReplaceIcon(list_, -1, icon); }
  int GetImageCount() const { return ImageList_GetImageCount(list_); }
  HIMAGELIST GetSafeHandle() const { return list_; }
  // Trades lists, so that a control can take the new one before the old goes.
  void Swap(CImageList& other) {
    HIMAGELIST list = list_;
    list_ = other.list_;
    other.list_ = list;
  }

 private:
  HIMAGELIST list_ = nullptr;
};

}  // namespace fw
