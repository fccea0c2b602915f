// The main window on a simulated machine, created and shown as the program
// does, for the window tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "BayMachine.h"
#include "WindowSupport.h"
#include "app/MainDlg.h"
#include "framework/Shell.h"
#include "res/resource.h"

namespace windows_test {

// The main window, created on a simulated machine and shown.
class MainWindow {
 public:
  // `commandLine`: what the program would be started with (null: nothing).
  explicit MainWindow(const std::string& bay, const char* commandLine = "Torvane.exe")
      : machine(bay) {
    dialog = std::make_unique<app::CMainDlg>();
    dialog->commandLine = commandLine;
    created = dialog->Create(IDD_MAIN, nullptr);
    if (dialog->m_hWnd && ::IsWindow(dialog->m_hWnd)) {
      ::SetWindowPos(dialog->m_hWnd, HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
      ::UpdateWindow(dialog->m_hWnd);
    }
    Pump(100);
  }
  ~MainWindow() {
    if (dialog->m_hWnd && ::IsWindow(dialog->m_hWnd)) ::DestroyWindow(dialog->m_hWnd);
    fw::SetMessageBoxTimeout(0);  // as a /QUIT command line may have left it
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> texts;
    const int count = dialog->m_driveBox.GetCount();
    for (int i = 0; i < count; ++i) {
      char text[128] = {};
      COMBOBOXEXITEMA item = {};
      item.mask = CBEIF_TEXT;
      item.iItem = i;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      dialog->m_driveBox.SendMessage(CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      texts.push_back(text);
    }
    return texts;
  }
  void Select(int index) {
    dialog->m_driveBox.SetCurSel(index);
    dialog->ShowSelectedDrive();
    Pump(50);
  }

  windows_test::Recorder recorder;
  BayMachine machine;
  std::unique_ptr<app::CMainDlg> dialog;
  bool created = false;
};

}  // namespace windows_test

using windows_test::MainWindow;
