#include "platform/Worker.h"

#include <atomic>

#ifdef _WIN32
#include <process.h>

#include <new>
#else
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#endif

namespace platform {

namespace {
std::atomic<MessageReceiver> receiver{nullptr};
int runningWorkers = 0;

#ifdef _WIN32
// Threads and locks of the system itself: the shipping program then carries
// no threads library. Both are ready before any code runs and never need
// destroying, so a worker may still be ending while the process exits.
SRWLOCK workersLock = SRWLOCK_INIT;
CONDITION_VARIABLE workersDone = CONDITION_VARIABLE_INIT;

void WorkerEnded() {
  ::AcquireSRWLockExclusive(&workersLock);
  --runningWorkers;
  ::ReleaseSRWLockExclusive(&workersLock);
  ::WakeAllConditionVariable(&workersDone);
}

struct WorkerStart {
  unsigned (*work)(void* argument);
  void* argument;
};

unsigned __stdcall RunWorker(void* started) {
  const WorkerStart start = *static_cast<WorkerStart*>(started);
  delete static_cast<WorkerStart*>(started);
  start.work(start.argument);
  WorkerEnded();
  return 0;
}
#else
// Never destroyed: a worker may still be ending while the process exits.
std::mutex& workersMutex = *new std::mutex;
std::condition_variable& workersDone = *new std::condition_variable;

void WorkerEnded() {
  std::lock_guard<std::mutex> lock(workersMutex);
  --runningWorkers;
  workersDone.notify_all();
}
#endif
}  // namespace

#ifdef _WIN32
bool StartWorkerThread(unsigned (*work)(void* argument), void* argument) {
  WorkerStart* start = new (std::nothrow) WorkerStart{work, argument};
  if (!start) return false;
  ::AcquireSRWLockExclusive(&workersLock);
  ++runningWorkers;
  ::ReleaseSRWLockExclusive(&workersLock);
  // _beginthreadex rather than CreateThread: the C runtime is ready on the thread.
  const uintptr_t thread = ::_beginthreadex(nullptr, 0, RunWorker, start, 0, nullptr);
  if (thread == 0) {
    delete start;
    WorkerEnded();
    return false;
  }
  ::CloseHandle(reinterpret_cast<HANDLE>(thread));  // nobody waits for this one thread
  return true;
}

bool WaitForWorkers(unsigned milliseconds) {
  const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
  ::AcquireSRWLockExclusive(&workersLock);
  // Woken when a worker ends, or for no reason: the count decides.
  for (ULONGLONG now = ::GetTickCount64(); runningWorkers != 0 && now < deadline;
       now = ::GetTickCount64()) {
    ::SleepConditionVariableSRW(&workersDone, &workersLock, static_cast<DWORD>(deadline - now), 0);
  }
  const bool none = runningWorkers == 0;
  ::ReleaseSRWLockExclusive(&workersLock);
  return none;
}
#else
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
#endif

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
