// Snarehook.dll: lives inside the shell's taskbar process and speaks the THM_ protocol there.
//
// SetTrayHook, called in Corvalet's process, puts a WH_CALLWNDPROC hook on the taskbar's
// thread and sends the taskbar a message that the hook procedure, now running inside the
// shell, answers by subclassing the taskbar, the notification area and the tray toolbar. The
// subclass procedures serve enumerations and queries, report icon changes seen in the shell's
// WM_COPYDATA after the shell has handled it, make room for the button near the clock, and
// watch Corvalet's window: when it vanishes, every button Corvalet hid is shown again.
//
// It runs in the shell's process, so: no exceptions, no waits without a bound, every pointer
// from the shell checked before it is read, every hook procedure calls the next hook.
#include "Snarehook.h"
#include "IconBitsInfo.h"
#include "TrayRecord.h"

#include <commctrl.h>

#include <cstring>

#include "shell/AnswerBatch.h"
#include "shell/HookProtocol.h"
#include "shell/NotifyCopyData.h"
#include "win32/HandleOwner.h"

namespace {

constexpr UINT kSendTimeoutMs = 2000;
constexpr UINT_PTR kWatchdogTimer = 0x534E;
constexpr UINT kWatchdogMs = 1000;
constexpr LONG kButtonRoom = 24;
constexpr int kMaxTracked = 1024;

// One copy for every process that loads the library: Corvalet's and the shell's.
struct Shared {
  HHOOK hook;
  DWORD installer;  // process that installed the hook
  HWND taskbar, notify, toolbar;
  UINT attachMessage, detachMessage;
  UINT pixelsMessage;  // posted to the taskbar: send the pixels still to go
  LONG serving;
  HWND form;         // Corvalet's main form while serving
  LONG sendAnswers;  // benchmark build only: the whole answer is sent, none of it posted
  HWND queryWindow;
  UINT queryId;
  LONG room;
  HWND clock;
  LONG clockWasVisible;  // when the room was made
  UINT statsMessage;     // benchmark build only
  LONG told;             // messages sent or posted to Corvalet
  LONG requested;        // protocol messages from Corvalet to the shell's windows
  LONG stampArmed;       // benchmark build only: stamp the next hide of the last button
  LARGE_INTEGER stamp;
  LARGE_INTEGER reported, requested1, answered;  // the first of each after arming
  int hiddenCount;
  int hidden[kMaxTracked];  // command identifiers of the buttons Corvalet hid
  HHOOK mouseHook;          // global: right clicks on minimize buttons
  DWORD mouseHookOwner;     // the Corvalet that installed it
  int windowCount;
  HWND windows[kMaxTracked];  // windows Corvalet's minimizer hid
};
__attribute__((section(".shr"), shared)) Shared g_shared = {};

// The shell's own process: what this copy of the library subclassed.
HMODULE g_module;
bool g_attached;
bool g_settingRoom;
WNDPROC g_old[3];
HWND g_subclassed[3];
bool g_lastTellTimedOut;  // the last refused send may still be delivered
bool g_answering;         // an answer is being told: a request now would interleave with it
LRESULT g_beginReply;     // Corvalet's reply to the last begin

// The rest of an answer, gathered while Corvalet takes it in one piece (data not null).
struct Batch {
  DWORD* data;
  SIZE_T count;     // values, three a message
  SIZE_T capacity;  // values
};
Batch g_batch;

// The icons whose pixels Corvalet holds, as far as this side knows, for the form in
// g_pixelsForm. An icon's pixels never change while its handle lives, so an enumeration sends
// them only for handles not here; a handle is forgotten when its icon may be destroyed (its
// button deleted or changed), so that a handle used again for another icon is sent again.
// Corvalet keeps its copies of the icons an enumeration lists and destroys the rest when that
// enumeration ends; a finished enumeration here keeps the same ones.
HWND g_pixelsForm;
int g_sentCount;
HICON g_sent[kMaxTracked];
// The pixels still to go. They leave once the answer is out, in a job the taskbar posts itself:
// Corvalet needs them only to draw, and so its hide of a new button need not wait for them.
int g_pendingCount;
HICON g_pending[kMaxTracked];
bool g_pendingAlways[kMaxTracked];  // a query's: sent even when Corvalet holds that handle
bool g_jobPosted;

// Corvalet may have dropped its copies: every icon is sent again. What is still to go stays
// owed to the same form.
void ForgetSentPixels() {
  g_sentCount = 0;
}

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
  g_pendingAlways[at] = g_pendingAlways[g_pendingCount];
}

int FindSent(HICON icon) {
  for (int i = 0; i < g_sentCount; ++i)
    if (g_sent[i] == icon) return i;
  return -1;
}

