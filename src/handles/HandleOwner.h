#pragma once
// One owner for every kind of handle Corvalet and its hook library create: movable, not
// copyable, and the handle is released exactly once, by the function its kind names. Nothing
// releases a handle by hand. Below both the program's Windows layer and the hook, which
// include it alike.
#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace cvl::handles {

// A counting build (CORVALET_COUNT_HANDLES, never shipped) keeps the number of live handles of
// each kind, so that a test can see that cycles of work leave them where they started.
template <auto Release>
inline int g_liveHandles = 0;
template <auto Release>
inline void CountAcquired() {
#ifdef CORVALET_COUNT_HANDLES
  ++g_liveHandles<Release>;
#endif
}
template <auto Release>
inline void CountReleased() {
#ifdef CORVALET_COUNT_HANDLES
  --g_liveHandles<Release>;
#endif
}

template <typename H, auto Release, H Null = H{}>
class HandleOwner {
 public:
  HandleOwner() = default;
  explicit HandleOwner(H handle) : handle_(handle) {
    if (handle_ != Null) CountAcquired<Release>();
  }
  ~HandleOwner() { Reset(); }
  HandleOwner(const HandleOwner&) = delete;
  HandleOwner& operator=(const HandleOwner&) = delete;
  HandleOwner(HandleOwner&& other) noexcept : handle_(other.Detach()) {}
  HandleOwner& operator=(HandleOwner&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = other.Detach();  // the handle changes owner, not count
    }
    return *this;
  }

  H Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Null; }
  H Detach() { return std::exchange(handle_, Null); }
  void Reset(H handle = Null) {
    if (handle_ != Null) {
      Release(handle_);
      CountReleased<Release>();
    }
    handle_ = handle;
    if (handle_ != Null) CountAcquired<Release>();
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
inline void Library(HMODULE h) {
  ::FreeLibrary(h);
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
using LibraryOwner = HandleOwner<HMODULE, &release::Library>;     // from LoadLibraryA

}  // namespace cvl::handles
