// leantray.exe: a tray as lean as a real shell's, the denominator of the cost benchmarks. The
// classic window tree (Shell_TrayWnd > TrayNotifyWnd > TrayClockWClass, SysPager >
// ToolbarWindow32, or the toolbar straight under the notification area with --win2k), one
// toolbar button per icon whose dwData points at the tray record, Shell_NotifyIcon's WM_COPYDATA
// in the Wine and the Windows formats, and mouse actions on a button sent to the icon's owner.
//
//   leantray.exe [--win2k]
//
// Per change it makes only the toolbar calls the change needs: an add one TB_ADDBUTTONS, a
// change one TB_SETBUTTONINFO, a delete TB_COMMANDTOINDEX and TB_DELETEBUTTON, a program's
// NIS_HIDDEN one TB_HIDEBUTTON. It finds an icon by a table of its own instead of reading its
// buttons, writes no state, lays nothing out, shows no balloon and sets no hook on its thread.
// It takes kCounts (kTrayWork: the changes and the commands other threads sent; readings it
// cannot see, since the hook answers them) and kDumpState (the buttons, to the file of --state).
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "StandInCommands.h"
#include "TrayRecord.h"
#include "shell/NotifyCopyData.h"

namespace {

constexpr int kButtonSize = 22;

HWND g_taskbar, g_toolbar;
HIMAGELIST g_images;
WNDPROC g_toolbarProc;
int g_nextCommand = 1000;
LONG g_trayWork;
std::string g_statePath;

struct Icon {
  TrayRecord* record;
  int command;
  int image;
};
std::map<std::pair<HWND, UINT>, Icon> g_icons;
std::vector<int> g_freeImages;  // slots of deleted icons, used again

HICON IconFrom(const cvl::NotifyCopyData& n) {
  if (n.wineFormat)
    return n.mask == nullptr
               ? nullptr
               : CreateIcon(nullptr, static_cast<int>(n.iconWidth), static_cast<int>(n.iconHeight),
                            static_cast<BYTE>(n.iconPlanes), static_cast<BYTE>(n.iconBitsPerPixel),
                            n.mask, n.colour);
  return n.icon ? CopyIcon(reinterpret_cast<HICON>(static_cast<UINT_PTR>(n.icon))) : nullptr;
}

int PutImage(HICON icon, int slot) {
  if (slot >= 0) return ImageList_ReplaceIcon(g_images, slot, icon);
  if (!g_freeImages.empty()) {
    slot = g_freeImages.back();
    g_freeImages.pop_back();
    return ImageList_ReplaceIcon(g_images, slot, icon);
  }
  return ImageList_AddIcon(g_images, icon);
}

void Hide(const Icon& icon, const cvl::NotifyCopyData& n) {
  bool hidden = false;
  if (cvl::SetsHidden(n, &hidden))
    SendMessageA(g_toolbar, TB_HIDEBUTTON, icon.command, MAKELPARAM(hidden ? TRUE : FALSE, 0));
}

BOOL Add(HWND owner, const cvl::NotifyCopyData& n, const char* tip) {
  auto* r = new TrayRecord{owner, n.uID, 0, {0, 0}, nullptr};
  if (n.flags & NIF_MESSAGE) r->uCallbackMessage = n.callback;
  if (n.flags & NIF_ICON) r->hIcon = IconFrom(n);
  Icon icon{r, g_nextCommand++, r->hIcon ? PutImage(r->hIcon, -1) : I_IMAGENONE};
  TBBUTTON b{};
  b.iBitmap = icon.image;
  b.idCommand = icon.command;
  b.fsState = TBSTATE_ENABLED;
  b.fsStyle = BTNS_BUTTON | BTNS_NOPREFIX;
  b.dwData = reinterpret_cast<DWORD_PTR>(r);
  b.iString = reinterpret_cast<INT_PTR>((n.flags & NIF_TIP) ? tip : "");
  SendMessageA(g_toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
  g_icons[{owner, n.uID}] = icon;
  Hide(icon, n);
  return TRUE;
}

BOOL Modify(Icon& icon, const cvl::NotifyCopyData& n, char* tip) {
  TrayRecord* r = icon.record;
  if (n.flags & NIF_MESSAGE) r->uCallbackMessage = n.callback;
  TBBUTTONINFOA info{};
  info.cbSize = sizeof info;
  if (n.flags & NIF_ICON) {
    if (HICON picture = IconFrom(n)) {
      if (r->hIcon) DestroyIcon(r->hIcon);
      r->hIcon = picture;
      const int image = PutImage(picture, icon.image);
      if (image != icon.image) {
        icon.image = image;
        info.dwMask |= TBIF_IMAGE;
        info.iImage = image;
      }
    }
  }
  if (n.flags & NIF_TIP) {
    info.dwMask |= TBIF_TEXT;
    info.pszText = tip;
  }
  if (info.dwMask)
    SendMessageA(g_toolbar, TB_SETBUTTONINFOA, icon.command, reinterpret_cast<LPARAM>(&info));
  else if (n.flags & NIF_ICON)
    InvalidateRect(g_toolbar, nullptr, FALSE);  // the same image slot, a new picture
  Hide(icon, n);
  return TRUE;
}

void Delete(std::map<std::pair<HWND, UINT>, Icon>::iterator at) {
  const Icon icon = at->second;
  g_icons.erase(at);
  const LRESULT index = SendMessageA(g_toolbar, TB_COMMANDTOINDEX, icon.command, 0);
  if (index >= 0) SendMessageA(g_toolbar, TB_DELETEBUTTON, index, 0);
  if (icon.image >= 0) g_freeImages.push_back(icon.image);
  if (icon.record->hIcon) DestroyIcon(icon.record->hIcon);
  delete icon.record;
}

BOOL NotifyIcon(const cvl::NotifyCopyData& n) {
  const HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(n.owner));
  const auto at = g_icons.find({owner, n.uID});
  char tip[256];
  cvl::NotifyTipText(n, tip, sizeof tip);
  switch (n.message) {
    case NIM_ADD:
      return at == g_icons.end() ? Add(owner, n, tip) : FALSE;
    case NIM_MODIFY:
      return at == g_icons.end() ? FALSE : Modify(at->second, n, tip);
    case NIM_DELETE:
      if (at == g_icons.end()) return FALSE;
      Delete(at);
      return TRUE;
    case NIM_SETFOCUS:
    case 4:  // NIM_SETVERSION
      return at != g_icons.end();
    default:
      return FALSE;
  }
}

void DumpState() {
  if (g_statePath.empty()) return;
  FILE* f = std::fopen(g_statePath.c_str(), "w");
  if (!f) return;
  const int count = static_cast<int>(SendMessageA(g_toolbar, TB_BUTTONCOUNT, 0, 0));
  std::fprintf(f, "buttons %d\n", count);
  for (int i = 0; i < count; ++i) {
    TBBUTTON b{};
    SendMessageA(g_toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
    const auto* r = reinterpret_cast<const TrayRecord*>(b.dwData);
    std::fprintf(f, "button %d owner=%lx id=%u cmd=%d hidden=%d\n", i,
                 r ? static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(r->hwnd)) : 0ul,
                 r ? r->uID : 0u, b.idCommand, (b.fsState & TBSTATE_HIDDEN) ? 1 : 0);
  }
  std::fclose(f);
}

LRESULT CALLBACK ToolbarProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if ((msg == TB_HIDEBUTTON || msg == TB_MOVEBUTTON) && InSendMessage()) ++g_trayWork;
  if ((msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK) && msg != WM_MOUSEMOVE) {
    POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    const LRESULT index =
        CallWindowProcA(g_toolbarProc, w, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt));
    TBBUTTON b{};
    if (index >= 0 &&
        CallWindowProcA(g_toolbarProc, w, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&b))) {
      if (const auto* r = reinterpret_cast<const TrayRecord*>(b.dwData))
        PostMessageA(r->hwnd, r->uCallbackMessage, r->uID, msg);
    }
  }
  return CallWindowProcA(g_toolbarProc, w, msg, wp, lp);
}

