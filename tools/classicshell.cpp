// classicshell.exe: a stand-in for the classic Windows taskbar, for the tests and the demo.
// It builds the real window tree (Shell_TrayWnd > TrayNotifyWnd > TrayClockWClass, and
// SysPager > ToolbarWindow32, or the toolbar straight under the notification area with
// --win2k), keeps one comctl32 toolbar button per tray icon whose dwData points at the tray
// record, takes Shell_NotifyIcon's WM_COPYDATA in the Wine and the Windows formats, and sends
// mouse actions on a button to the icon's owner as its callback message.
//
//   classicshell.exe [--win2k] [--edge bottom|top|left|right] [--fast-tray] [--count]
//                    [--state FILE] [--balloon-min-ms N]
//
// --edge: the screen edge it is docked at (bottom when not given; --top is --edge top). Like the
// shell's taskbar it reserves that edge: the work area it sets leaves the bar out, and it gives
// the whole screen back when it ends. On a left or right edge it is a vertical bar with the
// notification area at its bottom, the icons wrapped in rows above the clock. --fast-tray (or
// CLASSICSHELL_FAST_TRAY=1): NIM_ADD and NIM_DELETE return before the notification area is laid out
// again; one layout is posted for later, as a tray that defers its layout would do. --count: the
// taskbar's thread counts the readings of the tray and the changes and commands other threads send
// its windows, whoever has subclassed them (kCounts). --balloon-min-ms: balloons stay at least
// N ms instead of 10 s, so that a test can see one time out.
//
// Icons' states and balloons follow what Windows 2000 and XP document: NIF_STATE with NIS_HIDDEN
// hides or shows the icon's button from the taskbar's own thread; NIF_INFO shows a balloon
// tooltip pointing at the button and sends the owner NIN_BALLOONSHOW, then NIN_BALLOONTIMEOUT
// after uTimeout (held to 10..30 s, counted in plain time), NIN_BALLOONUSERCLICK on a click, and
// NIN_BALLOONHIDE when it goes otherwise (an empty text, its icon deleted). Where Windows leaves it
// open, the stand-in chooses: one balloon shows at a time and a new one replaces it at once, the
// replaced one's owner getting NIN_BALLOONHIDE (a balloon of the same icon replaces its own without
// one); a balloon whose button is hidden, then or later, is not shown (nothing is sent; the state
// file counts such requests) or goes with NIN_BALLOONHIDE. Icons whose owner window has gone stay
// until the mouse passes over their button, as in the shell.
//
// kSubclassOnTop makes it subclass its own windows on top of everything, as a shell extension
// would. kDumpState at Shell_TrayWnd writes the state to FILE: the buttons in order with owner, ID,
// hidden state, the screen point at the centre of a shown button, and tip, the clock's visibility,
// the notification area's place, the work area as this process sees it, whether its windows run
// their own procedures, the icons their programs hid, and the balloon.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "StandInCommands.h"
#include "TrayRecord.h"
#include "shell/BalloonRecord.h"
#include "shell/HookProtocol.h"
#include "shell/NotifyCopyData.h"

namespace {

using standin::kCounts;
using standin::kDumpState;
using standin::kLayout;
using standin::kSubclassOnTop;
constexpr int kTaskbarHeight = 30;  // a bar at the bottom or the top
constexpr int kTaskbarWidth = 60;   // a bar at the left or the right
constexpr int kClockWidth = 50;
constexpr int kClockHeight = 20;  // in a vertical bar, under the icons
constexpr int kButtonSize = 22;

enum class Edge { Bottom, Top, Left, Right };
Edge g_edge = Edge::Bottom;
bool Vertical() {
  return g_edge == Edge::Left || g_edge == Edge::Right;
}

HINSTANCE g_instance;
HWND g_taskbar, g_notify, g_clock, g_pager, g_toolbar;
HIMAGELIST g_images;
WNDPROC g_toolbarProc;
int g_nextCommand = 1000;
std::string g_statePath;
bool g_fastTray;
bool g_layoutPosted;
LONG g_readings, g_trayWork;

int ButtonCount() {
  return static_cast<int>(SendMessageA(g_toolbar, TB_BUTTONCOUNT, 0, 0));
}

TrayRecord* RecordAt(int index, TBBUTTON* button = nullptr) {
  TBBUTTON b{};
  if (!SendMessageA(g_toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&b))) return nullptr;
  if (button) *button = b;
  return reinterpret_cast<TrayRecord*>(b.dwData);
}