void ForgetSent(HICON icon) {
  const int at = FindSent(icon);
  if (at >= 0) g_sent[at] = g_sent[--g_sentCount];
}

bool Listed(const HICON* listed, int count, HICON icon) {
  for (int j = 0; j < count; ++j)
    if (listed[j] == icon) return true;
  return false;
}

// Keeps only the icons of the enumeration that just ended, held or still to go.
void KeepSentPixels(const HICON* listed, int count) {
  int kept = 0;
  for (int i = 0; i < g_sentCount; ++i)
    if (Listed(listed, count, g_sent[i])) g_sent[kept++] = g_sent[i];
  g_sentCount = kept;
  kept = 0;
  for (int i = 0; i < g_pendingCount; ++i) {
    if (!Listed(listed, count, g_pending[i])) continue;
    g_pendingAlways[kept] = g_pendingAlways[i];
    g_pending[kept++] = g_pending[i];
  }
  g_pendingCount = kept;
}

LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);

LRESULT CallOld(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  for (int i = 0; i < 3; ++i)
    if (g_subclassed[i] == w && g_old[i] != nullptr)
      return CallWindowProcA(g_old[i], w, msg, wp, lp);
  return DefWindowProcA(w, msg, wp, lp);
}

bool Readable(const void* p, SIZE_T size) {
  if (p == nullptr) return false;
  MEMORY_BASIC_INFORMATION m;
  if (VirtualQuery(p, &m, sizeof m) != sizeof m || m.State != MEM_COMMIT) return false;
  if (m.Protect & (PAGE_GUARD | PAGE_NOACCESS)) return false;
  const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                         PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  if (!(m.Protect & readable)) return false;
  const auto end = reinterpret_cast<const char*>(m.BaseAddress) + m.RegionSize;
  return reinterpret_cast<const char*>(p) + size <= end;
}

HWND MainForm() {
  if (g_shared.form != nullptr && IsWindow(g_shared.form)) return g_shared.form;
  g_shared.form = FindWindowA(cvl::kMainFormClass, cvl::kMainFormCaption);
  return g_shared.form;
}

// Sends the answer's first message; the rest joins the batch when Corvalet takes one, and is
// posted in order otherwise: Corvalet takes only answer messages until the end has come, and
// the shell's thread is not held for each of them. False when Corvalet did not take it: the
// rest of the answer is dropped.
bool Tell(HWND form, bool first, UINT msg, WPARAM wp, LPARAM lp) {
  InterlockedIncrement(&g_shared.told);
  g_lastTellTimedOut = false;
  if (!first && g_batch.data != nullptr) {
    if (g_batch.count + 3 > g_batch.capacity) return false;
    g_batch.data[g_batch.count++] = msg;
    g_batch.data[g_batch.count++] = static_cast<DWORD>(wp);
    g_batch.data[g_batch.count++] = static_cast<DWORD>(lp);
    return true;
  }
  if (!first && !g_shared.sendAnswers) return PostMessageA(form, msg, wp, lp) != FALSE;
  DWORD_PTR reply = 0;
  SetLastError(0);
  if (SendMessageTimeoutA(form, msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs,
                          &reply) != 0) {
    if (first) g_beginReply = static_cast<LRESULT>(reply);
    // The begin has been handled: Corvalet's request may return now and take the rest as it
    // comes, while this thread goes on telling it.
    if (first && !g_shared.sendAnswers && InSendMessage()) ReplyMessage(1);
    return true;
  }
  // A send that timed out stays queued at Corvalet and may still be read there.
  g_lastTellTimedOut = GetLastError() == ERROR_TIMEOUT || IsWindow(form);
  return false;
}

// The button's text as a global atom, 0 for none. The atom is Corvalet's to delete.
ATOM TipAtom(int command) {
  const LRESULT length = CallOld(g_shared.toolbar, TB_GETBUTTONTEXTA, command, 0);
  if (length <= 0 || length > 0x10000) return 0;
  char* text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(length) + 1));
  if (text == nullptr) return 0;
  const LRESULT copied =
      CallOld(g_shared.toolbar, TB_GETBUTTONTEXTA, command, reinterpret_cast<LPARAM>(text));
  // The text may have changed between the two calls: never read past what was asked for.
  text[copied > 0 && copied <= length ? copied : 0] = '\0';
  if (length > 255) text[255] = '\0';  // an atom holds at most 255 characters
  const ATOM atom = text[0] != '\0' ? GlobalAddAtomA(text) : 0;
  HeapFree(GetProcessHeap(), 0, text);
  return atom;
}

