#include "platform/Worker.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform {

namespace {
std::atomic<MessageReceiver> receiver{nullptr};
// Never destroyed: a worker may still be ending while the process exits.
std::mutex& workersMutex = *new std::mutex;
std::condition_variable& workersDone = *new std::condition_variable;
int runningWorkers = 0;

void WorkerEnded() {
  std::lock_guard<std::mutex> lock(workersMutex);
  --runningWorkers;
  workersDone.notify_all();
}
}  // namespace

bool StartWorkerThread(unsigned (*work)(void* argument), void* argument) {
  {
    std::lock_guard<std::mutex> lock(workersMutex);
    ++runningWorkers;
  }
  try {
    std::thread([work, argument] {
      work(argument);
      WorkerEnded();
    }).detach();
    return true;
  } catch (const std::system_error&) {
    WorkerEnded();
    return false;  // no thread could be made: reported as a result, never thrown on
  }
}

bool WaitForWorkers(unsigned milliseconds) {
  std::unique_lock<std::mutex> lock(workersMutex);
  return workersDone.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [] { return runningWorkers == 0; });
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