int FindButton(HWND owner, UINT uID) {
  for (int i = 0; i < ButtonCount(); ++i) {
    const TrayRecord* r = RecordAt(i);
    if (r && r->hwnd == owner && r->uID == uID) return i;
  }
  return -1;
}

HICON IconFrom(const cvl::NotifyCopyData& n) {
  if (n.wineFormat) {
    if (n.mask == nullptr) return nullptr;
    return CreateIcon(nullptr, static_cast<int>(n.iconWidth), static_cast<int>(n.iconHeight),
                      static_cast<BYTE>(n.iconPlanes), static_cast<BYTE>(n.iconBitsPerPixel),
                      n.mask, n.colour);
  }
  return n.icon ? CopyIcon(reinterpret_cast<HICON>(static_cast<UINT_PTR>(n.icon))) : nullptr;
}

void SetText(int command, const char* text) {
  TBBUTTONINFOA info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_TEXT;
  info.pszText = const_cast<char*>(text);
  SendMessageA(g_toolbar, TB_SETBUTTONINFOA, command, reinterpret_cast<LPARAM>(&info));
}

void Layout();

// Icons' states and balloons.

// The state each icon's program asked for with NIF_STATE, by the icon's record.
std::map<const TrayRecord*, DWORD> g_programStates;
// The version each icon's program set (NIM_SETVERSION) since it added the icon. From version 3
// on, Windows 2000 and XP follow a left click with NIN_SELECT and a right click with
// WM_CONTEXTMENU (views/IconMessages.h says on what this rests).
std::map<const TrayRecord*, UINT> g_versions;

constexpr UINT_PTR kBalloonTimer = 0x8A11;
constexpr UINT kBalloonMaxMs = 30000;
UINT g_balloonMinMs = 10000;
HWND g_balloon;  // the balloon tooltip, made when the first balloon shows
WNDPROC g_balloonProc;
const TrayRecord* g_balloonIcon;  // the icon whose balloon shows, or none
POINT g_balloonAt;
DWORD g_balloonFlags;
UINT g_balloonMs;
char g_balloonTitle[cvl::kInfoTitleChars + 1];
char g_balloonText[cvl::kInfoChars + 1];
LONG g_hiddenBalloonAsks;

int IndexOf(const TrayRecord* r, TBBUTTON* button = nullptr) {
  for (int i = 0; i < ButtonCount(); ++i)
    if (RecordAt(i, button) == r) return i;
  return -1;
}

// A balloon's messages go to the icon's callback like its mouse actions, without waiting.
void TellOwner(const TrayRecord* r, UINT what) {
  SendNotifyMessageA(r->hwnd, r->uCallbackMessage, r->uID, what);
}

TOOLINFOA BalloonTool(const char* text) {
  TOOLINFOA t{};
  t.cbSize = TTTOOLINFOA_V1_SIZE;
  t.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  t.hwnd = g_taskbar;
  t.uId = 1;
  t.lpszText = const_cast<char*>(text);
  return t;
}

// Takes the balloon down; `why` (a NIN_ code, or 0 for nothing) goes to its icon's owner.
void CloseBalloon(UINT why) {
  const TrayRecord* r = g_balloonIcon;
  if (r == nullptr) return;
  g_balloonIcon = nullptr;
  KillTimer(g_balloon, kBalloonTimer);
  TOOLINFOA t = BalloonTool(nullptr);
  SendMessageA(g_balloon, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&t));
  if (why != 0) TellOwner(r, why);
}

