#pragma once
// One owner for every kind of handle Corvalet creates: movable, not copyable, and the handle
// is released exactly once, by the function its kind names. Nothing releases a handle by hand.
#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace cvl::win32 {

template <typename H, auto Release, H Null = H{}>
class HandleOwner {
 public:
  HandleOwner() = default;
  explicit HandleOwner(H handle) : handle_(handle) {}
  ~HandleOwner() { Reset(); }
  HandleOwner(const HandleOwner&) = delete;
  HandleOwner& operator=(const HandleOwner&) = delete;
  HandleOwner(HandleOwner&& other) noexcept : handle_(other.Detach()) {}
  HandleOwner& operator=(HandleOwner&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }

  H Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Null; }
  H Detach() { return std::exchange(handle_, Null); }
  void Reset(H handle = Null) {
    if (handle_ != Null) Release(handle_);
    handle_ = handle;
  }

 private:
  H handle_ = Null;
};

namespace release {
inline void Icon(HICON h) {
  ::DestroyIcon(h);
}
inline void GdiObject(HGDIOBJ h) {
  ::DeleteObject(h);
}
inline void ImageList(HIMAGELIST h) {
  ::ImageList_Destroy(h);
}
inline void Menu(HMENU h) {
  ::DestroyMenu(h);
}
inline void WindowDc(HDC h) {
  ::DeleteDC(h);
}
inline void ScreenDc(HDC h) {
  ::ReleaseDC(nullptr, h);
}
inline void Hook(HHOOK h) {
  ::UnhookWindowsHookEx(h);
}
inline void GlobalAtom(ATOM a) {
  ::GlobalDeleteAtom(a);
}
inline void Kernel(HANDLE h) {
  ::CloseHandle(h);
}
}  // namespace release

using IconOwner = HandleOwner<HICON, &release::Icon>;
using BitmapOwner = HandleOwner<HGDIOBJ, &release::GdiObject>;
using FontOwner = HandleOwner<HGDIOBJ, &release::GdiObject>;
using ImageListOwner = HandleOwner<HIMAGELIST, &release::ImageList>;
using MenuOwner = HandleOwner<HMENU, &release::Menu>;
using DcOwner = HandleOwner<HDC, &release::WindowDc>;        // from CreateCompatibleDC
using ScreenDcOwner = HandleOwner<HDC, &release::ScreenDc>;  // from GetDC(nullptr)
using HookOwner = HandleOwner<HHOOK, &release::Hook>;
using AtomOwner = HandleOwner<ATOM, &release::GlobalAtom>;
using KernelHandleOwner = HandleOwner<HANDLE, &release::Kernel>;  // mutexes, events

}  // namespace cvl::win32
