#pragma once
// One owner for each handle the program opens: kernel objects, directory
// searches, registry keys, GDI objects, memory the system allocated. The
// handle is closed when its owner goes, and closing keeps the thread's last
// error: code that reads GetLastError() after an owner was replaced or left
// its scope still sees the failure it asks about.
#include <windows.h>

#include <utility>

namespace th::win32 {

template <class Traits>
class ScopedResource {
 public:
  using Handle = typename Traits::Handle;

  ScopedResource() = default;
  explicit ScopedResource(Handle h) : h_(Valid(h) ? h : Null()) {}
  ~ScopedResource() { reset(); }
  ScopedResource(ScopedResource&& o) noexcept : h_(o.release()) {}
  ScopedResource& operator=(ScopedResource&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  ScopedResource(const ScopedResource&) = delete;
  ScopedResource& operator=(const ScopedResource&) = delete;

  Handle get() const { return h_; }
  explicit operator bool() const { return Valid(h_); }
  // Where a call that creates the handle writes it; closes the one held first.
  Handle* put() {
    reset();
    return &h_;
  }
  Handle release() { return std::exchange(h_, Null()); }
  void reset(Handle h = Null()) {
    if (Valid(h_)) {
      const DWORD error = GetLastError();
      Traits::Close(h_);
      SetLastError(error);
    }
    h_ = Valid(h) ? h : Null();
  }

 private:
  static constexpr Handle Null() { return Handle{}; }
  static bool Valid(Handle h) { return h != Null() && h != Traits::Invalid(); }

  Handle h_ = Null();
};

// How a kind of handle is closed, and whether INVALID_HANDLE_VALUE (besides
// null) stands for no handle, as CreateFile and FindFirstFile return it.
template <class H, auto close, bool minusOneIsNone = false>
struct ClosedWith {
  using Handle = H;
  static Handle Invalid() {
    if constexpr (minusOneIsNone) {
      return INVALID_HANDLE_VALUE;
    } else {
      return nullptr;
    }
  }
  static void Close(Handle h) { close(h); }
};

using ScopedHandle = ScopedResource<ClosedWith<HANDLE, &CloseHandle, true>>;
using ScopedFind = ScopedResource<ClosedWith<HANDLE, &FindClose, true>>;
using ScopedRegKey = ScopedResource<ClosedWith<HKEY, &RegCloseKey>>;
using ScopedGdiObject = ScopedResource<ClosedWith<HGDIOBJ, &DeleteObject>>;
using ScopedMemoryDc = ScopedResource<ClosedWith<HDC, &DeleteDC>>;
// Memory that FormatMessage and similar calls allocate for the caller.
using ScopedLocalMemory = ScopedResource<ClosedWith<HLOCAL, &LocalFree>>;

// A window's device context, released to that window.
class ScopedGetDc {
 public:
  explicit ScopedGetDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ScopedGetDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  ScopedGetDc(const ScopedGetDc&) = delete;
  ScopedGetDc& operator=(const ScopedGetDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context for a scope; the one it replaced
// goes back when the scope ends.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~ScopedSelectObject() {
    if (old_) SelectObject(dc_, old_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace th::win32