// Icon handles are not valid in other processes everywhere: hand Corvalet the pixels too.
// False when Corvalet did not take the message at all (gone, hung, or too slow).
bool SendIconBits(HWND form, HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return true;
  // GetIconInfo made both bitmaps for us: the owners free them however this ends.
  const cvl::win32::BitmapOwner colour(info.hbmColor);
  const cvl::win32::BitmapOwner mask(info.hbmMask);
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
    const cvl::win32::ScreenDcOwner dc(GetDC(nullptr));
    ok = dc && GetDIBits(dc.Get(), info.hbmColor, 0, h, data + 3, &bi, DIB_RGB_COLORS) &&
         GetDIBits(dc.Get(), info.hbmMask, 0, h, data + 3 + w * h, &bi, DIB_RGB_COLORS);
  }
  bool taken = true;
  if (ok) {
    InterlockedIncrement(&g_shared.told);
    COPYDATASTRUCT cds{cvl::kIconBitsTag, bytes, data};
    DWORD_PTR stored = 0;
    taken = SendMessageTimeoutA(form, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                                SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs, &stored) != 0;
    // Only pixels Corvalet says it stored count as held there.
    if (taken && stored && g_sentCount < kMaxTracked) g_sent[g_sentCount++] = icon;
  }
  HeapFree(GetProcessHeap(), 0, data);
  return taken;
}

// In an enumeration only the pixels of icons Corvalet does not hold yet; a query follows a
// change and always sends them. Without the job (its post refused) they go at once.
void QueueIconBits(HWND form, HICON icon, bool always) {
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
  if (at >= 0) g_pendingAlways[at] = g_pendingAlways[at] || always;
  if (!g_jobPosted && at >= 0 && !g_shared.sendAnswers)
    g_jobPosted = g_shared.pixelsMessage != 0 &&
                  PostMessageA(g_shared.taskbar, g_shared.pixelsMessage, 0, 0) != FALSE;
  if (!g_jobPosted || at < 0) {
    if (at >= 0) ForgetPending(icon);
    ForgetSent(icon);
    SendIconBits(form, icon);
  }
}

// The job: what an answer left to send. Each send lets the shell's sent messages in, and one of
// them may be another request that queues more: each entry leaves the queue before it goes.
void SendPendingIconBits() {
  g_jobPosted = false;
  const HWND form = g_pixelsForm;
  while (g_pendingCount > 0) {
    --g_pendingCount;
    const HICON icon = g_pending[g_pendingCount];
    const bool always = g_pendingAlways[g_pendingCount];
    if (form == nullptr || form != g_pixelsForm || !IsWindow(form)) continue;
    if (!always && FindSent(icon) >= 0) continue;
    ForgetSent(icon);
    // A Corvalet that takes nothing must not hold the shell once per icon: the rest goes with
    // the next answer that lists them.
    if (!SendIconBits(form, icon)) g_pendingCount = 0;
  }
}

bool ReadButton(int index, TBBUTTON* button, TrayRecord* record) {
  std::memset(button, 0, sizeof *button);
  if (!CallOld(g_shared.toolbar, TB_GETBUTTON, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(button)))
    return false;
  const void* data = reinterpret_cast<const void*>(button->dwData);
  if (!Readable(data, sizeof *record)) return false;
  std::memcpy(record, data, sizeof *record);
  return true;
}

// One icon's group of messages; the tip atom is deleted here when Corvalet did not take it.
// Its pixels, where Corvalet needs them, follow the answer.
bool TellIcon(HWND form, bool enumeration, int index, const TBBUTTON& b, const TrayRecord& r) {
  using namespace cvl;
  QueueIconBits(form, r.hIcon, !enumeration);
  const LPARAM icon = static_cast<LPARAM>(reinterpret_cast<UINT_PTR>(r.hIcon));
  if (!Tell(form, false, enumeration ? THM_ENUMICON : THM_QUERYICON,
            enumeration ? static_cast<WPARAM>(index) : 0, icon))
    return false;
  if (!Tell(form, false, enumeration ? THM_ENUMOWNER : THM_QUERYOWNER,
            reinterpret_cast<WPARAM>(r.hwnd), static_cast<LPARAM>(r.uID)))
    return false;
  if (!Tell(form, false, enumeration ? THM_ENUMCALLBACK : THM_QUERYCALLBACK, r.uCallbackMessage, 0))
    return false;
  const ATOM atom = TipAtom(b.idCommand);
  if (!Tell(form, false, enumeration ? THM_ENUMTIP : THM_QUERYTIP, static_cast<WPARAM>(b.idCommand),
            atom)) {
    // Only an atom that can never be read is ours to delete; one that may still arrive is
    // Corvalet's, which deletes every atom it reads.
    if (atom != 0 && !g_lastTellTimedOut) GlobalDeleteAtom(atom);
    return false;
  }
  // The state byte: bit 0, the button is hidden.
  const WPARAM state = (b.fsState & TBSTATE_HIDDEN) ? 1 : 0;
  return Tell(form, false, enumeration ? THM_ENUMCOMMIT : THM_QUERYCOMMIT, state, 0);
}

