#include "platform/Worker.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace platform {

namespace {
std::atomic<MessageReceiver> receiver{nullptr};
}

bool StartWorkerThread(unsigned (*work)(void* argument), void* argument) {
  try {
    std::thread(work, argument).detach();
    return true;
  } catch (const std::system_error&) {
    return false;  // no thread could be made: reported as a result, never thrown on
  }
}

void InstallMessageReceiver(MessageReceiver standIn) { receiver.store(standIn); }

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (MessageReceiver standIn = receiver.load()) return standIn(window, message, wParam, lParam);
#ifdef _WIN32
  return ::SendMessageA(window, message, wParam, lParam);
#else
  (void)window, (void)message, (void)wParam, (void)lParam;
  return 0;
#endif
}

}  // namespace platform
