#include "WindowSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "framework/Shell.h"
#include "platform/Settings.h"

namespace windows_test {

namespace {
Recorder* recorder = nullptr;

int RecordMessageBox(const char* text, const char* caption, UINT type) {
  char line[600];
  std::snprintf(line, sizeof line, "%s|%s|%u", text, caption, type);
  recorder->messages.push_back(line);
  return IDOK;
}

void RecordShellOpen(const char* file) { recorder->opened.push_back(file); }
}  // namespace

Recorder::Recorder() {
  recorder = this;
  fw::SetMessageBoxHook(RecordMessageBox);
  fw::SetShellOpenHook(RecordShellOpen);
}

Recorder::~Recorder() {
  fw::SetMessageBoxHook(nullptr);
  fw::SetShellOpenHook(nullptr);
  recorder = nullptr;
}

Recorder& CurrentRecorder() { return *recorder; }

void FreshSettings(const char* application) {
  platform::SetRegistryKey("Palisko");
  platform::SetApplicationName(application);
  const std::string key = std::string("Software\\Palisko\\") + application;
  ::RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
}

void Pump(unsigned milliseconds) {
  const DWORD end = ::GetTickCount() + milliseconds;
  do {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    ::Sleep(5);
  } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

COLORREF PixelAt(HWND window, int x, int y) {
  HDC dc = ::GetDC(window);
  const COLORREF colour = ::GetPixel(dc, x, y);
  ::ReleaseDC(window, dc);
  return colour;
}

RECT RectInParent(HWND control) {
  RECT rect;
  ::GetWindowRect(control, &rect);
  HWND parent = ::GetParent(control);
  ::ScreenToClient(parent, reinterpret_cast<POINT*>(&rect.left));
  ::ScreenToClient(parent, reinterpret_cast<POINT*>(&rect.right));
  return rect;
}

std::string TextOf(HWND window) {
  char text[512] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[128] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

void SaveScreenshot(HWND window, const char* name) {
  const char* dir = std::getenv("TORVANE_SCREENSHOT_DIR");
  if (dir == nullptr || *dir == '\0') return;
  RECT rect;
  ::GetWindowRect(window, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  ::SelectObject(memory, previous);
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + stride * height;
  std::ofstream out(std::string(dir) + "\\" + name + ".bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), stride * height);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace windows_test
