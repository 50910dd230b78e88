// RAII owners for Win32 handles: one line per handle kind.
#pragma once

#include <windows.h>

#include <utility>

namespace zd {

template <typename T, auto Close, T Invalid = T{}>
class UniqueAny {
 public:
  UniqueAny() = default;
  explicit UniqueAny(T value) : value_(value) {}
  UniqueAny(UniqueAny&& other) noexcept : value_(std::exchange(other.value_, Invalid)) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(std::exchange(other.value_, Invalid));
    return *this;
  }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  ~UniqueAny() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Invalid; }
  T release() { return std::exchange(value_, Invalid); }
  void reset(T value = Invalid) {
    T old = std::exchange(value_, value);
    if (old != Invalid) Close(old);
  }

 private:
  T value_ = Invalid;
};

inline void CloseHandleFn(HANDLE h) { ::CloseHandle(h); }
inline void DeleteObjectFn(HGDIOBJ h) { ::DeleteObject(h); }
inline void DestroyMenuFn(HMENU h) { ::DestroyMenu(h); }
inline void DestroyIconFn(HICON h) { ::DestroyIcon(h); }
inline void RegCloseKeyFn(HKEY h) { ::RegCloseKey(h); }
inline void DeleteDCFn(HDC h) { ::DeleteDC(h); }
inline void DestroyWindowFn(HWND h) { ::DestroyWindow(h); }

using UniqueHandle = UniqueAny<HANDLE, CloseHandleFn>;
using UniqueBitmap = UniqueAny<HBITMAP, DeleteObjectFn>;
using UniqueFont = UniqueAny<HFONT, DeleteObjectFn>;
using UniqueBrush = UniqueAny<HBRUSH, DeleteObjectFn>;
using UniqueMenu = UniqueAny<HMENU, DestroyMenuFn>;
using UniqueIcon = UniqueAny<HICON, DestroyIconFn>;
using UniqueHkey = UniqueAny<HKEY, RegCloseKeyFn>;
// CreateFile reports failure as INVALID_HANDLE_VALUE, not as null.
inline UniqueHandle FileHandle(HANDLE h) {
  return UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}
// Closes at once and says whether the close worked (a write may fail there last).
inline bool CloseNow(UniqueHandle& h) {
  HANDLE raw = h.release();
  return !raw || ::CloseHandle(raw) != FALSE;
}
using UniqueDC = UniqueAny<HDC, DeleteDCFn>;  // a memory DC (CreateCompatibleDC)
using UniqueWindow = UniqueAny<HWND, DestroyWindowFn>;

// A window's DC (the screen's for a null window), released at the end of its scope.
class WindowDC {
 public:
  explicit WindowDC(HWND window = nullptr) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a DC for a scope; the old object goes back at its
// end, before the DC or the object is freed.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~SelectGuard() {
    if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace zd
