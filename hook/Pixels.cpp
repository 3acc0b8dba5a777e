#include "Pixels.h"

#include "IconBitsInfo.h"
#include "SharedSection.h"
#include "ShellTray.h"
#include "Subclassing.h"
#include "Watchdog.h"

#include <commctrl.h>
#include <shellapi.h>

#include "handles/HandleOwner.h"
#include "shell/NotifyCopyData.h"

namespace snarehook {

namespace {

// The icons whose pixels Corvalet holds, as far as this side knows, for the form in
// g_pixelsForm. An icon's pixels never change while its handle lives, so an enumeration sends
// them only for handles not here; a handle is forgotten when its icon may be destroyed (its
// button deleted or changed), so that a handle used again for another icon is sent again.
// Corvalet keeps its copies of the icons an enumeration lists and destroys the rest when that
// enumeration ends; a finished enumeration here keeps the same ones.
HWND g_pixelsForm;
// Whose icon each handle is: a change of that icon's picture forgets its handle without a look
// at the toolbar, which costs the shell's thread on every change of an animated icon.
struct IconKey {
  HWND owner;
  UINT id;
};
bool SameKey(const IconKey& a, const IconKey& b) {
  return a.owner == b.owner && a.id == b.id;
}
int g_sentCount;
SNAREHOOK_ZEROED HICON g_sent[kMaxTracked];
SNAREHOOK_ZEROED IconKey g_sentKey[kMaxTracked];
// The pixels still to go. They leave once the answer is out, in a job the taskbar posts itself:
// Corvalet needs them only to draw, and so its hide of a new button need not wait for them.
int g_pendingCount;
SNAREHOOK_ZEROED HICON g_pending[kMaxTracked];
SNAREHOOK_ZEROED IconKey g_pendingKey[kMaxTracked];
bool g_pendingAlways[kMaxTracked];  // a query's: sent even when Corvalet holds that handle
bool g_jobPosted;

int FindPending(HICON icon) {
  for (int i = 0; i < g_pendingCount; ++i)
    if (g_pending[i] == icon) return i;
  return -1;
}

void ForgetPending(HICON icon) {
  const int at = FindPending(icon);
  if (at < 0) return;
  --g_pendingCount;
  g_pending[at] = g_pending[g_pendingCount];
  g_pendingKey[at] = g_pendingKey[g_pendingCount];
  g_pendingAlways[at] = g_pendingAlways[g_pendingCount];
}

int FindSent(HICON icon) {
  for (int i = 0; i < g_sentCount; ++i)
    if (g_sent[i] == icon) return i;
  return -1;
}

void ForgetSent(HICON icon) {
  const int at = FindSent(icon);
  if (at < 0) return;
  --g_sentCount;
  g_sent[at] = g_sent[g_sentCount];
  g_sentKey[at] = g_sentKey[g_sentCount];
}

bool Listed(const HICON* listed, int count, HICON icon) {
  for (int j = 0; j < count; ++j)
    if (listed[j] == icon) return true;
  return false;
}

// False when Corvalet did not take the message at all (gone, hung, or too slow).
bool SendIconBits(HWND form, HICON icon, const IconKey& key) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return true;
  // GetIconInfo made both bitmaps for us: the owners free them however this ends.
  const cvl::handles::BitmapOwner colour(info.hbmColor);
  const cvl::handles::BitmapOwner mask(info.hbmMask);
  BITMAP bm{};
  if (!colour || !mask || !GetObjectA(info.hbmColor, sizeof bm, &bm) || bm.bmWidth <= 0 ||
      bm.bmWidth > static_cast<LONG>(cvl::kIconBitsMaxSide) || bm.bmHeight <= 0 ||
      bm.bmHeight > static_cast<LONG>(cvl::kIconBitsMaxSide))
    return true;
  const DWORD w = static_cast<DWORD>(bm.bmWidth), h = static_cast<DWORD>(bm.bmHeight);
  const DWORD bytes = cvl::IconBitsSize(w, h);
  auto* data = static_cast<DWORD*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
  if (data == nullptr) return true;
  data[0] = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(icon));
  data[1] = w;
  data[2] = h;
  BITMAPINFO bi = IconBitsInfo(w, h);
  bool ok = false;
  {
    const cvl::handles::ScreenDcOwner dc(GetDC(nullptr));
    ok = dc && GetDIBits(dc.Get(), info.hbmColor, 0, h, data + 3, &bi, DIB_RGB_COLORS) &&
         GetDIBits(dc.Get(), info.hbmMask, 0, h, data + 3 + w * h, &bi, DIB_RGB_COLORS);
  }
  bool taken = true;
  if (ok) {
    InterlockedIncrement(&g_shared.told);
    COPYDATASTRUCT cds{cvl::kIconBitsTag, bytes, data};
    DWORD_PTR stored = 0;
    // Like an answer's sends, it takes no other sent message while it waits (Answers.cpp).
    taken = SendMessageTimeoutA(form, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                                SMTO_BLOCK | SMTO_ABORTIFHUNG, kSendTimeoutMs, &stored) != 0;
    // Only pixels Corvalet says it stored count as held there.
    if (taken && stored && g_sentCount < kMaxTracked) {
      g_sent[g_sentCount] = icon;
      g_sentKey[g_sentCount++] = key;
    }
  }
  HeapFree(GetProcessHeap(), 0, data);
  return taken;
}

}  // namespace