// Gathers the rest of an answer of at most this many messages when Corvalet's reply to the
// begin said it takes it in one piece; otherwise (or without the memory) it goes one by one.
void StartBatch(SIZE_T messages) {
  g_batch = {};
  if (g_beginReply != cvl::kTakesAnswerBatch || g_shared.sendAnswers ||
      messages > cvl::kAnswerBatchMaxMessages)
    return;
  g_batch.capacity = 3 * messages;
  g_batch.data =
      static_cast<DWORD*>(HeapAlloc(GetProcessHeap(), 0, sizeof(DWORD) * g_batch.capacity));
}

// Sends what was gathered, when the whole answer was; true when it went (or went one by one and
// was told). The tips of a batch that can never be read are deleted here; one that may still
// arrive is Corvalet's, which deletes every atom it reads.
bool FinishBatch(HWND form, bool told) {
  if (g_batch.data == nullptr) return told;
  const Batch batch = g_batch;
  g_batch = {};
  bool taken = false, mayArrive = false;
  if (told) {
    COPYDATASTRUCT cds{cvl::kAnswerBatchTag, static_cast<DWORD>(sizeof(DWORD) * batch.count),
                       batch.data};
    DWORD_PTR reply = 0;
    SetLastError(0);
    const bool sent =
        SendMessageTimeoutA(form, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                            SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs, &reply) != 0;
    taken = sent && reply != 0;
    mayArrive = !sent && (GetLastError() == ERROR_TIMEOUT || IsWindow(form));
  }
  if (!taken && !mayArrive) {
    for (SIZE_T i = 0; i + 2 < batch.count; i += 3)
      if ((batch.data[i] == cvl::THM_ENUMTIP || batch.data[i] == cvl::THM_QUERYTIP) &&
          batch.data[i + 2] != 0)
        GlobalDeleteAtom(static_cast<ATOM>(batch.data[i + 2]));
  }
  HeapFree(GetProcessHeap(), 0, batch.data);
  return taken;
}

void AnswerEnumeration() {
  using namespace cvl;
  const HWND form = MainForm();
  if (form == nullptr || !Tell(form, true, THM_ENUMBEGIN, 0, 0)) return;
  const int count = static_cast<int>(CallOld(g_shared.toolbar, TB_BUTTONCOUNT, 0, 0));
  StartBatch(5 * static_cast<SIZE_T>(count > 0 ? count : 0) + 1);
  auto* listed = static_cast<HICON*>(
      count > 0 ? HeapAlloc(GetProcessHeap(), 0, sizeof(HICON) * static_cast<SIZE_T>(count))
                : nullptr);
  int listedCount = 0;
  bool complete = true;
  for (int i = 0; i < count && complete; ++i) {
    TBBUTTON b;
    TrayRecord r;
    if (!ReadButton(i, &b, &r)) continue;
    complete = TellIcon(form, true, i, b, r);
    if (complete && listed != nullptr) listed[listedCount++] = r.hIcon;
  }
  if (FinishBatch(form, complete && Tell(form, false, THM_ENUMEND, 0, 0))) {
    if (listed != nullptr || count <= 0)
      KeepSentPixels(listed, listedCount);
    else
      ForgetSentPixels();  // no room to note what was listed: send everything next time
  } else {
    // Corvalet may not have seen this end, or may have given up on it: it keeps its copies
    // then, and this side cannot tell which; sending again is the safe side.
    ForgetSentPixels();
  }
  if (listed != nullptr) HeapFree(GetProcessHeap(), 0, listed);
}

void AnswerQuery() {
  using namespace cvl;
  const HWND form = MainForm();
  if (form == nullptr || !Tell(form, true, THM_QUERYBEGIN, 0, 0)) return;
  StartBatch(6);
  const int count = static_cast<int>(CallOld(g_shared.toolbar, TB_BUTTONCOUNT, 0, 0));
  bool told = true;
  for (int i = 0; i < count; ++i) {
    TBBUTTON b;
    TrayRecord r;
    if (!ReadButton(i, &b, &r) || r.hwnd != g_shared.queryWindow || r.uID != g_shared.queryId)
      continue;
    told = TellIcon(form, false, i, b, r);
    break;
  }
  FinishBatch(form, told && Tell(form, false, THM_QUERYEND, 0, 0));
}

void TrackHidden(int command, bool hidden) {
  int at = -1;
  for (int i = 0; i < g_shared.hiddenCount; ++i)
    if (g_shared.hidden[i] == command) at = i;
  if (hidden && at < 0 && g_shared.hiddenCount < kMaxTracked)
    g_shared.hidden[g_shared.hiddenCount++] = command;
  if (!hidden && at >= 0) g_shared.hidden[at] = g_shared.hidden[--g_shared.hiddenCount];
}

