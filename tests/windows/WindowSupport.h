// Support for the window tests: real dialogs from the real templates on the
// virtual display, driven with window messages and read back as a user would
// see them (texts, states, pixels).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace windows_test {

// Lets the windows process what is queued (painting, timers) for a while.
void Pump(unsigned milliseconds = 50);

// The colour on screen at client point (x, y) of `window`.
COLORREF PixelAt(HWND window, int x, int y);

// A control's rectangle in its parent's client coordinates.
RECT RectInParent(HWND control);

std::string TextOf(HWND window);
std::string ClassOf(HWND window);

// Records message boxes and shell opens instead of showing or starting them.
struct Recorder {
  Recorder();
  ~Recorder();
  std::vector<std::string> messages;  // "text|caption|type"
  std::vector<std::string> opened;
};
Recorder& CurrentRecorder();

// Starts the test with no stored settings for `application` and makes it the
// application whose settings the program reads and writes.
void FreshSettings(const char* application);

// Saves the window's screen image as a 24-bit BMP when TORVANE_SCREENSHOT_DIR
// is set (the screenshot script turns it into a PNG).
void SaveScreenshot(HWND window, const char* name);

}  // namespace windows_test
