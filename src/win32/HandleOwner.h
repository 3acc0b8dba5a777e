#pragma once
// The handle owners (handles/HandleOwner.h) under the Windows layer's names, and what a counting
// build answers about them.
#include "handles/HandleOwner.h"

namespace cvl::win32 {

using handles::HandleOwner;
namespace release = handles::release;
using handles::AtomOwner;
using handles::BitmapOwner;
using handles::CountAcquired;
using handles::CountReleased;
using handles::DcOwner;
using handles::FontOwner;
using handles::g_liveHandles;
using handles::HookOwner;
using handles::IconOwner;
using handles::ImageListOwner;
using handles::KernelHandleOwner;
using handles::LibraryOwner;
using handles::MenuOwner;
using handles::ScreenDcOwner;

// A counting build answers this registered message with LiveHandles(wParam).
inline constexpr const char* kHandleCountMessage = "Corvalet live handle count";
inline constexpr int kHandleKindCount = 9;  // icons, GDI objects, image lists, menus, memory DCs,
                                            // screen DCs, hooks, atoms, kernel handles
inline int LiveHandles(int kind) {
#ifdef CORVALET_COUNT_HANDLES
  switch (kind) {
    case 0:
      return g_liveHandles<&release::Icon>;
    case 1:
      return g_liveHandles<&release::GdiObject>;
    case 2:
      return g_liveHandles<&release::ImageList>;
    case 3:
      return g_liveHandles<&release::Menu>;
    case 4:
      return g_liveHandles<&release::WindowDc>;
    case 5:
      return g_liveHandles<&release::ScreenDc>;
    case 6:
      return g_liveHandles<&release::Hook>;
    case 7:
      return g_liveHandles<&release::GlobalAtom>;
    case 8:
      return g_liveHandles<&release::Kernel>;
    default:
      break;
  }
#else
  (void)kind;
#endif
  return -1;
}

}  // namespace cvl::win32
