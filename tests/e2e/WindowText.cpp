// Prints what Torvane's open window shows, one line per control: each entry
// of the drive box, then the text of every other child window, so that a
// check run from outside can compare it with the drives it was given.
// The drive box is a ComboBoxEx, whose entries only the owning process can
// read: the item record goes through memory allocated in that process.
// With --close-boxes it instead closes each message box as soon as it shows,
// until it is ended: an unattended run whose outcome is already known need
// not wait for its box to close itself.
// Build it for the same width as Torvane.exe. Usage: window_text [--close-boxes]
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace {

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  char cls[64] = {}, text[256] = {};
  ::GetClassNameA(child, cls, sizeof cls);
  ::GetWindowTextA(child, text, sizeof text);
  if (text[0] != '\0' && ::IsWindowVisible(child))
    std::printf("%s %d %s\n", cls, ::GetDlgCtrlID(child), text);
  return TRUE;
}

void PrintDriveBox(HWND box) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(box, &pid);
  HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                 FALSE, pid);
  if (!process) return;
  const SIZE_T textSize = 256;
  char* remote = static_cast<char*>(::VirtualAllocEx(
      process, nullptr, sizeof(COMBOBOXEXITEMA) + textSize, MEM_COMMIT, PAGE_READWRITE));
  const LRESULT count = ::SendMessageA(box, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; remote && i < count; ++i) {
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_TEXT;
    item.iItem = i;
    item.pszText = remote + sizeof item;
    item.cchTextMax = textSize;
    char text[textSize] = {};
    if (::WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
        ::SendMessageA(box, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote)) &&
        ::ReadProcessMemory(process, remote + sizeof item, text, textSize - 1, nullptr))
      std::printf("drive %d %s\n", static_cast<int>(i), text);
  }
  if (remote) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  ::CloseHandle(process);
}

}  // namespace

// Any dialog window but the main one (which has the drive box) is a box.
void CloseBoxesForever() {
  for (;;) {
    for (HWND w = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
         w = ::FindWindowExA(nullptr, w, "#32770", nullptr)) {
      if (::IsWindowVisible(w) && !::FindWindowExA(w, nullptr, "ComboBoxEx32", nullptr))
        ::PostMessageA(w, WM_CLOSE, 0, 0);
    }
    ::Sleep(200);
  }
}

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--close-boxes") == 0) CloseBoxesForever();
  HWND window = nullptr;
  for (int i = 0; i < 100 && !window; ++i) {
    window = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr);
    char title[64] = {};
    while (window && (::GetWindowTextA(window, title, sizeof title), std::strncmp(title, "Torvane ", 8)))
      window = ::FindWindowExA(nullptr, window, "#32770", nullptr);
    if (!window) ::Sleep(100);
  }
  if (!window) return 1;
  if (HWND box = ::FindWindowExA(window, nullptr, "ComboBoxEx32", nullptr)) PrintDriveBox(box);
  ::EnumChildWindows(window, PrintChild, 0);
  return 0;
}