LRESULT CALLBACK BalloonProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCHITTEST:
      if (g_balloonIcon != nullptr) return HTCLIENT;  // a shown balloon takes its clicks
      break;
    case WM_LBUTTONDOWN:
      if (g_balloonIcon != nullptr) {
        CloseBalloon(cvl::kNinBalloonUserClick);
        return 0;
      }
      break;
    case WM_TIMER:
      if (wp == kBalloonTimer) {
        CloseBalloon(cvl::kNinBalloonTimeout);
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(g_balloonProc, w, msg, wp, lp);
}

bool MakeBalloonWindow() {
  if (g_balloon != nullptr) return true;
  g_balloon = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSA, nullptr,
                              WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0,
                              g_taskbar, nullptr, g_instance, nullptr);
  if (g_balloon == nullptr) return false;
  TOOLINFOA t = BalloonTool("");
  SendMessageA(g_balloon, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&t));
  SendMessageA(g_balloon, TTM_SETMAXTIPWIDTH, 0, 300);
  g_balloonProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(g_balloon, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BalloonProc)));
  return true;
}

// The balloon points at the centre of its icon's button, wherever the button is now; a button
// hidden takes its balloon down.
void BalloonFollowsButton() {
  if (g_balloonIcon == nullptr) return;
  TBBUTTON b{};
  const int index = IndexOf(g_balloonIcon, &b);
  if (index < 0 || (b.fsState & TBSTATE_HIDDEN)) {
    CloseBalloon(cvl::kNinBalloonHide);
    return;
  }
  RECT rc{};
  SendMessageA(g_toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc));
  MapWindowPoints(g_toolbar, nullptr, reinterpret_cast<POINT*>(&rc), 2);
  const POINT at{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  if (at.x == g_balloonAt.x && at.y == g_balloonAt.y) return;
  g_balloonAt = at;
  SendMessageA(g_balloon, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
}

int TitleIcon(DWORD infoFlags) {
  switch (infoFlags & NIIF_ICON_MASK) {
    case NIIF_INFO:
      return TTI_INFO;
    case NIIF_WARNING:
      return TTI_WARNING;
    case NIIF_ERROR:
      return TTI_ERROR;
    default:
      return TTI_NONE;
  }
}

// NIF_INFO: an empty text takes the icon's balloon down, any other shows it in place of the one
// shown. A hidden button gets none.
void Balloon(const TrayRecord* r, const cvl::NotifyCopyData& n) {
  char text[sizeof g_balloonText];
  cvl::NotifyText(n.info, n.tipWide, cvl::kInfoChars, text, sizeof text);
  if (text[0] == '\0') {
    if (g_balloonIcon == r) CloseBalloon(cvl::kNinBalloonHide);
    return;
  }
  TBBUTTON b{};
  if (IndexOf(r, &b) < 0 || (b.fsState & TBSTATE_HIDDEN)) {
    ++g_hiddenBalloonAsks;
    return;
  }
  if (!MakeBalloonWindow()) return;
  CloseBalloon(g_balloonIcon == r ? 0 : cvl::kNinBalloonHide);
  std::memcpy(g_balloonText, text, sizeof text);
  cvl::NotifyText(n.infoTitle, n.tipWide, cvl::kInfoTitleChars, g_balloonTitle,
                  sizeof g_balloonTitle);
  g_balloonFlags = n.infoFlags;
  g_balloonMs = n.timeout < g_balloonMinMs  ? g_balloonMinMs
                : n.timeout > kBalloonMaxMs ? kBalloonMaxMs
                                            : n.timeout;
  SendMessageA(g_balloon, TTM_SETTITLEA, TitleIcon(n.infoFlags),
               reinterpret_cast<LPARAM>(g_balloonTitle));
  TOOLINFOA t = BalloonTool(g_balloonText);
  SendMessageA(g_balloon, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&t));
  g_balloonIcon = r;
  g_balloonAt = POINT{-1, -1};
  BalloonFollowsButton();
  SendMessageA(g_balloon, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&t));
  SetTimer(g_balloon, kBalloonTimer, g_balloonMs, nullptr);
  TellOwner(r, cvl::kNinBalloonShow);
}