void ShowHiddenButtons() {
  while (g_shared.hiddenCount > 0) {
    const int command = g_shared.hidden[--g_shared.hiddenCount];
    CallOld(g_shared.toolbar, TB_HIDEBUTTON, static_cast<WPARAM>(command), 0);
  }
}

// The room for the button near the clock: the notification area moves left by the room and
// keeps its width, so that the taskbar's right end is free and nothing covers the button.
// Corvalet is gone: the windows its minimizer hid come back. Asynchronously: one of them may
// belong to a program that does not answer, and the shell must not wait for it.
void ShowHiddenWindows() {
  while (g_shared.windowCount > 0) {
    const HWND w = g_shared.windows[--g_shared.windowCount];
    if (w != nullptr && IsWindow(w)) ShowWindowAsync(w, SW_RESTORE);
  }
}

void SetRoom(LONG room) {
  const LONG delta = room - g_shared.room;
  if (delta == 0 || g_shared.notify == nullptr) return;
  RECT r;
  const HWND parent = GetParent(g_shared.notify);
  if (!IsWindow(g_shared.notify) || parent == nullptr || !GetWindowRect(g_shared.notify, &r))
    return;
  SetLastError(0);
  if (MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2) == 0 && GetLastError() != 0)
    return;
  if (room > 0 && g_shared.room == 0) {
    // The clock as the user had it: only a clock that was shown is Corvalet's to show again.
    g_shared.clock = FindWindowExA(g_shared.notify, nullptr, "TrayClockWClass", nullptr);
    g_shared.clockWasVisible = g_shared.clock != nullptr && IsWindowVisible(g_shared.clock);
  }
  g_shared.room = room;
  g_settingRoom = true;
  SetWindowPos(g_shared.notify, nullptr, r.left - delta, r.top, 0, 0,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  g_settingRoom = false;
}

// Corvalet is gone: the clock it may have folded away comes back, but never one the user hid.
void ShowFoldedClock() {
  if (g_shared.clockWasVisible && g_shared.clock != nullptr && IsWindow(g_shared.clock) &&
      !IsWindowVisible(g_shared.clock))
    ShowWindow(g_shared.clock, SW_SHOW);
  g_shared.clockWasVisible = 0;
}

// The icon of the button an owner is about to change or delete may be destroyed by the shell:
// its handle is forgotten before the shell sees the request.
void ForgetIconOfButton(int index) {
  TBBUTTON b;
  TrayRecord r;
  if (!ReadButton(index, &b, &r)) return;
  ForgetSent(r.hIcon);
  ForgetPending(r.hIcon);
}

