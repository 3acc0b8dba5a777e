#include "MouseHook.h"

#include "SharedSection.h"
#include "Subclassing.h"

#include "shell/HookProtocol.h"

namespace snarehook {

namespace {

// In Corvalet's own process: which mouse button chooses an entry of Corvalet's menu. The
// menu's modal loop shows every message to this filter before it acts on it, so the state is
// posted before the chosen entry reaches Corvalet.
HHOOK g_menuFilter;

LRESULT CALLBACK MenuFilterProc(int code, WPARAM wp, LPARAM lp) {
  if (code == MSGF_MENU && lp != 0) {
    const auto* m = reinterpret_cast<const MSG*>(lp);
    if (m->message == WM_LBUTTONUP || m->message == WM_RBUTTONUP) {
      if (const HWND form = FindWindowA(cvl::kMainFormClass, cvl::kMainFormCaption))
        PostMessageA(
            form, m->message == WM_LBUTTONUP ? cvl::THM_MENULEFTBUTTON : cvl::THM_MENURIGHTBUTTON,
            0, 0);
    }
  }
  return CallNextHookEx(g_menuFilter, code, wp, lp);
}

// In every process that gets mouse input: a right click released on a minimize button is
// reported with the top-level window; the click itself goes on as it would.
LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && wp == WM_NCRBUTTONUP && lp != 0) {
    const auto* m = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lp);
    if (m->wHitTestCode == HTMINBUTTON && m->hwnd != nullptr) {
      const HWND top = GetAncestor(m->hwnd, GA_ROOT);
      if (const HWND form = FindWindowA(cvl::kMainFormClass, cvl::kMainFormCaption))
        PostMessageA(form, cvl::THM_MINBUTTONRCLICK, 0, reinterpret_cast<LPARAM>(top));
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

void InstallMouseHooks() {
  if (g_menuFilter == nullptr)
    g_menuFilter = SetWindowsHookExA(WH_MSGFILTER, &MenuFilterProc, nullptr, GetCurrentThreadId());
  // Once per Corvalet: a hook left by one that died went with its thread.
  if (g_shared.mouseHook == nullptr || g_shared.mouseHookOwner != GetCurrentProcessId()) {
    if (g_shared.mouseHook != nullptr) UnhookWindowsHookEx(g_shared.mouseHook);
    g_shared.mouseHook = SetWindowsHookExA(WH_MOUSE, &MouseProc, g_module, 0);
    g_shared.mouseHookOwner = GetCurrentProcessId();
  }
}

void RemoveMouseHooks() {
  if (g_menuFilter != nullptr) UnhookWindowsHookEx(g_menuFilter);
  g_menuFilter = nullptr;
  if (g_shared.mouseHook != nullptr) UnhookWindowsHookEx(g_shared.mouseHook);
  g_shared.mouseHook = nullptr;
}

}  // namespace snarehook