// NIF_STATE: the program's state is kept per icon; a change of NIS_HIDDEN hides or shows the
// button with a command from the taskbar's own thread.
void ProgramState(const TrayRecord* r, const cvl::NotifyCopyData& n) {
  bool hidden = false;
  if (!cvl::SetsHidden(n, &hidden)) return;
  DWORD& state = g_programStates[r];
  const bool was = (state & cvl::kNisHidden) != 0;
  state = (state & ~n.stateMask) | (n.state & n.stateMask);
  TBBUTTON b{};
  if (hidden == was || IndexOf(r, &b) < 0) return;
  SendMessageA(g_toolbar, TB_HIDEBUTTON, b.idCommand, MAKELPARAM(hidden ? TRUE : FALSE, 0));
}

// What an added or changed icon asks beyond its picture, tip and callback.
void StateAndBalloon(const TrayRecord* r, const cvl::NotifyCopyData& n) {
  ProgramState(r, n);
  if (n.hasLaterFields && (n.flags & cvl::kNifInfo)) Balloon(r, n);
}

// The icon goes: its state is forgotten and its balloon taken down (NIN_BALLOONHIDE, as for a
// deleted icon).
void ForgetIcon(const TrayRecord* r) {
  g_programStates.erase(r);
  g_versions.erase(r);
  if (g_balloonIcon == r) CloseBalloon(cvl::kNinBalloonHide);
}

void RemoveIcon(int index) {
  TrayRecord* r = RecordAt(index);
  if (r == nullptr) return;
  ForgetIcon(r);
  SendMessageA(g_toolbar, TB_DELETEBUTTON, index, 0);
  if (r->hIcon) DestroyIcon(r->hIcon);
  delete r;
}

void DumpStatesAndBalloon(FILE* f) {
  for (const auto& [r, state] : g_programStates)
    if (state & cvl::kNisHidden)
      std::fprintf(f, "programhidden owner=%lx id=%u\n",
                   static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(r->hwnd)), r->uID);
  RECT w{};
  if (g_balloon) GetWindowRect(g_balloon, &w);
  const TrayRecord* r = g_balloonIcon;
  std::fprintf(f,
               "balloon shown=%d icon=%lx,%u at=%ld,%ld visible=%d rect=%ld %ld %ld %ld "
               "flags=%lu ms=%u hiddenasks=%ld\n",
               r ? 1 : 0, r ? static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(r->hwnd)) : 0ul,
               r ? r->uID : 0u, r ? g_balloonAt.x : 0l, r ? g_balloonAt.y : 0l,
               g_balloon && IsWindowVisible(g_balloon) ? 1 : 0, w.left, w.top, w.right, w.bottom,
               r ? g_balloonFlags : 0ul, r ? g_balloonMs : 0u, g_hiddenBalloonAsks);
  std::fprintf(f, "balloon title=%s\n", r ? g_balloonTitle : "");
  std::fprintf(f, "balloon text=%s\n", r ? g_balloonText : "");
}

// The mouse over a button whose owner window has gone removes that icon, as the shell does.
bool RemovedOwnerless(int index) {
  const TrayRecord* r = RecordAt(index);
  if (r == nullptr || IsWindow(r->hwnd)) return false;
  RemoveIcon(index);
  Layout();
  return true;
}