void ForgetChangedIcon(const COPYDATASTRUCT* cds) {
  using namespace cvl;
  if ((g_sentCount == 0 && g_pendingCount == 0) || cds == nullptr || !Readable(cds, sizeof *cds) ||
      (cds->cbData > 0 && !Readable(cds->lpData, cds->cbData)))
    return;
  const auto n =
      ParseNotifyCopyData(static_cast<std::uint32_t>(cds->dwData), cds->lpData, cds->cbData);
  if (!n || (n->message != 1 && n->message != 2)) return;
  const int count = static_cast<int>(CallOld(g_shared.toolbar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON b;
    TrayRecord r;
    if (ReadButton(i, &b, &r) && reinterpret_cast<WPARAM>(r.hwnd) == n->owner && r.uID == n->uID) {
      ForgetSent(r.hIcon);
      ForgetPending(r.hIcon);
    }
  }
}

void Report(const COPYDATASTRUCT* cds) {
  using namespace cvl;
  if (cds == nullptr || !Readable(cds, sizeof *cds) ||
      (cds->cbData > 0 && !Readable(cds->lpData, cds->cbData)))
    return;
  const auto n =
      ParseNotifyCopyData(static_cast<std::uint32_t>(cds->dwData), cds->lpData, cds->cbData);
  if (!n || n->message > 2) return;
  const UINT report = n->message == 0   ? THM_ICONADDED
                      : n->message == 1 ? THM_ICONMODIFIED
                                        : THM_ICONDELETED;
  if (const HWND form = MainForm()) {
    InterlockedIncrement(&g_shared.told);
#ifdef SNAREHOOK_BENCH
    if (g_shared.stampArmed && !g_shared.reported.QuadPart)
      QueryPerformanceCounter(&g_shared.reported);
#endif
    PostMessageA(form, report, n->owner, static_cast<LPARAM>(n->uID));
  }
}

LRESULT TaskbarMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  using namespace cvl;
#ifdef SNAREHOOK_BENCH
  // For the benchmark: wParam 0 the messages told, 1 the requests taken; 2 arms the stamp of
  // the next hide of the tray's last button, 3 and 4 read it (performance counter, low and
  // high half; 0 while none). The benchmark learns when a button was hidden without asking
  // the shell's thread while it serves Corvalet.
  if (msg == g_shared.statsMessage && msg != 0) {
    if (wp == 2) {
      g_shared.stamp.QuadPart = 0;
      g_shared.reported.QuadPart = g_shared.requested1.QuadPart = g_shared.answered.QuadPart = 0;
      g_shared.stampArmed = 1;
    }
    if (wp == 3) return static_cast<LRESULT>(g_shared.stamp.LowPart);
    if (wp == 4) return static_cast<LRESULT>(g_shared.stamp.HighPart);
    // 5, 6, 7: microseconds from the report to the first request, to its answer's end, and
    // to the hide.
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    const auto us = [&](const LARGE_INTEGER& t) -> LRESULT {
      return t.QuadPart && g_shared.reported.QuadPart
                 ? static_cast<LRESULT>((t.QuadPart - g_shared.reported.QuadPart) * 1000000 /
                                        f.QuadPart)
                 : -1;
    };
    if (wp == 5) return us(g_shared.requested1);
    if (wp == 6) return us(g_shared.answered);
    if (wp == 7) return us(g_shared.stamp);
    return wp == 0 ? g_shared.told : wp == 1 ? g_shared.requested : 0;
  }
#endif
  if (msg == THM_HOOKSWITCH &&
      (static_cast<UINT>(lp) == THM_ON || static_cast<UINT>(lp) == THM_OFF)) {
    InterlockedIncrement(&g_shared.requested);
    g_shared.serving = static_cast<UINT>(lp) == THM_ON;
    g_shared.form = g_shared.serving ? FindWindowA(kMainFormClass, kMainFormCaption) : nullptr;
    ForgetSentPixels();
    return 1;
  }
  if (msg == g_shared.pixelsMessage && msg != 0) {
    SendPendingIconBits();
    return 0;
  }
  if (msg == WM_TIMER && wp == kWatchdogTimer) {
    if (g_shared.serving && (g_shared.form == nullptr || !IsWindow(g_shared.form))) {
      // Corvalet is gone without switching off: give the tray back.
      g_shared.serving = 0;
      ShowHiddenButtons();
      ShowHiddenWindows();
      if (g_shared.room > 0) ShowFoldedClock();
      SetRoom(0);
    }
    return 0;
  }
  if (msg == WM_COPYDATA) {
    ForgetChangedIcon(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    const LRESULT result = CallOld(w, msg, wp, lp);
    if (result && g_shared.serving) Report(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    return result;
  }
  return CallOld(w, msg, wp, lp);
}

LRESULT NotifyMessage(HWND w, UINT msg, WPARAM wp, LPARAM& lp, bool& handled) {
  using namespace cvl;
  handled = false;
  if (msg == THM_BUTTONSWITCH) InterlockedIncrement(&g_shared.requested);
  if (msg == THM_BUTTONSWITCH &&
      (static_cast<UINT>(lp) == THM_ON || static_cast<UINT>(lp) == THM_OFF)) {
    SetRoom(static_cast<UINT>(lp) == THM_ON ? kButtonRoom : 0);
    handled = true;
    return 1;
  }
  // The shell lays the notification area out at the taskbar's right end: keep it the room
  // further left.
  if (g_shared.room > 0 && !g_settingRoom && msg == WM_WINDOWPOSCHANGING) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
    if (pos != nullptr && !(pos->flags & SWP_NOMOVE)) pos->x -= g_shared.room;
  }
  (void)w;
  (void)wp;
  return 0;
}

// One answer at a time. While one is told, this thread may take another request (each send to
// Corvalet lets sent messages in): its answer would land in the middle of the first one's rest,
// so it gets none, and without a begin Corvalet does not wait for one.
bool Answer(void (*answer)()) {
  if (g_answering) return false;
  g_answering = true;
  answer();
  g_answering = false;
  return true;
}

bool ToolbarMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  using namespace cvl;
  if (msg == THM_ENUMREQUEST || msg == THM_QUERYSETWND || msg == THM_QUERYREQUEST ||
      msg == TB_MOVEBUTTON)
    InterlockedIncrement(&g_shared.requested);
  if (g_shared.serving) {
    if (msg == THM_ENUMREQUEST && wp == THM_ENUM_VALUE && static_cast<UINT>(lp) == THM_ENUM_VALUE) {
#ifdef SNAREHOOK_BENCH
      const bool first = g_shared.stampArmed && !g_shared.requested1.QuadPart;
      if (first) QueryPerformanceCounter(&g_shared.requested1);
      result = Answer(&AnswerEnumeration);
      if (first) QueryPerformanceCounter(&g_shared.answered);
#else
      result = Answer(&AnswerEnumeration);
#endif
      return true;
    }
    if (msg == THM_QUERYSETWND && wp == THM_QUERYSETWND_VALUE) {
      g_shared.queryWindow = reinterpret_cast<HWND>(lp);
      result = 1;
      return true;
    }
    if (msg == THM_QUERYSETID && wp == THM_QUERYSETID_VALUE) {
      g_shared.queryId = static_cast<UINT>(lp);
      result = 1;
      return true;
    }
    if (msg == THM_QUERYREQUEST && wp == THM_QUERY_VALUE &&
        static_cast<UINT>(lp) == THM_QUERY_VALUE) {
      result = Answer(&AnswerQuery);
      return true;
    }
  }
  if (msg == TB_DELETEBUTTON) ForgetIconOfButton(static_cast<int>(wp));
  // Only what another thread hides is Corvalet's doing; the shell hides its own buttons too
  // (XP's inactive icons), and those are not ours to show again.
  if (msg == TB_HIDEBUTTON && InSendMessage()) TrackHidden(static_cast<int>(wp), LOWORD(lp) != 0);
#ifdef SNAREHOOK_BENCH
  if (msg == TB_HIDEBUTTON && LOWORD(lp) != 0 && g_shared.stampArmed &&
      CallOld(g_shared.toolbar, TB_COMMANDTOINDEX, wp, 0) ==
          CallOld(g_shared.toolbar, TB_BUTTONCOUNT, 0, 0) - 1) {
    g_shared.stampArmed = 0;
    QueryPerformanceCounter(&g_shared.stamp);
  }
#endif
  return false;
}