// What is still to go stays owed to the same form.
void ForgetSentPixels() {
  g_sentCount = 0;
}

void KeepSentPixels(const HICON* listed, int count) {
  int kept = 0;
  for (int i = 0; i < g_sentCount; ++i) {
    if (!Listed(listed, count, g_sent[i])) continue;
    g_sentKey[kept] = g_sentKey[i];
    g_sent[kept++] = g_sent[i];
  }
  g_sentCount = kept;
  kept = 0;
  for (int i = 0; i < g_pendingCount; ++i) {
    if (!Listed(listed, count, g_pending[i])) continue;
    g_pendingAlways[kept] = g_pendingAlways[i];
    g_pendingKey[kept] = g_pendingKey[i];
    g_pending[kept++] = g_pending[i];
  }
  g_pendingCount = kept;
}

// Without the job (its post refused) they go at once.
void QueueIconBits(HWND form, HICON icon, HWND owner, UINT id, bool always) {
  const IconKey key{owner, id};
  if (form != g_pixelsForm) {
    // Another Corvalet: nothing is held there, and nothing is owed to the one before.
    g_sentCount = 0;
    g_pendingCount = 0;
    g_pixelsForm = form;
  }
  if (icon == nullptr || (!always && FindSent(icon) >= 0)) return;
  int at = FindPending(icon);
  if (at < 0 && g_pendingCount < kMaxTracked) {
    at = g_pendingCount++;
    g_pending[at] = icon;
    g_pendingAlways[at] = false;
  }
  if (at >= 0) g_pendingKey[at] = key;
  if (at >= 0) g_pendingAlways[at] = g_pendingAlways[at] || always;
  if (!g_jobPosted && at >= 0 && !g_shared.sendAnswers)
    g_jobPosted = g_shared.pixelsMessage != 0 &&
                  PostMessageA(g_shared.taskbar, g_shared.pixelsMessage, 0, 0) != FALSE;
  if (!g_jobPosted || at < 0) {
    if (at >= 0) ForgetPending(icon);
    ForgetSent(icon);
    SendIconBits(form, icon, key);
  }
}

// Each send lets the shell's sent messages in, and one of them may be another request that
// queues more: each entry leaves the queue before it goes.
void SendPendingIconBits() {
  g_jobPosted = false;
  const HWND form = g_pixelsForm;
  while (g_pendingCount > 0) {
    --g_pendingCount;
    const HICON icon = g_pending[g_pendingCount];
    const IconKey key = g_pendingKey[g_pendingCount];
    const bool always = g_pendingAlways[g_pendingCount];
    if (form == nullptr || form != g_pixelsForm || !IsWindow(form)) continue;
    if (!always && FindSent(icon) >= 0) continue;
    ForgetSent(icon);
    // A Corvalet that takes nothing must not hold the shell once per icon: the rest goes with
    // the next answer that lists them.
    if (!SendIconBits(form, icon, key)) g_pendingCount = 0;
  }
}

void ForgetPixelsJob() {
  g_jobPosted = false;
}

void ForgetIconOfButton(int index) {
  TBBUTTON b;
  TrayRecord r;
  if (!ReadButton(index, &b, &r)) return;
  // A button that goes is hidden by nobody: a later button may get its command.
  TrackHidden(b.idCommand, false);
  ForgetSent(r.hIcon);
  ForgetPending(r.hIcon);
}

void ForgetChangedIcon(const std::optional<cvl::NotifyCopyData>& n) {
  using namespace cvl;
  if (g_sentCount == 0 && g_pendingCount == 0) return;
  if (!n || (n->message != 1 && n->message != 2)) return;
  // A change that leaves the picture keeps the handle.
  if (n->message == 1 && !(n->flags & NIF_ICON)) return;
  const IconKey key{reinterpret_cast<HWND>(static_cast<UINT_PTR>(n->owner)), n->uID};
  for (int i = g_sentCount - 1; i >= 0; --i)
    if (SameKey(g_sentKey[i], key)) ForgetSent(g_sent[i]);
  for (int i = g_pendingCount - 1; i >= 0; --i)
    if (SameKey(g_pendingKey[i], key)) ForgetPending(g_pending[i]);
}

}  // namespace snarehook