BOOL NotifyIcon(const cvl::NotifyCopyData& n) {
  const HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(n.owner));
  const int index = FindButton(owner, n.uID);
  char tip[256];
  cvl::NotifyTipText(n, tip, sizeof tip);
  switch (n.message) {
    case NIM_ADD: {
      if (index >= 0 || !IsWindow(owner)) return FALSE;
      auto* r = new TrayRecord{owner, n.uID, 0, {0, 0}, nullptr};
      if (n.flags & NIF_MESSAGE) r->uCallbackMessage = n.callback;
      if (n.flags & NIF_ICON) r->hIcon = IconFrom(n);
      TBBUTTON b{};
      b.iBitmap = r->hIcon ? ImageList_AddIcon(g_images, r->hIcon) : I_IMAGENONE;
      b.idCommand = g_nextCommand++;
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON | BTNS_NOPREFIX;
      b.dwData = reinterpret_cast<DWORD_PTR>(r);
      b.iString = reinterpret_cast<INT_PTR>((n.flags & NIF_TIP) ? tip : "");
      SendMessageA(g_toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
      StateAndBalloon(r, n);
      break;
    }
    case NIM_MODIFY: {
      if (index < 0) return FALSE;
      TBBUTTON b{};
      TrayRecord* r = RecordAt(index, &b);
      if (n.flags & NIF_MESSAGE) r->uCallbackMessage = n.callback;
      if (n.flags & NIF_ICON) {
        if (HICON icon = IconFrom(n)) {
          if (r->hIcon) DestroyIcon(r->hIcon);
          r->hIcon = icon;
          TBBUTTONINFOA info{};
          info.cbSize = sizeof info;
          info.dwMask = TBIF_IMAGE;
          info.iImage = b.iBitmap >= 0 ? ImageList_ReplaceIcon(g_images, b.iBitmap, icon)
                                       : ImageList_AddIcon(g_images, icon);
          SendMessageA(g_toolbar, TB_SETBUTTONINFOA, b.idCommand, reinterpret_cast<LPARAM>(&info));
        }
      }
      if (n.flags & NIF_TIP) SetText(b.idCommand, tip);
      StateAndBalloon(r, n);
      break;
    }
    case NIM_DELETE: {
      if (index < 0) return FALSE;
      RemoveIcon(index);
      break;
    }
    case NIM_SETFOCUS:
      return index >= 0;
    case 4:  // NIM_SETVERSION: the version shares its field with the balloon's timeout
      if (index < 0 || !n.hasLaterFields) return FALSE;
      g_versions[RecordAt(index)] = n.timeout;
      return TRUE;
    default:
      return FALSE;
  }
  // An icon added or removed changes the area's width before Shell_NotifyIcon returns, as
  // ReactOS's tray does (it asks its parent to realign inside the call); other changes are laid
  // out when the thread is free.
  if ((n.message == NIM_ADD || n.message == NIM_DELETE) && !g_fastTray) {
    Layout();
  } else if (!g_layoutPosted) {
    // One pending layout serves every change before it runs.
    g_layoutPosted = PostMessageA(g_taskbar, kLayout, 0, 0) != FALSE;
  }
  BalloonFollowsButton();
  return TRUE;
}

