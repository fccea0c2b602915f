// A trace of the real devices: a table of system calls that passes every call
// on to another table (the real system) and writes one line for it, in the
// same format as the simulated bay's trace. A user whose drive misbehaves can
// then send the commands it received and what it answered.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "platform/SystemCalls.h"
#include "sim/Trace.h"

namespace sim {

class SystemCallTracer {
 public:
  explicit SystemCallTracer(const platform::SystemCalls& next);
  ~SystemCallTracer();
  SystemCallTracer(const SystemCallTracer&) = delete;
  SystemCallTracer& operator=(const SystemCallTracer&) = delete;

  // Makes this tracer the platform's system calls (one tracer at a time);
  // Uninstall restores the real system.
  void Install();
  void Uninstall();

  TraceLog& Log() { return log_; }

  // The table this tracer installs: the calls below, and for every other
  // call a line with its name and whether it succeeded.
  static const platform::SystemCalls& TracedCalls();
  const platform::SystemCalls& Next() const { return next_; }

  // The calls, as the installed table forwards them.
  HANDLE Open(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags);
  BOOL Close(HANDLE handle);
  BOOL Control(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
               DWORD* returned);
  UINT WindowsDirectory(char* buffer, UINT size);
  BOOL VolumeName(const char* mountPoint, char* volumeName, DWORD size);
  UINT DriveType(const char* rootPath);
  HANDLE FirstVolume(char* volumeName, DWORD size);
  BOOL NextVolume(HANDLE find, char* volumeName, DWORD size);
  BOOL CloseVolumeSearch(HANDLE find);
  DWORD LastError();
  BOOL RegisterTask(const char* name, const char* xml);
  BOOL DeleteTask(const char* name);

 private:
  std::string DeviceOf(HANDLE handle);

  const platform::SystemCalls next_;  // with every call the given table lacks failing
  TraceLog log_;
  std::mutex namesMutex_;
  std::map<HANDLE, std::string> names_;  // open device handles, as the trace names them
};

// For the program at start-up: when TORVANE_SIMULATE names a bay file, loads
// and installs the bay; when TORVANE_TRACE (or the older
// TORVANE_SIMULATE_TRACE) names a file, the calls are traced there, the
// bay's or, without a bay, the real system's. Returns false with a message
// when the bay file cannot be loaded (nothing is installed then).
bool InstallFromEnvironment(std::string* error);

}  // namespace sim
