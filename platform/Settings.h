// The per-user settings store: sections of named string and integer values.
// On Windows it is the registry, HKEY_CURRENT_USER\Software\<company>\<application>
// with one subkey per section; on Linux an in-memory store (for the tests).
#pragma once

#include <string>

namespace platform {

// The company key, set once at start-up; until it is set, nothing is stored.
void SetRegistryKey(const char* company);
// The application's name: by default the executable's file name without its
// extension.
void SetApplicationName(const char* name);
std::string ApplicationName();

std::string GetProfileString(const char* section, const char* entry, const char* defaultValue);
bool WriteProfileString(const char* section, const char* entry, const char* value);
bool WriteProfileInt(const char* section, const char* entry, int value);

// Reads a stored integer back; `defaultValue` when there is none.
int GetProfileInt(const char* section, const char* entry, int defaultValue);

}  // namespace platform
