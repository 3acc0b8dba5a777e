#include "Answers.h"
#include "Snarehook.h"

#include "IconStates.h"
#include "IconVersions.h"
#include "Pixels.h"
#include "Reports.h"
#include "SharedSection.h"
#include "ShellTray.h"
#include "Subclassing.h"
#include "TrayDecisions.h"

#include "shell/AnswerBatch.h"
#include "shell/HookProtocol.h"
#include "shell/NotifyCopyData.h"

namespace snarehook {

namespace {

// An answer's sends take no other sent message while they wait. Programs' Shell_NotifyIcon
// calls are sends too: during a burst they come in without a break, and a wait that serves them
// does not see Corvalet's reply until the burst is over, while Corvalet has long given up on the
// answer and its next requests are refused. Corvalet replies without sending to this thread.
constexpr UINT kAnswerSendFlags = SMTO_BLOCK | SMTO_ABORTIFHUNG;

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
  if (SendMessageTimeoutA(form, msg, wp, lp, kAnswerSendFlags, kSendTimeoutMs, &reply) != 0) {
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

// One icon's group of messages; the tip atom is deleted here when Corvalet did not take it.
// Its pixels, where Corvalet needs them, follow the answer.
bool TellIcon(HWND form, bool enumeration, int index, const TBBUTTON& b, const TrayRecord& r) {
  using namespace cvl;
  QueueIconBits(form, r.hIcon, r.hwnd, r.uID, !enumeration);
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
  const LPARAM programState = (ProgramHid(r.hwnd, r.uID) ? kCommitProgramHidden : 0) |
                              CommitVersion(IconVersion(r.hwnd, r.uID));
  return Tell(form, false, enumeration ? THM_ENUMCOMMIT : THM_QUERYCOMMIT, state, programState);
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
// was told). A send that gives up leaves no doubt about the tips: whether such a message is still
// delivered later differs between systems, so the answer is numbered, and whichever side claims
// the number first, Corvalet before it reads or this side after the send, deletes them.
bool FinishBatch(HWND form, bool told) {
  if (g_batch.data == nullptr) return told;
  const Batch batch = g_batch;
  g_batch = {};
  bool taken = false;
  if (told) {
    LONG number = InterlockedIncrement(&g_shared.answerNumber);
    if (number == 0) number = InterlockedIncrement(&g_shared.answerNumber);  // 0 is unnumbered
    batch.data[batch.count - 2] = static_cast<DWORD>(number);                // the end's wParam
    InterlockedExchange(&g_shared.answerInFlight, number);
    COPYDATASTRUCT cds{cvl::kAnswerBatchTag, static_cast<DWORD>(sizeof(DWORD) * batch.count),
                       batch.data};
    DWORD_PTR reply = 0;
    const bool sent = SendMessageTimeoutA(form, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                                          kAnswerSendFlags, kSendTimeoutMs, &reply) != 0;
    taken = (sent && reply != 0) ||
            InterlockedCompareExchange(&g_shared.answerInFlight, 0, number) != number;
  }
  if (!taken) {
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
  int skipped = 0;
  bool complete = true;
  for (int i = 0; i < count && complete; ++i) {
    TBBUTTON b;
    TrayRecord r;
    if (!ReadButton(i, &b, &r)) {
      ++skipped;
      continue;
    }
    complete = TellIcon(form, true, i, b, r);
    if (complete && listed != nullptr) listed[listedCount++] = r.hIcon;
  }
  // The buttons left out: the listing is not whole, and Corvalet forgets no hidden one by it.
  if (FinishBatch(form, complete && Tell(form, false, THM_ENUMEND, 0, skipped))) {
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

}  // namespace

bool AnswerRequest(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (RequestOf(msg, static_cast<std::uint32_t>(wp), static_cast<std::uint32_t>(lp))) {
    case Request::Enumerate: {
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
    case Request::SetWindow:
      g_shared.queryWindow = reinterpret_cast<HWND>(lp);
      result = 1;
      return true;
    case Request::SetId:
      g_shared.queryId = static_cast<UINT>(lp);
      result = 1;
      return true;
    case Request::Query:
      result = Answer(&AnswerQuery);
      return true;
    case Request::None:
      break;
  }
  return false;
}

namespace {

// Corvalet sends its own icons nothing: their version is no news to it.
bool OfCorvalet(DWORD owner) {
  DWORD process = 0;
  return GetWindowThreadProcessId(reinterpret_cast<HWND>(static_cast<UINT_PTR>(owner)), &process) &&
         process == g_shared.installer;
}

}  // namespace

void Report(const std::optional<cvl::NotifyCopyData>& n, bool stateChanged) {
  using namespace cvl;
  if (!n) return;
  // Corvalet's own icons' versions are no news to it.
  if (n->message == 4 && OfCorvalet(n->owner)) return;
  const bool shown = (n->flags & (NIF_MESSAGE | NIF_ICON | NIF_TIP)) != 0;
  const bool panelShown = g_shared.panelShown != 0;
  if (Untold(n->message, shown, stateChanged, panelShown))
    InterlockedIncrement(&g_shared.untoldChanges);
  const UINT report = ReportFor(n->message, shown, stateChanged, panelShown);
  if (report == 0) return;
  // The form switched on with, without asking whether it is still there (under Wine a request
  // to the server per change): a post to a form that has gone fails, and is told again to the
  // form found then (Reports).
  if (const HWND form = g_shared.form != nullptr ? g_shared.form : MainForm()) {
    InterlockedIncrement(&g_shared.told);
#ifdef SNAREHOOK_BENCH
    if (g_shared.stampArmed && !g_shared.reported.QuadPart)
      QueryPerformanceCounter(&g_shared.reported);
#endif
    TellReport(form, report, n->owner, n->uID);
  }
}

}  // namespace snarehook

BOOL ClaimAnswer(DWORD number) {
  using namespace snarehook;
  const LONG n = static_cast<LONG>(number);
  return n == 0 || InterlockedCompareExchange(&g_shared.answerInFlight, 0, n) == n;
}
