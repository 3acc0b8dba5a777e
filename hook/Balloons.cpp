#include "Balloons.h"

#include "IconStates.h"
#include "Reports.h"
#include "SharedSection.h"
#include "ShellTray.h"
#include "Snarehook.h"
#include "Subclassing.h"

#include <shellapi.h>

#include <cstring>

#include "shell/HookProtocol.h"

namespace snarehook {

namespace {

// Where uFlags sits in each format's record: after the signature, the message, cbSize, hWnd
// and uID in Windows'; after hWnd and uID in Wine's.
constexpr SIZE_T kWindowsFlagsAt = 20;
constexpr SIZE_T kWineFlagsAt = 8;

LONG Keep(const cvl::NotifyCopyData& n, UINT callback) {
  LONG number = InterlockedIncrement(&g_shared.balloonNumber);
  if (number == 0) number = InterlockedIncrement(&g_shared.balloonNumber);  // 0 is none
  const UINT slot = static_cast<UINT>(number) % kBalloonsKept;
  cvl::BalloonRecord& r = g_shared.balloons[slot];
  InterlockedExchange(reinterpret_cast<LONG*>(&r.number), 0);  // being written
  r.owner = n.owner;
  r.uID = n.uID;
  r.uCallbackMessage = callback;
  r.uTimeout = n.timeout;
  r.dwInfoFlags = n.infoFlags;
  cvl::NotifyText(n.infoTitle, n.tipWide, cvl::kInfoTitleChars, r.szInfoTitle,
                  sizeof r.szInfoTitle);
  cvl::NotifyText(n.info, n.tipWide, cvl::kInfoChars, r.szInfo, sizeof r.szInfo);
  InterlockedExchange(&g_shared.balloonTaken[slot], 0);
  InterlockedExchange(reinterpret_cast<LONG*>(&r.number), number);
  return number;
}

}  // namespace

LRESULT RelayBalloon(HWND w, WPARAM wp, const COPYDATASTRUCT* cds,
                     const std::optional<cvl::NotifyCopyData>& n, bool& handled) {
  handled = false;
  if (!g_shared.serving) return 0;
  if (!n || (n->message != NIM_ADD && n->message != NIM_MODIFY) || !(n->flags & cvl::kNifInfo) ||
      !n->hasLaterFields)
    return 0;
  // Only a balloon of a button Corvalet hid whose program still shows its icon: the shell
  // would point it at a hidden button.
  const HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(n->owner));
  TrayRecord record;
  const int command = CommandOf(owner, n->uID, &record);
  // Hidden by its program as the record leaves it: the record may set the state too.
  bool hiddenNow = false;
  if (!cvl::SetsHidden(*n, &hiddenNow)) hiddenNow = ProgramHid(owner, n->uID);
  if (command < 0 || !CorvaletHid(command) || hiddenNow) return 0;
  // Not a balloon of Corvalet's own icons: Corvalet shows those itself.
  DWORD process = 0;
  if (GetWindowThreadProcessId(owner, &process) && process == g_shared.installer) return 0;
  const SIZE_T flagsAt = n->wineFormat ? kWineFlagsAt : kWindowsFlagsAt;
  if (cds->cbData < flagsAt + 4) return 0;
  auto* copy = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, cds->cbData));
  if (copy == nullptr) return 0;
  std::memcpy(copy, cds->lpData, cds->cbData);
  DWORD flags;
  std::memcpy(&flags, copy + flagsAt, 4);
  flags &= ~cvl::kNifInfo;
  std::memcpy(copy + flagsAt, &flags, 4);
  COPYDATASTRUCT without{cds->dwData, cds->cbData, copy};
  const LRESULT result = CallOld(w, WM_COPYDATA, wp, reinterpret_cast<LPARAM>(&without));
  HeapFree(GetProcessHeap(), 0, copy);
  handled = true;
  if (!result) return result;
  const UINT callback = (n->flags & NIF_MESSAGE) ? n->callback : record.uCallbackMessage;
  const LONG number = Keep(*n, callback);
  const HWND form = g_shared.form;
  if (form != nullptr && IsWindow(form)) TellBalloon(form, owner, number);
  return result;
}

}  // namespace snarehook

BOOL TakeBalloon(DWORD number, cvl::BalloonRecord* record) {
  using namespace snarehook;
  if (number == 0 || record == nullptr) return FALSE;
  const UINT slot = number % kBalloonsKept;
  const cvl::BalloonRecord& kept = g_shared.balloons[slot];
  if (kept.number != number) return FALSE;
  std::memcpy(record, &kept, sizeof *record);
  // Written again meanwhile: what was copied may be half of each.
  if (record->number != number || kept.number != number) return FALSE;
  return InterlockedExchange(&g_shared.balloonTaken[slot], static_cast<LONG>(number)) !=
         static_cast<LONG>(number);
}
