// trayowner.exe: a program that owns tray icons, for the tests and the demo. It adds the icons
// it is given, takes commands, and logs every callback message its icons receive.
//
//   trayowner.exe --class CLASS [--log FILE] [--after EVENT] [--icon ID:TIP:RRGGBB]...
//
// With --after, the icons are added once the named event is set (probe signal EVENT), so that
// many owners started one by one add theirs at the same moment; it waits a minute at most.
// Commands come as WM_COPYDATA (dwData kCommand) to its window, found by CLASS:
//   add ID TIP RRGGBB | modify ID TIP | recolour ID RRGGBB | delete ID | quit
//   balloon ID FLAGS MS TITLE|TEXT   shows a balloon (NIF_INFO: dwInfoFlags FLAGS, uTimeout MS)
//   unballoon ID                     clears it (NIF_INFO with an empty text)
//   hide ID | show ID                NIF_STATE with NIS_HIDDEN set or cleared
//   version ID N                     NIM_SETVERSION with uVersion N, again after every add
// With --log, every add also logs whether its button was hidden the moment the add returned.
// The balloon and the state go in a NOTIFYICONDATA of the 2000/XP size.
// It puts its icons back when a taskbar announces itself with "TaskbarCreated".
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "RemoteMemory.h"
#include "TrayRecord.h"
#include "TrayTool.h"

namespace {

constexpr ULONG_PTR kCommand = 0x7A7A;
constexpr UINT kCallback = WM_APP + 100;

struct Icon {
  std::string tip;
  HICON icon = nullptr;
};

HWND g_window;
std::map<UINT, Icon> g_icons;
std::string g_log;
UINT g_taskbarCreated;

void Log(const char* format, UINT a, LPARAM b) {
  if (g_log.empty()) return;
  if (FILE* f = std::fopen(g_log.c_str(), "a")) {
    std::fprintf(f, format, a, static_cast<long>(b));
    std::fclose(f);
  }
}

HICON MakeIcon(COLORREF colour) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP colourBits = CreateCompatibleBitmap(screen, 16, 16);
  HBITMAP maskBits = CreateBitmap(16, 16, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(dc, colourBits);
  HBRUSH fill = CreateSolidBrush(colour);
  RECT r{0, 0, 16, 16};
  FillRect(dc, &r, fill);
  RECT inner{5, 5, 11, 11};
  FillRect(dc, &inner, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SelectObject(dc, maskBits);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));  // all opaque
  SelectObject(dc, old);
  ICONINFO info{TRUE, 0, 0, maskBits, colourBits};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(fill);
  DeleteObject(maskBits);
  DeleteObject(colourBits);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return icon;
}

BOOL Notify(DWORD message, UINT id) {
  const Icon& icon = g_icons[id];
  return NotifyTrayIcon(g_window, message, id, icon.icon, icon.tip.c_str(), kCallback);
}

// NIM_MODIFY with the fields that 2000 and XP added: NIF_INFO or NIF_STATE alone.
BOOL NotifyLater(UINT id, UINT flags, const std::function<void(NOTIFYICONDATAA&)>& fill,
                 DWORD message = NIM_MODIFY) {
  NOTIFYICONDATAA nid{};
  nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
  nid.hWnd = g_window;
  nid.uID = id;
  nid.uFlags = flags;
  fill(nid);
  return Shell_NotifyIconA(message, &nid);
}

// The version each icon asks for; the shell forgets it when the icon is added again.
std::map<UINT, UINT> g_versions;
void SetVersion(UINT id) {
  const auto v = g_versions.find(id);
  if (v == g_versions.end()) return;
  NotifyLater(
      id, 0, [&](NOTIFYICONDATAA& nid) { nid.uVersion = v->second; }, NIM_SETVERSION);
}

// "FLAGS MS TITLE|TEXT"; the title may be empty.
void ShowBalloon(UINT id, const std::string& args) {
  unsigned long flags = 0, ms = 0;
  int used = 0;
  if (std::sscanf(args.c_str(), "%lu %lu %n", &flags, &ms, &used) < 2) return;
  const std::string words = args.substr(static_cast<std::size_t>(used));
  const auto bar = words.find('|');
  const std::string title = bar == std::string::npos ? std::string() : words.substr(0, bar);
  const std::string text = bar == std::string::npos ? words : words.substr(bar + 1);
  NotifyLater(id, NIF_INFO, [&](NOTIFYICONDATAA& nid) {
    lstrcpynA(nid.szInfoTitle, title.c_str(), sizeof nid.szInfoTitle);
    lstrcpynA(nid.szInfo, text.c_str(), sizeof nid.szInfo);
    nid.uTimeout = static_cast<UINT>(ms);
    nid.dwInfoFlags = static_cast<DWORD>(flags);
  });
}

void SetHidden(UINT id, bool hidden) {
  NotifyLater(id, NIF_STATE, [&](NOTIFYICONDATAA& nid) {
    nid.dwState = hidden ? NIS_HIDDEN : 0;
    nid.dwStateMask = NIS_HIDDEN;
  });
}

