// Closes Torvane's window as its close box does, so that a run whose window
// stays open still ends and tells its exit code. Waits up to ten seconds for
// the window to appear. Usage: close_window [TITLE]
#include <windows.h>

int main(int argc, char** argv) {
  const char* title = argc > 1 ? argv[1] : "Torvane 1.10";
  for (int i = 0; i < 100; ++i) {
    if (HWND window = ::FindWindowA(nullptr, title)) {
      ::PostMessageA(window, WM_CLOSE, 0, 0);
      return 0;
    }
    ::Sleep(100);
  }
  return 1;
}
