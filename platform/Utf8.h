// UTF-8 and the platform's UTF-16, for the calls that take wide text.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

inline std::wstring WideFromUtf8(const char* text) {
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (length <= 1) return std::wstring();
  std::wstring wide(length - 1, L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], length);
  return wide;
}

inline std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
  std::string text(length, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0], length,
                        nullptr, nullptr);
  return text;
}

}  // namespace platform
