// The thread's last-error value, as the system functions the bay stands in
// for leave it; on Windows the system's own value is set as well.
#pragma once

#include "platform/PlatformTypes.h"

namespace sim {

// Codes the bay reports that the portable platform header does not declare.
constexpr DWORD kErrorInvalidFunction = 1;
constexpr DWORD kErrorFileNotFound = 2;
constexpr DWORD kErrorAccessDenied = 5;
constexpr DWORD kErrorInvalidHandle = 6;
constexpr DWORD kErrorNotSupported = 50;
constexpr DWORD kErrorInvalidParameter = 87;
constexpr DWORD kErrorInsufficientBuffer = 122;
constexpr DWORD kErrorFilenameExcedRange = 206;
constexpr DWORD kErrorMoreData = 234;
constexpr DWORD kErrorNoMoreFiles = 18;
constexpr DWORD kErrorIoDevice = 1117;
constexpr DWORD kErrorSemTimeout = 121;  // a device that did not answer in time

// The bay's own copy of the thread's last error, which the drive layer reads
// through the platform seam on every build.
inline DWORD& ThreadSystemError() {
  static thread_local DWORD error = 0;
  return error;
}

inline void SetSystemError(DWORD code) {
  ThreadSystemError() = code;
#ifdef _WIN32
  ::SetLastError(code);
#endif
}

inline DWORD LastSystemError() { return ThreadSystemError(); }

}  // namespace sim
