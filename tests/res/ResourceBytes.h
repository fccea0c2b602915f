// Reading the program's compiled resources back, as the loader sees them:
// the resources are linked into the test program itself.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace restest {

struct Bytes {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
};

inline HINSTANCE Module() { return ::GetModuleHandleW(nullptr); }

// Empty when the resource does not exist.
inline Bytes FindBytes(LPCSTR type, int id) {
  HRSRC info = ::FindResourceA(Module(), MAKEINTRESOURCEA(id), type);
  if (info == nullptr) return {};
  HGLOBAL handle = ::LoadResource(Module(), info);
  if (handle == nullptr) return {};
  return {static_cast<const std::uint8_t*>(::LockResource(handle)),
          static_cast<std::size_t>(::SizeofResource(Module(), info))};
}

// Little-endian reader over one resource. Reading past the end returns zeros
// and sets failed(), so a short resource fails the test instead of crashing it.
class Reader {
 public:
  explicit Reader(Bytes bytes, std::size_t offset = 0) : bytes_(bytes), pos_(offset) {}

  std::uint8_t Byte() { return Take(1) ? bytes_.data[pos_ - 1] : 0; }
  std::uint16_t Word() {
    if (!Take(2)) return 0;
    return static_cast<std::uint16_t>(bytes_.data[pos_ - 2] | (bytes_.data[pos_ - 1] << 8));
  }
  std::uint32_t Dword() {
    std::uint32_t low = Word();
    return low | (static_cast<std::uint32_t>(Word()) << 16);
  }
  std::int16_t Short() { return static_cast<std::int16_t>(Word()); }

  // A zero-terminated UTF-16 string.
  std::wstring String() {
    std::wstring text;
    for (std::uint16_t c = Word(); c != 0 && !failed_; c = Word()) text += static_cast<wchar_t>(c);
    return text;
  }
  // The name-or-ordinal field of dialog templates: "" for none, "#n" for an
  // ordinal, otherwise the string.
  std::wstring NameOrOrdinal() {
    std::uint16_t first = Word();
    if (first == 0) return L"";
    if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
    pos_ -= 2;
    return String();
  }
  void AlignDword() { pos_ = (pos_ + 3) & ~static_cast<std::size_t>(3); }
  void Skip(std::size_t n) { Take(n); }

  std::size_t Offset() const { return pos_; }
  bool failed() const { return failed_; }

 private:
  bool Take(std::size_t n) {
    if (failed_ || bytes_.data == nullptr || pos_ + n > bytes_.size) {
      failed_ = true;
      return false;
    }
    pos_ += n;
    return true;
  }

  Bytes bytes_;
  std::size_t pos_;
  bool failed_ = false;
};

inline std::wstring Wide(const char* ascii) {
  std::wstring out;
  for (; *ascii != '\0'; ++ascii) out += static_cast<wchar_t>(*ascii);
  return out;
}

inline std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

inline bool SameClassName(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace restest