// Sees every sent message before any subclass does: the hook answers readings without passing
// them on.
LRESULT CALLBACK CountSends(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && lp != 0 && InSendMessage()) {
    const auto* c = reinterpret_cast<const CWPSTRUCT*>(lp);
    const bool ours = c->hwnd == g_toolbar || c->hwnd == g_taskbar || c->hwnd == g_notify;
    // Reading the tray's state (the drivers, the probe) is no work done on it.
    const bool reading = c->message == TB_BUTTONCOUNT || c->message == TB_GETBUTTON ||
                         c->message == TB_GETBUTTONTEXTA || c->message == TB_GETBUTTONTEXTW ||
                         c->message == TB_GETITEMRECT;
    const bool work = c->message == WM_COPYDATA || (c->message >= WM_USER && c->message < WM_APP);
    if (ours && work && !reading) {
      ++g_trayWork;
      if (c->hwnd == g_toolbar && c->message == cvl::THM_ENUMREQUEST &&
          c->wParam == cvl::THM_ENUM_VALUE && static_cast<UINT>(c->lParam) == cvl::THM_ENUM_VALUE)
        ++g_readings;
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

int ShownButtons() {
  int shown = 0;
  for (int i = 0; i < ButtonCount(); ++i) {
    TBBUTTON b{};
    if (RecordAt(i, &b) && !(b.fsState & TBSTATE_HIDDEN)) ++shown;
  }
  return shown;
}

// The notification area stands at the bar's far end: the right end of a horizontal bar, as wide
// as its icons and the clock; the bottom of a vertical one, as high as its rows of icons and the
// clock under them.
void Layout() {
  RECT bar;
  GetClientRect(g_taskbar, &bar);
  if (Vertical()) {
    const int perRow = (bar.right - 8) / kButtonSize > 0 ? (bar.right - 8) / kButtonSize : 1;
    const int rows = (ShownButtons() + perRow - 1) / perRow;
    const int height = rows * kButtonSize + kClockHeight + 6;
    SetWindowPos(g_notify, nullptr, 2, bar.bottom - height - 2, bar.right - 4, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  SIZE buttons{};
  SendMessageA(g_toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&buttons));
  const int width = static_cast<int>(buttons.cx) + kClockWidth + 8;
  SetWindowPos(g_notify, nullptr, bar.right - width, 2, width, kTaskbarHeight - 4,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// The bar's place on the screen for its edge.
RECT DockedRect() {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  switch (g_edge) {
    case Edge::Top:
      return RECT{0, 0, w, kTaskbarHeight};
    case Edge::Left:
      return RECT{0, 0, kTaskbarWidth, h};
    case Edge::Right:
      return RECT{w - kTaskbarWidth, 0, w, h};
    case Edge::Bottom:
      break;
  }
  return RECT{0, h - kTaskbarHeight, w, h};
}

// The shell owns the work area: it sets it to the screen less its bar, and every program that
// places windows by it (SPI_GETWORKAREA) keeps off the bar. Windows also tell its change to the
// top-level windows (SPIF_SENDCHANGE).
void ReserveEdge(const RECT& bar) {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  switch (g_edge) {
    case Edge::Top:
      work.top = bar.bottom;
      break;
    case Edge::Left:
      work.left = bar.right;
      break;
    case Edge::Right:
      work.right = bar.left;
      break;
    case Edge::Bottom:
      work.bottom = bar.top;
      break;
  }
  SystemParametersInfoA(SPI_SETWORKAREA, 0, &work, SPIF_SENDCHANGE);
}

// What the shell does when it ends: the whole screen is the work area again.
void ReleaseEdge() {
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_SETWORKAREA, 0, &screen, SPIF_SENDCHANGE);
}

bool ParseEdge(const char* name) {
  const struct {
    const char* name;
    Edge edge;
  } edges[] = {
      {"bottom", Edge::Bottom}, {"top", Edge::Top}, {"left", Edge::Left}, {"right", Edge::Right}};
  for (const auto& e : edges)
    if (std::strcmp(name, e.name) == 0) {
      g_edge = e.edge;
      return true;
    }
  return false;
}

LRESULT CALLBACK TaskbarProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ToolbarProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);

void DumpState() {
  if (g_statePath.empty()) return;
  FILE* f = std::fopen(g_statePath.c_str(), "w");
  if (!f) return;
  const int count = ButtonCount();
  std::fprintf(f, "buttons %d\n", count);
  for (int i = 0; i < count; ++i) {
    TBBUTTON b{};
    const TrayRecord* r = RecordAt(i, &b);
    char text[512] = {};
    const LRESULT len = SendMessageA(g_toolbar, TB_GETBUTTONTEXTA, b.idCommand, 0);
    if (len > 0 && len < static_cast<LRESULT>(sizeof text))
      SendMessageA(g_toolbar, TB_GETBUTTONTEXTA, b.idCommand, reinterpret_cast<LPARAM>(text));
    RECT rc{};
    if (!(b.fsState & TBSTATE_HIDDEN)) {
      SendMessageA(g_toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rc));
      MapWindowPoints(g_toolbar, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    }
    std::fprintf(f, "button %d owner=%lx id=%u cmd=%d hidden=%d at=%ld,%ld tip=%s\n", i,
                 r ? static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(r->hwnd)) : 0ul,
                 r ? r->uID : 0u, b.idCommand, (b.fsState & TBSTATE_HIDDEN) ? 1 : 0,
                 (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, text);
  }
  RECT n, work{};
  GetWindowRect(g_notify, &n);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  std::fprintf(f, "clock visible=%d\n", IsWindowVisible(g_clock) ? 1 : 0);
  std::fprintf(f, "notify left=%ld width=%ld\n", n.left, n.right - n.left);
  std::fprintf(f, "notify rect=%ld %ld %ld %ld\n", n.left, n.top, n.right, n.bottom);
  std::fprintf(f, "workarea %ld %ld %ld %ld\n", work.left, work.top, work.right, work.bottom);
  // Whether the taskbar and the toolbar run their own procedures, no other module's on top.
  const auto own = [](HWND w, WNDPROC proc) {
    return GetWindowLongPtrA(w, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(proc);
  };
  std::fprintf(f, "procedures own=%d\n",
               own(g_taskbar, &TaskbarProc) && own(g_toolbar, &ToolbarProc) ? 1 : 0);
  DumpStatesAndBalloon(f);
  std::fclose(f);
}

LRESULT CALLBACK ToolbarProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: {
      POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      const int index = static_cast<int>(
          CallWindowProcA(g_toolbarProc, w, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
      if (index >= 0 && !RemovedOwnerless(index)) {
        if (const TrayRecord* r = RecordAt(index)) {
          PostMessageA(r->hwnd, r->uCallbackMessage, r->uID, msg);
          const auto version = g_versions.find(r);
          if (version != g_versions.end() && version->second >= 3 &&
              (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP))
            PostMessageA(r->hwnd, r->uCallbackMessage, r->uID,
                         msg == WM_LBUTTONUP ? WM_USER : WM_CONTEXTMENU);  // NIN_SELECT
        }
      }
      break;
    }
    case TB_HIDEBUTTON:
    case TB_MOVEBUTTON: {
      PostMessageA(g_taskbar, kLayout, 0, 0);
      const LRESULT result = CallWindowProcA(g_toolbarProc, w, msg, wp, lp);
      BalloonFollowsButton();
      return result;
    }
    default:
      break;
  }
  return CallWindowProcA(g_toolbarProc, w, msg, wp, lp);
}

// Another module's subclass on top of whatever the window had: passes everything on.
HWND g_onTop[3];
WNDPROC g_belowOnTop[3];

LRESULT CALLBACK OnTopProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  for (int i = 0; i < 3; ++i)
    if (g_onTop[i] == w) return CallWindowProcA(g_belowOnTop[i], w, msg, wp, lp);
  return DefWindowProcA(w, msg, wp, lp);
}

void SubclassOnTop(HWND taskbar) {
  const HWND notify = FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr);
  const HWND windows[3] = {taskbar, notify, g_toolbar};
  for (int i = 0; i < 3; ++i) {
    if (g_onTop[i] != nullptr || windows[i] == nullptr) continue;
    g_onTop[i] = windows[i];
    g_belowOnTop[i] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(windows[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OnTopProc)));
  }
}

LRESULT CALLBACK TaskbarProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COPYDATA: {
      const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      const auto n = cvl::ParseNotifyCopyData(static_cast<std::uint32_t>(cds->dwData), cds->lpData,
                                              cds->cbData);
      return n ? NotifyIcon(*n) : FALSE;
    }
    case kLayout:
      g_layoutPosted = false;
      Layout();
      BalloonFollowsButton();
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case kCounts:
      return wp == standin::kReadings ? g_readings : g_trayWork;
    case kDumpState:
      DumpState();
      return 1;
    case kSubclassOnTop:
      SubclassOnTop(w);
      return 1;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(w, msg, wp, lp);
  }
}

