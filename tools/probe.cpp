// Reads the state of windows for the Wine tests, without passing pointers between processes.
//   probe count CLASS TITLE   prints how many top-level windows have that class and title
//   probe dismiss TITLE       finds a message box with that caption, prints its text, presses OK
//   probe close CLASS TITLE   posts WM_CLOSE to that top-level window
//   probe send CLASS TEXT     sends TEXT as a command to the window of class CLASS
//   probe dump                asks the stand-in taskbar to write its state file
//   probe subclass            asks the stand-in taskbar to subclass its windows on top of all
//   probe child A B [C ...]   the window of class B under the top-level window of class A (and C
//                             under that, and so on): prints "text=T visible=V rect=L T R B"
//                             (screen)
//   probe window CLASS TITLE  the same for a top-level window
//   probe children A B        prints how many windows of class B the top-level window of class A
//                             has as direct children
//   probe broadcast           announces the taskbar to every top-level window ("TaskbarCreated"),
//                             as the shell does when it starts
//   probe at X Y              prints the class of the window at that screen point
//   probe menu                prints the screen rectangle of an open popup menu: L T R B
//   probe atom TEXT           prints 1 when a global atom named TEXT exists, else 0
//   probe atoms PREFIX        prints how many global atoms have names that begin with PREFIX
//   probe signal EVENT        sets the named event that trayowner.exe --after EVENT waits for
//   probe iswindow HEX        prints 1 when the window with that handle (hex) exists, else 0
//   probe notifydelete HEX ID removes the tray icon of window HEX (hex) with that ID as any
//                             process may (Shell_NotifyIcon NIM_DELETE); exit code 0 when the
//                             shell took it
//   probe rows                prints Corvalet's icon list: "row I image=N text=TIP" per row
//   probe showform X Y        moves Corvalet's main form on screen at X, Y
//   probe iconrect ROW        prints the screen rectangle of that row's picture: L T R B
//   probe hwnd CLASS          prints the handle of the top-level window of class CLASS, in hex
//   probe version             what GetVersionExA tells a program: "platform=P major=M minor=N"
//   probe buttonswitch on|off sends THM_BUTTONSWITCH to the notification area
//   probe endsession          sends WM_ENDSESSION (the session ends) to Corvalet's main form
//   probe list                prints class and title of every visible top-level window
//   probe handles             a counting build's live handles: "icons=N gdi=N imagelists=N
//                             menus=N dcs=N screendcs=N hooks=N atoms=N kernel=N"
//   probe focus               the window with the keyboard focus in Corvalet: "class=C id=N"
//   probe metrics             "dpi=N smicon=W,H": the screen's resolution and the small icon's size
//   probe layout              every labelled control of Corvalet's main form, page by page, with
//                             what is wrong with it: "bad ID clipped" (its text needs more room
//                             than it has), "bad ID outside" (it reaches past its dialog), "bad
//                             ID overlaps ID2" (it shares pixels with a sibling); then "controls N"
//   probe textwidth FACE HEIGHT TEXT  the width of TEXT in bold FACE of HEIGHT pixels
//   probe workarea            the work area as a program sees it (SPI_GETWORKAREA): L T R B
//   probe displayreset        resets the display to its settings (ChangeDisplaySettingsEx with
//                             none), after which Wine reads the screen and its work area anew
//   probe control ID          the control with that ID anywhere in Corvalet's main form:
//                             "text=T visible=V enabled=E checked=C rect=L T R B" (screen)
// Exit code 0 on success, 1 when nothing was found, 2 on bad arguments.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include "RemoteMemory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "StandInCommands.h"
#include "shell/HookProtocol.h"
#include "win32/HandleOwner.h"

