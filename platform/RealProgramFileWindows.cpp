// The program's path and the security descriptors of files, in UTF-8 (a path
// may hold characters the ANSI code page cannot, a user name in Cyrillic),
// and the local clock.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstring>
#include <string>

#include "platform/Calendar.h"
#include "platform/RealProgramFile.h"
#include "platform/Utf8.h"

namespace platform {

namespace {
// Copies `text` and its terminating zero; false, with the last error set,
// when it does not fit.
bool CopyOut(const std::string& text, char* buffer, DWORD size) {
  if (buffer == nullptr || text.size() + 1 > size) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}
}  // namespace

DWORD RealProgramPath(char* path, DWORD size) {
  std::wstring wide(32768, L'\0');  // the longest path the system has
  const DWORD length = ::GetModuleFileNameW(nullptr, &wide[0], static_cast<DWORD>(wide.size()));
  if (length == 0 || length >= wide.size()) return 0;
  wide.resize(length);
  const std::string text = Utf8FromWide(wide);
  return CopyOut(text, path, size) ? static_cast<DWORD>(text.size()) : 0;
}

BOOL RealSecurityText(const char* path, char* text, DWORD size) {
  constexpr SECURITY_INFORMATION kWhat = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  std::wstring name = WideFromUtf8(path);
  const DWORD error = ::GetNamedSecurityInfoW(&name[0], SE_FILE_OBJECT, kWhat, nullptr, nullptr,
                                              nullptr, nullptr, &descriptor);
  if (error != ERROR_SUCCESS) {
    ::SetLastError(error);
    return FALSE;
  }
  LPWSTR sddl = nullptr;
  const BOOL converted = ::ConvertSecurityDescriptorToStringSecurityDescriptorW(
      descriptor, SDDL_REVISION_1, kWhat, &sddl, nullptr);
  ::LocalFree(descriptor);
  if (!converted) return FALSE;
  const bool copied = CopyOut(Utf8FromWide(sddl), text, size);
  ::LocalFree(sddl);
  return copied ? TRUE : FALSE;
}

LONGLONG RealClockSeconds() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return DaysFromCivil(now.wYear, now.wMonth, now.wDay) * 86400 + now.wHour * 3600 +
         now.wMinute * 60 + now.wSecond;
}

}  // namespace platform