LRESULT CALLBACK NotifyProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SIZE && Vertical()) {
    // The icons' rows fill the top, the clock the bottom.
    const int width = LOWORD(lp), height = HIWORD(lp);
    const HWND icons = g_pager ? g_pager : g_toolbar;
    MoveWindow(icons, 2, 2, width - 4, height - kClockHeight - 4, TRUE);
    if (g_pager) MoveWindow(g_toolbar, 0, 0, width - 4, height - kClockHeight - 4, TRUE);
    MoveWindow(g_clock, 0, height - kClockHeight, width, kClockHeight, TRUE);
    return 0;
  }
  if (msg == WM_SIZE) {
    // The toolbar (or its pager) fills the left, the clock stands at the right end of the width
    // the notification area is given.
    const int width = LOWORD(lp), height = HIWORD(lp);
    const HWND icons = g_pager ? g_pager : g_toolbar;
    MoveWindow(icons, 2, 1, width - kClockWidth - 4, height - 2, TRUE);
    if (g_pager) MoveWindow(g_toolbar, 0, 0, width - kClockWidth - 4, height - 2, TRUE);
    MoveWindow(g_clock, width - kClockWidth, 0, kClockWidth, height, TRUE);
    return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

LRESULT CALLBACK ClockProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      SYSTEMTIME t;
      GetLocalTime(&t);
      char text[16];
      std::snprintf(text, sizeof text, "%02d:%02d", t.wHour, t.wMinute);
      RECT r;
      GetClientRect(w, &r);
      SetBkMode(dc, TRANSPARENT);
      DrawTextA(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(w, &ps);
      return 0;
    }
    default:
      return DefWindowProcA(w, msg, wp, lp);
  }
}

