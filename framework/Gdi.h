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
  // Trades objects: a replacement takes over while the old one is still
  // selected somewhere, and goes when `other` goes.
  void Swap(CGdiObject& other) {
    HGDIOBJ handle = handle_;
    handle_ = other.handle_;
    other.handle_ = handle;
  }

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

// An icon loaded for one window, destroyed with its object.
class CIcon {
 public:
  CIcon() = default;
  ~CIcon() { Reset(nullptr); }
  CIcon(const CIcon&) = delete;
  CIcon& operator=(const CIcon&) = delete;
  // Takes `icon` over; the one held before is destroyed.
  void Reset(HICON icon) {
    if (icon_) ::DestroyIcon(icon_);
    icon_ = icon;
  }
  operator HICON() const { return icon_; }

 private:
  HICON icon_ = nullptr;
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
