// Worker threads and the window message by which a worker hands its result
// to a window.
#pragma once

#include "platform/PlatformTypes.h"

namespace platform {

// Runs `work(argument)` on a new thread at normal priority with the default
// stack, started at once; nobody waits for it. False when no thread could be
// started.
bool StartWorkerThread(unsigned (*work)(void* argument), void* argument);

// Waits until every worker started here has ended, at most `milliseconds`.
// True when none is left running.
bool WaitForWorkers(unsigned milliseconds);

// Sends a message synchronously: returns when the window has handled it.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A stand-in for the windows that receive messages (tests on any platform);
// null passes messages to the system again. On Linux without a stand-in a
// message goes nowhere.
using MessageReceiver = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void InstallMessageReceiver(MessageReceiver receiver);

}  // namespace platform