void Register(const char* name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = g_instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

HWND Child(const char* cls, HWND parent, DWORD style = 0) {
  return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | style, 0, 0, 10, 10,
                         parent, nullptr, g_instance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_instance = instance;
  bool win2k = false;
  bool count = false;
  char fast[8] = {};
  g_fastTray =
      GetEnvironmentVariableA("CLASSICSHELL_FAST_TRAY", fast, sizeof fast) && fast[0] == '1';
  for (int i = 1; i < __argc; ++i) {
    if (std::strcmp(__argv[i], "--fast-tray") == 0) g_fastTray = true;
    if (std::strcmp(__argv[i], "--count") == 0) count = true;
    if (std::strcmp(__argv[i], "--win2k") == 0) win2k = true;
    if (std::strcmp(__argv[i], "--top") == 0) g_edge = Edge::Top;
    if (std::strcmp(__argv[i], "--edge") == 0 && i + 1 < __argc && !ParseEdge(__argv[++i]))
      return 2;
    if (std::strcmp(__argv[i], "--state") == 0 && i + 1 < __argc) g_statePath = __argv[++i];
    if (std::strcmp(__argv[i], "--balloon-min-ms") == 0 && i + 1 < __argc)
      g_balloonMinMs = static_cast<UINT>(std::atoi(__argv[++i]));
  }
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  Register("Shell_TrayWnd", TaskbarProc);
  Register("TrayNotifyWnd", NotifyProc);
  Register("TrayClockWClass", ClockProc);
  Register("SysPager", DefWindowProcA);

  const RECT bar = DockedRect();
  g_taskbar = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "",
                              WS_POPUP | WS_CLIPCHILDREN | WS_BORDER, bar.left, bar.top,
                              bar.right - bar.left, bar.bottom - bar.top, nullptr, nullptr,
                              instance, nullptr);
  g_notify = Child("TrayNotifyWnd", g_taskbar, WS_BORDER);
  g_clock = Child("TrayClockWClass", g_notify);
  if (!win2k) g_pager = Child("SysPager", g_notify);
  g_toolbar = Child(TOOLBARCLASSNAMEA, win2k ? g_notify : g_pager,
                    TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE |
                        CCS_NOPARENTALIGN | (Vertical() ? TBSTYLE_WRAPABLE : 0));
  SendMessageA(g_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(g_toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
  g_images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8);
  SendMessageA(g_toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(g_images));
  SendMessageA(g_toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(kButtonSize, kButtonSize));
  g_toolbarProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(g_toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ToolbarProc)));
  if (count) SetWindowsHookExA(WH_CALLWNDPROC, &CountSends, nullptr, GetCurrentThreadId());
  SetTimer(g_clock, 1, 1000, nullptr);
  ShowWindow(g_taskbar, SW_SHOWNOACTIVATE);
  ReserveEdge(bar);
  Layout();
  // Programs put their icons back when a taskbar appears.
  PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);

  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  ReleaseEdge();
  for (int i = ButtonCount() - 1; i >= 0; --i) {
    TrayRecord* r = RecordAt(i);
    if (r && r->hIcon) DestroyIcon(r->hIcon);
    delete r;
  }
  ImageList_Destroy(g_images);
  return 0;
}
