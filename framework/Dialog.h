// CDialog: a window built from a dialog template. DoModal runs a top-level
// dialog in the framework's own modal loop; Create makes a child page.
#pragma once

#include "framework/Wnd.h"

namespace fw {

class CDialog;

// Binds template controls to members while a dialog initialises.
struct CDataExchange {
  CDialog* dialog;
};
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  // Runs the dialog modally; returns the value given to EndDialog.
  INT_PTR DoModal();
  // Creates the dialog as a child window of `parent` (hidden unless its
  // template says visible).
  bool Create(UINT templateId, CWnd* parent);
  void EndDialog(INT_PTR result);

  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(CDataExchange* exchange);
  virtual void OnOK();
  virtual void OnCancel();
  bool PreTranslateMessage(MSG* message) override;

  // True while DoModal runs for this dialog.
  bool IsModalLoopRunning() const { return inModalLoop_; }
  // True once EndDialog was asked for, and the value it was given.
  bool EndRequested() const { return endRequested_; }
  INT_PTR Result() const { return result_; }

 protected:
  const MessageMap* GetMessageMap() const override;
  void UpdateData();
  UINT templateId_;
  CWnd* parent_;

 private:
  static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam);
  bool inModalLoop_ = false;
  bool endRequested_ = false;
  INT_PTR result_ = 0;
};

// Gives every window from the message's target up to the top a chance to
// take it (tooltips relay, dialogs navigate). True: handled.
bool PreTranslateChain(MSG* message);

}  // namespace fw
