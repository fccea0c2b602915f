// Drawing objects that release what they own.
#pragma once

#include <windows.h>

namespace fw {

class CGdiObject {
 public:
  CGdiObject() = default;
  ~CGdiObject() { DeleteObject(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  void DeleteObject() {
    if (handle_) ::DeleteObject(handle_);
    handle_ = nullptr;
  }
  HGDIOBJ GetSafeHandle() const { return handle_; }
  bool IsEmpty() const { return handle_ == nullptr; }

 protected:
  HGDIOBJ handle_ = nullptr;
};

class CFont : public CGdiObject {
 public:
  bool CreateFontIndirect(const LOGFONTA* description) {
    DeleteObject();
    handle_ = ::CreateFontIndirectA(description);
    return handle_ != nullptr;
  }
  operator HFONT() const { return static_cast<HFONT>(handle_); }
};

class CBitmap : public CGdiObject {
 public:
  bool CreateCompatibleBitmap(HDC dc, int width, int height) {
    DeleteObject();
    handle_ = ::CreateCompatibleBitmap(dc, width, height);
    return handle_ != nullptr;
  }
  operator HBITMAP() const { return static_cast<HBITMAP>(handle_); }
};

// A memory device context, deleted with its object.
class CMemoryDC {
 public:
  explicit CMemoryDC(HDC compatibleWith) : dc_(::CreateCompatibleDC(compatibleWith)) {}
  ~CMemoryDC() {
    if (dc_) ::DeleteDC(dc_);
  }
  CMemoryDC(const CMemoryDC&) = delete;
  CMemoryDC& operator=(const CMemoryDC&) = delete;
  operator HDC() const { return dc_; }

 private:
  HDC dc_;
};

// A window's device context, released with its object.
class CWindowDC {
 public:
  explicit CWindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~CWindowDC() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  CWindowDC(const CWindowDC&) = delete;
  CWindowDC& operator=(const CWindowDC&) = delete;
  operator HDC() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace fw
