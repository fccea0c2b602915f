// Settings in the registry under HKEY_CURRENT_USER.
#include <string>

#include "platform/PlatformTypes.h"
#include "platform/Settings.h"
#include "platform/SettingsBackend.h"

namespace platform {

namespace {

std::string SectionKey(const char* section) {
  const std::string root = SettingsRoot();
  return root.empty() ? root : root + "\\" + section;
}

}  // namespace

std::string DefaultApplicationName() {
  char path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
  std::string name(path, n < sizeof path ? n : 0);
  const size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string GetProfileString(const char* section, const char* entry, const char* defaultValue) {
  const std::string fallback = defaultValue ? defaultValue : "";
  const std::string key = SectionKey(section);
  if (key.empty()) return fallback;
  HKEY handle = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return fallback;
  char value[1024] = {};
  DWORD type = 0;
  DWORD size = sizeof value - 1;
  const LONG status =
      ::RegQueryValueExA(handle, entry, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  ::RegCloseKey(handle);
  if (status != ERROR_SUCCESS || type != REG_SZ) return fallback;
  value[size < sizeof value ? size : sizeof value - 1] = '\0';
  return value;
}

namespace {
bool WriteValue(const char* section, const char* entry, DWORD type, const BYTE* data, DWORD size) {
  const std::string key = SectionKey(section);
  if (key.empty()) return false;
  HKEY handle = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
    return false;
  const LONG status = ::RegSetValueExA(handle, entry, 0, type, data, size);
  ::RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}
}  // namespace

bool WriteProfileString(const char* section, const char* entry, const char* value) {
  const std::string text = value ? value : "";
  return WriteValue(section, entry, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                    static_cast<DWORD>(text.size() + 1));
}

bool WriteProfileInt(const char* section, const char* entry, int value) {
  const DWORD data = static_cast<DWORD>(value);
  return WriteValue(section, entry, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

int GetProfileInt(const char* section, const char* entry, int defaultValue) {
  const std::string key = SectionKey(section);
  if (key.empty()) return defaultValue;
  HKEY handle = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return defaultValue;
  DWORD value = 0, type = 0, size = sizeof value;
  const LONG status =
      ::RegQueryValueExA(handle, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  ::RegCloseKey(handle);
  return status == ERROR_SUCCESS && type == REG_DWORD ? static_cast<int>(value) : defaultValue;
}

}  // namespace platform
