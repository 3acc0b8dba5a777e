#include "Watchdog.h"

#include "ClockRoom.h"
#include "HiddenProcesses.h"
#include "IconStates.h"
#include "OwnerProcesses.h"
#include "SharedSection.h"
#include "ShellTray.h"
#include "Snarehook.h"
#include "Subclassing.h"

#include <commctrl.h>
#include <shellapi.h>

namespace snarehook {

namespace {

constexpr UINT_PTR kWatchdogTimer = 0x534E;
constexpr UINT kWatchdogMs = 1000;

}  // namespace

void ShowHiddenButtons() {
  while (g_shared.hiddenCount > 0) {
    const int command = g_shared.hidden[--g_shared.hiddenCount];
    // A button its program hid stays so.
    if (!ProgramHidButton(command))
      CallOld(g_shared.toolbar, TB_HIDEBUTTON, static_cast<WPARAM>(command), 0);
  }
}

namespace {

// The windows Corvalet's minimizer hid come back. Asynchronously: one of them may belong to a
// program that does not answer, and the shell must not wait for it.
void ShowHiddenWindows() {
  while (g_shared.windowCount > 0) {
    const HWND w = g_shared.windows[--g_shared.windowCount];
    if (w != nullptr && IsWindow(w)) ShowWindowAsync(w, SW_RESTORE);
  }
}

// Adds or removes an item of a list in the shared section, each item at most once.
template <typename T>
void Track(T* items, int& count, T item, bool tracked) {
  int at = -1;
  for (int i = 0; i < count; ++i)
    if (items[i] == item) at = i;
  if (tracked && at < 0 && count < kMaxTracked) items[count++] = item;
  if (!tracked && at >= 0) items[at] = items[--count];
}

// Shell_NotifyIconA of the shell's process. Looked up, not imported: the mouse hook brings this
// library into every process that takes mouse input, and an import would bring shell32 and all
// it needs there too. The shell has it loaded already; a stand-in that has not gets it here.
using NotifyIconFunction = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
NotifyIconFunction ShellNotifyIcon() {
  HMODULE shell32 = GetModuleHandleA("shell32.dll");
  if (shell32 == nullptr) shell32 = LoadLibraryA("shell32.dll");
  return shell32 == nullptr ? nullptr
                            : reinterpret_cast<NotifyIconFunction>(reinterpret_cast<void*>(
                                  GetProcAddress(shell32, "Shell_NotifyIconA")));
}

// The icons of Corvalet's windows that have gone without deleting them leave the tray, so that
// none stays with a dead owner. From the shell's own thread, so the shell's handling of the
// request is a call, not a wait; only dead owners' icons, never a live program's.
void RemoveDeadIcons() {
  const NotifyIconFunction notifyIcon = g_shared.iconCount > 0 ? ShellNotifyIcon() : nullptr;
  if (notifyIcon == nullptr) return;
  for (int i = g_shared.iconCount - 1; i >= 0; --i) {
    if (i >= g_shared.iconCount) continue;  // the shell's handling below may have removed some
    const TrackedIcon icon = g_shared.icons[i];
    if (icon.owner != nullptr && IsWindow(icon.owner)) continue;
    Track(g_shared.icons, g_shared.iconCount, icon, false);
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = icon.owner;
    nid.uID = icon.id;
    notifyIcon(NIM_DELETE, &nid);
  }
}

}  // namespace

void StartWatchdog() {
  // Without the watchdog a Corvalet that dies would leave its buttons hidden: try once more.
  if (!SetTimer(g_shared.taskbar, kWatchdogTimer, kWatchdogMs, nullptr))
    SetTimer(g_shared.taskbar, kWatchdogTimer, kWatchdogMs, nullptr);
}

void StopWatchdog() {
  KillTimer(g_shared.taskbar, kWatchdogTimer);
}

bool WatchdogMessage(UINT msg, WPARAM wp) {
  if (msg != WM_TIMER || wp != kWatchdogTimer) return false;
  RemoveDeadIcons();
  if (g_shared.serving && (g_shared.form == nullptr || !IsWindow(g_shared.form))) {
    // Corvalet is gone without switching off: give the tray back.
    g_shared.serving = 0;
    g_shared.panelShown = 0;
    ForgetHiddenProcesses();
    ShowHiddenButtons();
    ShowHiddenWindows();
    if (g_shared.room > 0) ShowFoldedClock();
    SetRoom(0);
  }
  return true;
}

void TrackCorvaletIcon(const std::optional<cvl::NotifyCopyData>& n) {
  if (!n || (n->message != NIM_ADD && n->message != NIM_DELETE)) return;
  const TrackedIcon icon{reinterpret_cast<HWND>(static_cast<UINT_PTR>(n->owner)), n->uID};
  if (n->message == NIM_ADD && !OwnedByCorvalet(icon.owner)) return;
  Track(g_shared.icons, g_shared.iconCount, icon, n->message == NIM_ADD);
}

void TrackHidden(int command, bool hidden) {
  Track(g_shared.hidden, g_shared.hiddenCount, command, hidden);
}

}  // namespace snarehook

BOOL NoteHiddenWindow(HWND window, BOOL hidden) {
  using namespace snarehook;
  Track(g_shared.windows, g_shared.windowCount, window, hidden != FALSE);
  return TRUE;
}
