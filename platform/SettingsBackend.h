// Shared between the settings front and the per-platform stores.
#pragma once

#include <string>

namespace platform {

// "Software\<company>\<application>", or empty while no company key is set.
std::string SettingsRoot();
std::string DefaultApplicationName();

}  // namespace platform