namespace {

// Prints a window's text, visibility and screen rectangle; 1 when there is no window.
int Describe(HWND w) {
  RECT r{};
  if (w == nullptr || !::GetWindowRect(w, &r)) return 1;
  char text[256] = {};
  ::GetWindowTextA(w, text, sizeof text);
  std::printf("text=%s visible=%d rect=%ld %ld %ld %ld\n", text, ::IsWindowVisible(w) ? 1 : 0,
              r.left, r.top, r.right, r.bottom);
  return 0;
}

struct Match {
  const char* className;
  const char* title;
  int count;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM param) {
  auto* m = reinterpret_cast<Match*>(param);
  char cls[256] = {}, title[256] = {};
  ::GetClassNameA(window, cls, sizeof cls);
  ::GetWindowTextA(window, title, sizeof title);
  if (std::strcmp(cls, m->className) == 0 && std::strcmp(title, m->title) == 0) ++m->count;
  return TRUE;
}

BOOL CALLBACK ListWindow(HWND window, LPARAM) {
  if (!::IsWindowVisible(window)) return TRUE;
  char cls[256] = {}, title[256] = {};
  ::GetClassNameA(window, cls, sizeof cls);
  ::GetWindowTextA(window, title, sizeof title);
  std::printf("%s|%s\n", cls, title);
  return TRUE;
}

struct Search {
  const char* className;  // or nullptr
  int id;                 // when no class is given
  HWND found;
};

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  char cls[128] = {};
  ::GetClassNameA(window, cls, sizeof cls);
  const bool match = s->className != nullptr ? std::strcmp(cls, s->className) == 0
                                             : ::GetDlgCtrlID(window) == s->id;
  if (!match) return TRUE;
  s->found = window;
  return FALSE;
}

// A window anywhere under Corvalet's main form: its pages are dialogs inside a dialog.
HWND InMainForm(const char* className, int id) {
  HWND form = ::FindWindowA(cvl::kMainFormClass, cvl::kMainFormCaption);
  Search s{className, id, nullptr};
  if (form) ::EnumChildWindows(form, &FindChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND IconList() {
  return InMainForm(WC_LISTVIEWA, 0);
}

int DescribeControl(HWND w) {
  RECT r{};
  if (w == nullptr || !::GetWindowRect(w, &r)) return 1;
  char text[256] = {};
  ::GetWindowTextA(w, text, sizeof text);
  std::printf("text=%s visible=%d enabled=%d checked=%d rect=%ld %ld %ld %ld\n", text,
              ::IsWindowVisible(w) ? 1 : 0, ::IsWindowEnabled(w) ? 1 : 0,
              static_cast<int>(::SendMessageA(w, BM_GETCHECK, 0, 0)), r.left, r.top, r.right,
              r.bottom);
  return 0;
}

// The room a control's caption needs in its own font: the caption's width plus what the control
// draws beside it, and the lines it takes when it wraps in the control's width.
struct Need {
  int width;
  int height;
};

Need CaptionNeed(HWND w, const char* text, LONG style, const char* cls) {
  RECT client{};
  ::GetClientRect(w, &client);
  HDC dc = ::GetDC(w);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(w, WM_GETFONT, 0, 0)));
  const bool button = std::strcmp(cls, "Button") == 0;
  const int kind = style & BS_TYPEMASK;
  const bool wraps = !button && !(style & SS_LEFTNOWORDWRAP) && (style & SS_TYPEMASK) <= SS_RIGHT;
  Need need{};
  if (wraps) {
    RECT r{0, 0, client.right, 0};
    ::DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    need = {r.right, r.bottom};
  } else {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    need = {size.cx, size.cy};
    if (button && (kind == BS_AUTORADIOBUTTON || kind == BS_RADIOBUTTON ||
                   kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX))
      need.width += ::GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box or circle and its gap
    else if (button && kind == BS_GROUPBOX)
      need.width += 16;  // the frame's corner on each side of the caption
    else if (button)
      need.width += 4;  // a push button's edges
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(w, dc);
  return need;
}

struct LaidOut {
  HWND window;
  HWND parent;
  RECT rect;  // screen
  bool group;
};

BOOL CALLBACK CollectControl(HWND w, LPARAM param) {
  auto* all = reinterpret_cast<std::vector<LaidOut>*>(param);
  char cls[64] = {};
  ::GetClassNameA(w, cls, sizeof cls);
  if (std::strcmp(cls, "#32770") == 0 || std::strcmp(cls, WC_HEADERA) == 0) return TRUE;
  RECT r{};
  ::GetWindowRect(w, &r);
  const LONG style = ::GetWindowLongA(w, GWL_STYLE);
  const bool group = std::strcmp(cls, "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX;
  all->push_back({w, ::GetParent(w), r, group});
  return TRUE;
}

bool UpDownOf(HWND buddy, HWND w) {
  char cls[64] = {};
  ::GetClassNameA(w, cls, sizeof cls);
  return std::strcmp(cls, UPDOWN_CLASSA) == 0 &&
         ::SendMessageA(w, UDM_GETBUDDY, 0, 0) == reinterpret_cast<LRESULT>(buddy);
}

int Layout() {
  HWND form = ::FindWindowA(cvl::kMainFormClass, cvl::kMainFormCaption);
  if (form == nullptr) return 1;
  std::vector<LaidOut> all;
  ::EnumChildWindows(form, &CollectControl, reinterpret_cast<LPARAM>(&all));
  for (const LaidOut& c : all) {
    const int id = ::GetDlgCtrlID(c.window);
    char cls[64] = {}, text[256] = {};
    ::GetClassNameA(c.window, cls, sizeof cls);
    ::GetWindowTextA(c.window, text, sizeof text);
    const LONG style = ::GetWindowLongA(c.window, GWL_STYLE);
    const bool labelled = (std::strcmp(cls, "Button") == 0 || std::strcmp(cls, "Static") == 0) &&
                          text[0] != '\0' && (style & BS_TYPEMASK) != BS_OWNERDRAW;
    if (labelled) {
      RECT client{};
      ::GetClientRect(c.window, &client);
      const Need need = CaptionNeed(c.window, text, style, cls);
      if (need.width > client.right || need.height > client.bottom)
        std::printf("bad %d clipped: \"%s\" needs %dx%d, has %ldx%ld\n", id, text, need.width,
                    need.height, client.right, client.bottom);
    }
    RECT parent{};
    ::GetClientRect(c.parent, &parent);
    ::MapWindowPoints(c.parent, nullptr, reinterpret_cast<POINT*>(&parent), 2);
    RECT inside{};
    ::IntersectRect(&inside, &c.rect, &parent);
    if (!::EqualRect(&inside, &c.rect))
      std::printf("bad %d outside: %ld %ld %ld %ld beyond %ld %ld %ld %ld\n", id, c.rect.left,
                  c.rect.top, c.rect.right, c.rect.bottom, parent.left, parent.top, parent.right,
                  parent.bottom);
    for (const LaidOut& d : all) {
      RECT common{};
      // A group box frames its controls; an up-down control stands against its edit box.
      if (&d <= &c || d.parent != c.parent || c.group || d.group) continue;
      if (UpDownOf(c.window, d.window) || UpDownOf(d.window, c.window)) continue;
      if (::IntersectRect(&common, &c.rect, &d.rect))
        std::printf("bad %d overlaps %d\n", id, ::GetDlgCtrlID(d.window));
    }
  }
  std::printf("controls %d\n", static_cast<int>(all.size()));
  return 0;
}

int Rows() {
  HWND list = IconList();
  if (!list) return 1;
  RemoteMemory remote(list);
  if (!remote.base) return 1;
  const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = i;
    item.pszText = remote.base + 512;
    item.cchTextMax = 512;
    remote.Write(&item, sizeof item);
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.base));
    char text[513] = {};
    remote.Read(&item, sizeof item);
    remote.Read(text, 512, 512);
    std::printf("row %d image=%d text=%s\n", i, item.iImage, text);
  }
  return 0;
}