LRESULT CALLBACK SubclassProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  // A window that goes takes its slot with it, attached or not: a later window may get the
  // same handle.
  if (msg == WM_NCDESTROY) {
    for (int i = 0; i < 3; ++i) {
      if (g_subclassed[i] == w) {
        const WNDPROC old = g_old[i];
        // Under another module's subclass, its procedure stays where it is.
        if (GetWindowLongPtrA(w, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc))
          SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        g_subclassed[i] = nullptr;
        return old != nullptr ? CallWindowProcA(old, w, msg, wp, lp)
                              : DefWindowProcA(w, msg, wp, lp);
      }
    }
  }
  if (!g_attached) return CallOld(w, msg, wp, lp);
  if (w == g_shared.toolbar) {
    LRESULT result = 0;
    if (ToolbarMessage(msg, wp, lp, result)) return result;
  }
  if (w == g_shared.notify) {
    bool handled = false;
    const LRESULT result = NotifyMessage(w, msg, wp, lp, handled);
    if (handled) return result;
  }
  if (w == g_shared.taskbar) return TaskbarMessage(w, msg, wp, lp);
  return CallOld(w, msg, wp, lp);
}

void Subclass(int slot, HWND w) {
  if (w == nullptr || !IsWindow(w)) return;
  for (int i = 0; i < 3; ++i)
    if (i != slot && g_subclassed[i] == w) return;  // on 9x the notification area is the toolbar
  // Still in the chain from an earlier attach, under another module's subclass: reuse that
  // place. Subclassing again would save the other module's procedure as our next one, and
  // every message would go round the two for ever.
  if (g_subclassed[slot] == w) return;
  if (g_subclassed[slot] != nullptr && IsWindow(g_subclassed[slot])) {
    // A window from an earlier shell that is still alive keeps its pass-through; this slot
    // cannot serve two windows, so the new one goes unhooked rather than break the old one.
    return;
  }
  SetLastError(0);
  const LONG_PTR old =
      SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc));
  if (old == 0 && GetLastError() != 0) return;
  g_old[slot] = reinterpret_cast<WNDPROC>(old);
  g_subclassed[slot] = w;
}

void Attach() {
  if (g_attached) return;
  // Stay loaded for good: a subclass procedure must outlive every window that may call it.
  char path[MAX_PATH];
  if (GetModuleFileNameA(g_module, path, MAX_PATH)) LoadLibraryA(path);
#ifdef SNAREHOOK_BENCH
  char send[8] = {};
  g_shared.sendAnswers =
      GetEnvironmentVariableA("SNAREHOOK_SEND_ANSWERS", send, sizeof send) && send[0] == '1';
#endif
  g_attached = true;
  g_jobPosted = false;  // one posted before a detach went unhandled
  Subclass(0, g_shared.taskbar);
  Subclass(1, g_shared.notify);
  Subclass(2, g_shared.toolbar);
  // Without the watchdog a Corvalet that dies would leave its buttons hidden: try once more.
  if (!SetTimer(g_shared.taskbar, kWatchdogTimer, kWatchdogMs, nullptr))
    SetTimer(g_shared.taskbar, kWatchdogTimer, kWatchdogMs, nullptr);
}