LRESULT CALLBACK TaskbarProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COPYDATA: {
      ++g_trayWork;
      const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      const auto n = cvl::ParseNotifyCopyData(static_cast<std::uint32_t>(cds->dwData), cds->lpData,
                                              cds->cbData);
      return n ? NotifyIcon(*n) : FALSE;
    }
    case standin::kCounts:
      return wp == standin::kTrayWork ? g_trayWork : -1;
    case standin::kDumpState:
      DumpState();
      return 1;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(w, msg, wp, lp);
  }
}

HWND Window(const char* cls, WNDPROC proc, HWND parent, int x, int y, int cx, int cy) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = cls;
  RegisterClassA(&wc);
  return CreateWindowExA(parent ? 0 : WS_EX_TOPMOST | WS_EX_TOOLWINDOW, cls, "",
                         parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE, x, y, cx, cy,
                         parent, nullptr, wc.hInstance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  bool win2k = false;
  for (int i = 1; i < __argc; ++i) {
    if (std::strcmp(__argv[i], "--win2k") == 0) win2k = true;
    if (std::strcmp(__argv[i], "--state") == 0 && i + 1 < __argc) g_statePath = __argv[++i];
  }
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  // Laid out once: the icons' room is the bar's right half.
  g_taskbar = Window("Shell_TrayWnd", TaskbarProc, nullptr, 0, h - 30, w, 30);
  const HWND notify = Window("TrayNotifyWnd", DefWindowProcA, g_taskbar, w / 2, 2, w / 2 - 2, 26);
  Window("TrayClockWClass", DefWindowProcA, notify, w / 2 - 52, 0, 50, 26);
  const HWND pager =
      win2k ? notify : Window("SysPager", DefWindowProcA, notify, 0, 0, w / 2 - 56, 26);
  g_toolbar = CreateWindowExA(
      0, TOOLBARCLASSNAMEA, "",
      WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 0,
      w / 2 - 56, 26, pager, nullptr, instance, nullptr);
  SendMessageA(g_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  g_images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8);
  SendMessageA(g_toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(g_images));
  SendMessageA(g_toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(kButtonSize, kButtonSize));
  g_toolbarProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(g_toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ToolbarProc)));
  PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  for (auto& [key, icon] : g_icons) {
    if (icon.record->hIcon) DestroyIcon(icon.record->hIcon);
    delete icon.record;
  }
  ImageList_Destroy(g_images);
  return 0;
}