int IconRect(int row) {
  HWND list = IconList();
  if (!list) return 1;
  RemoteMemory remote(list);
  RECT r{LVIR_ICON, 0, 0, 0};
  if (!remote.base || !remote.Write(&r, sizeof r)) return 1;
  if (!::SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.base))) return 1;
  remote.Read(&r, sizeof r);
  ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "count") == 0) {
    Match m{argv[2], argv[3], 0};
    ::EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&m));
    std::printf("%d\n", m.count);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "dismiss") == 0) {
    HWND box = ::FindWindowA("#32770", argv[2]);
    if (box == nullptr) return 1;
    char text[1024] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    for (char* p = text; *p; ++p) std::putchar(*p == '\r' ? '|' : (*p == '\n' ? '|' : *p));
    std::putchar('\n');
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "close") == 0) {
    HWND window = ::FindWindowA(argv[2], argv[3]);
    if (window == nullptr) return 1;
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "send") == 0) {
    HWND window = ::FindWindowA(argv[2], nullptr);
    if (window == nullptr) return 1;
    COPYDATASTRUCT cds{0x7A7A, static_cast<DWORD>(std::strlen(argv[3])), argv[3]};
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                                 SMTO_ABORTIFHUNG, 5000, &result) &&
                   result
               ? 0
               : 1;
  }
  if (argc == 2 && std::strcmp(argv[1], "dump") == 0) {
    // The topmost Shell_TrayWnd is the stand-in's, ahead of Wine's own hidden one.
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    DWORD_PTR result = 0;
    return taskbar &&
                   ::SendMessageTimeoutA(taskbar, standin::kDumpState, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                         &result) &&
                   result
               ? 0
               : 1;
  }
  if (argc >= 4 && std::strcmp(argv[1], "child") == 0) {
    HWND w = ::FindWindowA(argv[2], nullptr);
    for (int i = 3; i < argc && w != nullptr; ++i)
      w = ::FindWindowExA(w, nullptr, argv[i], nullptr);
    return Describe(w);
  }
  if (argc == 4 && std::strcmp(argv[1], "window") == 0)
    return Describe(::FindWindowA(argv[2], argv[3]));
  if (argc == 4 && std::strcmp(argv[1], "children") == 0) {
    HWND parent = ::FindWindowA(argv[2], nullptr);
    int n = 0;
    for (HWND c = nullptr; parent != nullptr && (c = ::FindWindowExA(parent, c, argv[3], nullptr));)
      ++n;
    std::printf("%d\n", n);
    return parent != nullptr ? 0 : 1;
  }
  if (argc == 2 && std::strcmp(argv[1], "broadcast") == 0)
    return ::SendNotifyMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0)
               ? 0
               : 1;
  if (argc == 4 && std::strcmp(argv[1], "at") == 0) {
    const POINT p{std::atoi(argv[2]), std::atoi(argv[3])};
    HWND w = ::WindowFromPoint(p);
    char cls[128] = {};
    if (w == nullptr || !::GetClassNameA(w, cls, sizeof cls)) return 1;
    std::printf("%s\n", cls);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "menu") == 0) {
    HWND menu = ::FindWindowA("#32768", nullptr);
    RECT r{};
    if (menu == nullptr || !::IsWindowVisible(menu) || !::GetWindowRect(menu, &r)) return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "subclass") == 0) {
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    DWORD_PTR result = 0;
    return taskbar &&
                   ::SendMessageTimeoutA(taskbar, standin::kSubclassOnTop, 0, 0, SMTO_ABORTIFHUNG,
                                         5000, &result) &&
                   result
               ? 0
               : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "atom") == 0) {
    std::printf("%d\n", ::GlobalFindAtomA(argv[2]) != 0 ? 1 : 0);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "atoms") == 0) {
    // String atoms are numbered from 0xC000 up; each one alive answers with its name.
    const std::size_t length = std::strlen(argv[2]);
    int count = 0;
    for (UINT atom = 0xC000; atom <= 0xFFFF; ++atom) {
      char name[256];
      if (::GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name) > 0 &&
          std::strncmp(name, argv[2], length) == 0)
        ++count;
    }
    std::printf("%d\n", count);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "iswindow") == 0) {
    const auto handle = static_cast<UINT_PTR>(std::strtoul(argv[2], nullptr, 16));
    std::printf("%d\n", ::IsWindow(reinterpret_cast<HWND>(handle)) ? 1 : 0);
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "notifydelete") == 0) {
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(argv[2], nullptr, 16)));
    nid.uID = static_cast<UINT>(std::atoi(argv[3]));
    return ::Shell_NotifyIconA(NIM_DELETE, &nid) ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "signal") == 0) {
    HANDLE go = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (go == nullptr) return 1;
    const BOOL set = ::SetEvent(go);
    ::CloseHandle(go);
    return set ? 0 : 1;
  }
  if (argc == 2 && std::strcmp(argv[1], "rows") == 0) return Rows();
  if (argc == 2 && std::strcmp(argv[1], "endsession") == 0) {
    HWND form = ::FindWindowA(cvl::kMainFormClass, cvl::kMainFormCaption);
    DWORD_PTR result = 0;
    return form && ::SendMessageTimeoutA(form, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000,
                                         &result)
               ? 0
               : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "hwnd") == 0) {
    HWND window = ::FindWindowA(argv[2], nullptr);
    std::printf("%lx\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return window ? 0 : 1;
  }
  if (argc == 2 && std::strcmp(argv[1], "version") == 0) {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    if (!::GetVersionExA(&v)) return 1;
    std::printf("platform=%lu major=%lu minor=%lu\n", v.dwPlatformId, v.dwMajorVersion,
                v.dwMinorVersion);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "buttonswitch") == 0) {
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    HWND notify = taskbar ? ::FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr) : nullptr;
    DWORD_PTR result = 0;
    const LPARAM value = std::strcmp(argv[2], "on") == 0 ? cvl::THM_ON : cvl::THM_OFF;
    return notify && ::SendMessageTimeoutA(notify, cvl::THM_BUTTONSWITCH, 0, value,
                                           SMTO_ABORTIFHUNG, 5000, &result)
               ? 0
               : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "iconrect") == 0) return IconRect(std::atoi(argv[2]));
  if (argc == 4 && std::strcmp(argv[1], "showform") == 0) {
    HWND form = ::FindWindowA(cvl::kMainFormClass, cvl::kMainFormCaption);
    if (!form) return 1;
    ::SetWindowPos(form, HWND_TOPMOST, std::atoi(argv[2]), std::atoi(argv[3]), 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "focus") == 0) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND form = ::FindWindowA(cvl::kMainFormClass, cvl::kMainFormCaption);
    const DWORD thread = form ? ::GetWindowThreadProcessId(form, nullptr) : 0;
    if (!::GetGUIThreadInfo(thread, &info)) return 1;
    if (info.hwndFocus == nullptr) {
      std::printf("none active=%p\n", static_cast<void*>(info.hwndActive));
      return 0;
    }
    char cls[128] = {};
    ::GetClassNameA(info.hwndFocus, cls, sizeof cls);
    std::printf("class=%s id=%d\n", cls, ::GetDlgCtrlID(info.hwndFocus));
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "handles") == 0) {
    HWND form = ::FindWindowA(cvl::kMainFormClass, cvl::kMainFormCaption);
    const UINT message = ::RegisterWindowMessageA(cvl::win32::kHandleCountMessage);
    const char* names[] = {"icons",     "gdi",   "imagelists", "menus", "dcs",
                           "screendcs", "hooks", "atoms",      "kernel"};
    for (int kind = 0; kind < cvl::win32::kHandleKindCount; ++kind) {
      DWORD_PTR count = 0;
      if (!form || !::SendMessageTimeoutA(form, message, kind, 0, SMTO_ABORTIFHUNG, 5000, &count))
        return 1;
      std::printf("%s%s=%d", kind ? " " : "", names[kind], static_cast<int>(count));
    }
    std::printf("\n");
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "control") == 0)
    return DescribeControl(InMainForm(nullptr, std::atoi(argv[2])));
  if (argc == 2 && std::strcmp(argv[1], "layout") == 0) return Layout();
  if (argc == 2 && std::strcmp(argv[1], "metrics") == 0) {
    HDC screen = ::GetDC(nullptr);
    std::printf("dpi=%d smicon=%d,%d\n", ::GetDeviceCaps(screen, LOGPIXELSY),
                ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON));
    ::ReleaseDC(nullptr, screen);
    return 0;
  }
  if (argc == 5 && std::strcmp(argv[1], "textwidth") == 0) {
    HDC screen = ::GetDC(nullptr);
    HFONT font = ::CreateFontA(std::atoi(argv[3]), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                               0, 0, argv[2]);
    HGDIOBJ old = ::SelectObject(screen, font);
    SIZE size{};
    ::GetTextExtentPoint32A(screen, argv[4], static_cast<int>(std::strlen(argv[4])), &size);
    ::SelectObject(screen, old);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, screen);
    std::printf("%ld\n", size.cx);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "workarea") == 0) {
    RECT r{};
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "displayreset") == 0)
    return ::ChangeDisplaySettingsExA(nullptr, nullptr, nullptr, 0, nullptr) ==
                   DISP_CHANGE_SUCCESSFUL
               ? 0
               : 1;
  if (argc == 2 && std::strcmp(argv[1], "list") == 0) {
    ::EnumWindows(&ListWindow, 0);
    return 0;
  }
  std::fprintf(
      stderr,
      "usage: probe count CLASS TITLE | dismiss TITLE | close CLASS TITLE | send CLASS "
      "TEXT | dump | atom TEXT | atoms PREFIX | signal EVENT | iswindow HEX | notifydelete HEX ID "
      "| rows | showform X Y | iconrect ROW | hwnd CLASS | "
      "buttonswitch on|off | subclass | child A B [C] | window CLASS TITLE | at X Y | menu | "
      "list | control ID | handles | focus | workarea | displayreset | layout | metrics | "
      "textwidth FACE HEIGHT TEXT\n");
  return 2;
}
