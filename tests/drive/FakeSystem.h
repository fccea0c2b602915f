// A scriptable stand-in for the operating system, for the drive tests that
// need answers no well-behaved device gives (short, damaged, failing ones) or
// that inspect the exact records the drive layer hands to the system.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/SystemCalls.h"

namespace fake {

struct IoCall {
  DWORD code;
  std::vector<uint8_t> in;  // the input buffer as handed over
  DWORD outSize;
};

struct System {
  // Answers DeviceIoControl: may write `out`, set `returned`, return success.
  std::function<BOOL(HANDLE, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* returned)>
      ioControl;
  std::function<HANDLE(const std::string& path)> open;
  std::string windowsDirectory = "C:\\WINDOWS";
  std::vector<std::string> mountNames = std::vector<std::string>(26);  // per letter
  std::vector<UINT> driveTypes = std::vector<UINT>(26, DRIVE_NO_ROOT_DIR);
  std::vector<std::string> volumes;  // what FindFirst/NextVolume enumerate
  DWORD lastError = 0;  // what GetLastError answers after any call
  std::vector<IoCall> calls;
  std::vector<std::string> opened;
  int closed = 0;
};

// Installs `system` as the platform's system calls for the life of the object.
class ScopedFakeSystem {
 public:
  explicit ScopedFakeSystem(System& system);
  ~ScopedFakeSystem();
};

}  // namespace fake