// Whether the shell's button of the icon is hidden now: 1 hidden, 0 shown, -1 not found.
long ButtonHidden(UINT id) {
  const HWND toolbar = TrayToolbar();
  if (!toolbar) return -1;
  RemoteMemory remote(toolbar);
  long hidden = -1;
  ForEachTrayButton<TrayRecord>(toolbar, remote, [&](const TBBUTTON& b, const TrayRecord& r) {
    if (r.hwnd == g_window && r.uID == id) hidden = (b.fsState & TBSTATE_HIDDEN) != 0;
  });
  return hidden;
}

void Add(UINT id, const std::string& tip, COLORREF colour) {
  Icon& icon = g_icons[id];
  icon.tip = tip;
  if (icon.icon) DestroyIcon(icon.icon);
  icon.icon = MakeIcon(colour);
  Notify(NIM_ADD, id);
  // As the add returns: hidden already when the library hid it ahead of Corvalet.
  if (!g_log.empty()) Log("added id=%u hidden=%ld\n", id, ButtonHidden(id));
  SetVersion(id);
}

COLORREF ParseColour(const char* hex) {
  const unsigned long v = std::strtoul(hex, nullptr, 16);
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

// "ID:TIP:RRGGBB"; the tip may hold spaces but no colon.
void AddIconArgument(const std::string& arg) {
  const auto a = arg.find(':'), b = arg.rfind(':');
  if (a == std::string::npos || b == a) return;
  Add(static_cast<UINT>(std::atoi(arg.c_str())), arg.substr(a + 1, b - a - 1),
      ParseColour(arg.c_str() + b + 1));
}

void Command(const std::string& text) {
  char verb[16] = {};
  unsigned id = 0;
  int used = 0;
  if (std::sscanf(text.c_str(), "%15s %u %n", verb, &id, &used) < 1) return;
  const std::string rest = used > 0 ? text.substr(static_cast<std::size_t>(used)) : std::string();
  if (std::strcmp(verb, "quit") == 0) {
    DestroyWindow(g_window);
  } else if (std::strcmp(verb, "add") == 0) {
    const auto space = rest.rfind(' ');
    Add(id, rest.substr(0, space), ParseColour(rest.c_str() + space + 1));
  } else if (std::strcmp(verb, "modify") == 0 && g_icons.count(id)) {
    g_icons[id].tip = rest;
    Notify(NIM_MODIFY, id);
  } else if (std::strcmp(verb, "recolour") == 0 && g_icons.count(id)) {
    DestroyIcon(g_icons[id].icon);
    g_icons[id].icon = MakeIcon(ParseColour(rest.c_str()));
    Notify(NIM_MODIFY, id);
  } else if (std::strcmp(verb, "balloon") == 0 && g_icons.count(id)) {
    ShowBalloon(id, rest);
  } else if (std::strcmp(verb, "unballoon") == 0 && g_icons.count(id)) {
    NotifyLater(id, NIF_INFO, [](NOTIFYICONDATAA&) {});
  } else if ((std::strcmp(verb, "hide") == 0 || std::strcmp(verb, "show") == 0) &&
             g_icons.count(id)) {
    SetHidden(id, verb[0] == 'h');
  } else if (std::strcmp(verb, "version") == 0 && g_icons.count(id)) {
    g_versions[id] = static_cast<UINT>(std::atoi(rest.c_str()));
    SetVersion(id);
  } else if (std::strcmp(verb, "delete") == 0 && g_icons.count(id)) {
    Notify(NIM_DELETE, id);
    DestroyIcon(g_icons[id].icon);
    g_icons.erase(id);
  }
}

LRESULT CALLBACK WindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kCallback) {
    Log("callback id=%u mouse=%lx\n", static_cast<UINT>(wp), lp);
    return 0;
  }
  if (msg == g_taskbarCreated && g_taskbarCreated != 0) {
    for (auto& entry : g_icons) {
      Notify(NIM_ADD, entry.first);
      SetVersion(entry.first);
    }
    return 0;
  }
  switch (msg) {
    case WM_COPYDATA: {
      const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      if (cds->dwData != kCommand) return FALSE;
      Command(std::string(static_cast<const char*>(cds->lpData), cds->cbData));
      return TRUE;
    }
    case WM_DESTROY:
      for (auto& entry : g_icons) {
        Notify(NIM_DELETE, entry.first);
        DestroyIcon(entry.second.icon);
      }
      g_icons.clear();
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(w, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  std::string cls = "TrayOwner";
  const char* after = nullptr;
  for (int i = 1; i + 1 < __argc; ++i) {
    if (std::strcmp(__argv[i], "--class") == 0)
      cls = __argv[++i];
    else if (std::strcmp(__argv[i], "--log") == 0)
      g_log = __argv[++i];
    else if (std::strcmp(__argv[i], "--after") == 0)
      after = __argv[++i];
  }
  g_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = cls.c_str();
  RegisterClassA(&wc);
  g_window = CreateWindowExA(0, cls.c_str(), cls.c_str(), WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                             nullptr, instance, nullptr);
  if (after != nullptr) {
    // Manual reset: one signal lets every waiting owner go.
    if (HANDLE go = CreateEventA(nullptr, TRUE, FALSE, after)) {
      WaitForSingleObject(go, 60000);
      CloseHandle(go);
    }
  }
  for (int i = 1; i + 1 < __argc; ++i)
    if (std::strcmp(__argv[i], "--icon") == 0) AddIconArgument(__argv[++i]);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
