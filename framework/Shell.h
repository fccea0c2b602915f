// The program's few calls that leave its own windows: message boxes and the
// shell's "open". Both pass through one function each, which tests replace
// so that no box blocks a test and no browser or viewer starts.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// A message box owned by the active window, with the application's name as
// caption. Returns the button chosen.
int AfxMessageBox(const char* text, UINT type = MB_OK);
int AfxMessageBox(UINT stringId, UINT type = MB_OK);

// Boxes shown from now on close themselves after `milliseconds` (0: they
// wait for the user, as normally). An unattended run uses it, so that a box
// nobody sees cannot keep the program from ending.
void SetMessageBoxTimeout(UINT milliseconds);

// The shell's "open" of `file`, shown normally.
void ShellOpen(const char* file);

using MessageBoxHook = int (*)(const char* text, const char* caption, UINT type);
using ShellOpenHook = void (*)(const char* file);
void SetMessageBoxHook(MessageBoxHook hook);  // null: real message boxes
void SetShellOpenHook(ShellOpenHook hook);    // null: the real shell

std::string LoadResourceString(UINT id);

}  // namespace fw
