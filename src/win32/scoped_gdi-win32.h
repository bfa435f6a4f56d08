// Owners for the GDI and USER handles of the front end: fonts, pens, brushes, icons and the
// device context of a paint or of the screen. Each gives its handle back when it goes out of
// scope.
#ifndef TARNWICK_WIN32_SCOPED_GDI_WIN32_H_
#define TARNWICK_WIN32_SCOPED_GDI_WIN32_H_

#include <utility>

#include "win32/windows-win32.h"

namespace tarnwick {

/// A GDI object (HFONT, HPEN, HBRUSH, HBITMAP) created by the program; deleted on destruction.
/// Null means "none".
template <typename T>
class ScopedGdiObject {
 public:
  ScopedGdiObject() = default;
  explicit ScopedGdiObject(T object) : object_(object) {}
  ScopedGdiObject(ScopedGdiObject&& other) noexcept
      : object_(std::exchange(other.object_, nullptr)) {}
  ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ScopedGdiObject() {
    if (object_) DeleteObject(object_);
  }

  T get() const { return object_; }

 private:
  T object_ = nullptr;
};

using ScopedFont = ScopedGdiObject<HFONT>;

/// An icon loaded with LoadImage at a size of its own (not shared); destroyed on destruction.
class ScopedIcon {
 public:
  ScopedIcon() = default;
  explicit ScopedIcon(HICON icon) : icon_(icon) {}
  ScopedIcon(ScopedIcon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
  ScopedIcon& operator=(ScopedIcon&& other) noexcept {
    std::swap(icon_, other.icon_);
    return *this;
  }
  ~ScopedIcon() {
    if (icon_) DestroyIcon(icon_);
  }

  HICON get() const { return icon_; }

 private:
  HICON icon_ = nullptr;
};

/// The screen's device context, for measuring; released on destruction.
class ScreenDC {
 public:
  ScreenDC() : dc_(GetDC(nullptr)) {}
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  ~ScreenDC() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }

  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

/// Selects `object` into `dc` and puts the previous one back on destruction.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() { SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

/// BeginPaint and EndPaint around a WM_PAINT handler.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  ~ScopedPaint() { EndPaint(window_, &paint_); }

  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
  HDC dc_;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_SCOPED_GDI_WIN32_H_
