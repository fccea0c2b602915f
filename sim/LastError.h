// The thread's last-error value, as the system functions the bay stands in
// for leave it. Only Windows has one; elsewhere the call does nothing.
#pragma once

#include "platform/PlatformTypes.h"

namespace sim {

// Codes the bay reports that the portable platform header does not declare.
constexpr DWORD kErrorInvalidFunction = 1;
constexpr DWORD kErrorFileNotFound = 2;
constexpr DWORD kErrorInvalidHandle = 6;
constexpr DWORD kErrorNotSupported = 50;
constexpr DWORD kErrorInvalidParameter = 87;
constexpr DWORD kErrorInsufficientBuffer = 122;
constexpr DWORD kErrorFilenameExcedRange = 206;
constexpr DWORD kErrorMoreData = 234;
constexpr DWORD kErrorNoMoreFiles = 18;
constexpr DWORD kErrorIoDevice = 1117;

inline void SetSystemError(DWORD code) {
#ifdef _WIN32
  ::SetLastError(code);
#else
  (void)code;
#endif
}

}  // namespace sim
