// Settings kept in memory for the native build: the same keys as the
// registry would hold, gone when the process ends.
#include <map>
#include <mutex>
#include <string>

#include "platform/Settings.h"
#include "platform/SettingsBackend.h"

namespace platform {

namespace {
std::mutex storeMutex;
std::map<std::string, std::string> strings;
std::map<std::string, int> integers;

std::string ValueKey(const char* section, const char* entry) {
  const std::string root = SettingsRoot();
  return root.empty() ? root : root + "\\" + section + "\\" + entry;
}
}  // namespace

std::string DefaultApplicationName() { return "Torvane"; }

std::string GetProfileString(const char* section, const char* entry, const char* defaultValue) {
  const std::string key = ValueKey(section, entry);
  std::lock_guard<std::mutex> lock(storeMutex);
  const auto found = strings.find(key);
  if (key.empty() || found == strings.end()) return defaultValue ? defaultValue : "";
  return found->second;
}

bool WriteProfileString(const char* section, const char* entry, const char* value) {
  const std::string key = ValueKey(section, entry);
  if (key.empty()) return false;
  std::lock_guard<std::mutex> lock(storeMutex);
  strings[key] = value ? value : "";
  return true;
}

bool WriteProfileInt(const char* section, const char* entry, int value) {
  const std::string key = ValueKey(section, entry);
  if (key.empty()) return false;
  std::lock_guard<std::mutex> lock(storeMutex);
  integers[key] = value;
  return true;
}

int GetProfileInt(const char* section, const char* entry, int defaultValue) {
  const std::string key = ValueKey(section, entry);
  std::lock_guard<std::mutex> lock(storeMutex);
  const auto found = integers.find(key);
  return key.empty() || found == integers.end() ? defaultValue : found->second;
}

}  // namespace platform