void Detach() {
  if (!g_attached) return;
  KillTimer(g_shared.taskbar, kWatchdogTimer);
  SetRoom(0);
  for (int i = 0; i < 3; ++i) {
    const HWND w = g_subclassed[i];
    // Someone subclassed after us: stay in the chain, passing everything through.
    if (w != nullptr &&
        GetWindowLongPtrA(w, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc)) {
      SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_old[i]));
      g_subclassed[i] = nullptr;
    }
  }
  g_attached = false;
}

LRESULT CALLBACK CallWndProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && lp != 0) {
    const auto* c = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (c->hwnd == g_shared.taskbar && c->message != 0) {
      if (c->message == g_shared.attachMessage)
        Attach();
      else if (c->message == g_shared.detachMessage)
        Detach();
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

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

HWND FindToolbar(HWND notify) {
  if (notify == nullptr) return nullptr;
  if (HWND pager = FindWindowExA(notify, nullptr, "SysPager", nullptr))
    if (HWND toolbar = FindWindowExA(pager, nullptr, "ToolbarWindow32", nullptr)) return toolbar;
  if (HWND toolbar = FindWindowExA(notify, nullptr, "ToolbarWindow32", nullptr)) return toolbar;
  return notify;
}

void SendToTaskbar(UINT msg) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(g_shared.taskbar, msg, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs,
                      &ignored);
}

}  // namespace

BOOL SetTrayHook(void) {
  if (g_menuFilter == nullptr)
    g_menuFilter = SetWindowsHookExA(WH_MSGFILTER, &MenuFilterProc, nullptr, GetCurrentThreadId());
  // Once per Corvalet: a hook left by one that died went with its thread.
  if (g_shared.mouseHook == nullptr || g_shared.mouseHookOwner != GetCurrentProcessId()) {
    if (g_shared.mouseHook != nullptr) UnhookWindowsHookEx(g_shared.mouseHook);
    g_shared.mouseHook = SetWindowsHookExA(WH_MOUSE, &MouseProc, g_module, 0);
    g_shared.mouseHookOwner = GetCurrentProcessId();
  }
  const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  if (taskbar == nullptr) return FALSE;
  if (g_shared.hook != nullptr && g_shared.installer == GetCurrentProcessId() &&
      g_shared.taskbar == taskbar)
    return TRUE;
  // A hook left by a Corvalet that died went with its thread; a live one is replaced.
  if (g_shared.hook != nullptr) UnhookWindowsHookEx(g_shared.hook);
  g_shared.taskbar = taskbar;
  g_shared.notify = FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr);
  g_shared.toolbar = FindToolbar(g_shared.notify);
  g_shared.attachMessage = RegisterWindowMessageA("Snarehook.Attach");
  g_shared.detachMessage = RegisterWindowMessageA("Snarehook.Detach");
  g_shared.pixelsMessage = RegisterWindowMessageA("Snarehook.Pixels");
#ifdef SNAREHOOK_BENCH
  g_shared.statsMessage = RegisterWindowMessageA("Snarehook.Stats");
#endif
  const DWORD thread = GetWindowThreadProcessId(taskbar, nullptr);
  g_shared.hook = SetWindowsHookExA(WH_CALLWNDPROC, &CallWndProc, g_module, thread);
  g_shared.installer = GetCurrentProcessId();
  if (g_shared.hook == nullptr) return FALSE;
  SendToTaskbar(g_shared.attachMessage);
  return TRUE;
}

BOOL DeleteTrayHook(void) {
  if (g_menuFilter != nullptr) UnhookWindowsHookEx(g_menuFilter);
  g_menuFilter = nullptr;
  if (g_shared.mouseHook != nullptr) UnhookWindowsHookEx(g_shared.mouseHook);
  g_shared.mouseHook = nullptr;
  g_shared.serving = 0;
  if (g_shared.taskbar != nullptr && IsWindow(g_shared.taskbar))
    SendToTaskbar(g_shared.detachMessage);
  if (g_shared.hook != nullptr) UnhookWindowsHookEx(g_shared.hook);
  g_shared.hook = nullptr;
  g_shared.installer = 0;
  return TRUE;
}

BOOL NoteHiddenWindow(HWND window, BOOL hidden) {
  int at = -1;
  for (int i = 0; i < g_shared.windowCount; ++i)
    if (g_shared.windows[i] == window) at = i;
  if (hidden && at < 0 && g_shared.windowCount < kMaxTracked)
    g_shared.windows[g_shared.windowCount++] = window;
  if (!hidden && at >= 0) g_shared.windows[at] = g_shared.windows[--g_shared.windowCount];
  return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
