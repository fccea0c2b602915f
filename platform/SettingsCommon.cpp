#include <mutex>
#include <string>

#include "platform/Settings.h"
#include "platform/SettingsBackend.h"

namespace platform {

namespace {
std::mutex namesMutex;
std::string company;
std::string application;
}  // namespace

void SetRegistryKey(const char* name) {
  std::lock_guard<std::mutex> lock(namesMutex);
  company = name ? name : "";
}

void SetApplicationName(const char* name) {
  std::lock_guard<std::mutex> lock(namesMutex);
  application = name ? name : "";
}

std::string ApplicationName() {
  std::lock_guard<std::mutex> lock(namesMutex);
  return application.empty() ? DefaultApplicationName() : application;
}

std::string SettingsRoot() {
  std::string app = ApplicationName();
  std::lock_guard<std::mutex> lock(namesMutex);
  if (company.empty()) return std::string();
  return "Software\\" + company + "\\" + app;
}

}  // namespace platform
