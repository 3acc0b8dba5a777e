// accprobe.exe: reads the names a screen reader reads, as a screen reader does.
//
//   accprobe.exe panel   the Corvalet Panel through oleacc (AccessibleObjectFromWindow):
//                        "panel name=N role=R", then "cell K name=N state=S" per child
//   accprobe.exe menu    the open popup menu's owner-drawn entries, their names read from the
//                        MSAAMENUINFO at the start of each entry's item data in the menu's
//                        process, as oleacc's menu proxy reads them: "entry K name=N", "-" for
//                        an entry without one
//   accprobe.exe button  the button near the clock through oleacc: "button name=N role=R"
//   accprobe.exe shellkey select|menu
//                        what the shell posts Corvalet's own icon (version 3) for the keyboard's
//                        Enter (NIN_KEYSELECT) or its shortcut-menu key (WM_CONTEXTMENU)
//   accprobe.exe foreground   the class of the foreground window
// Exit code 1 when the window or the object is not there.
#include <windows.h>
// windows.h first
#include <oleacc.h>

#include <cstddef>
#include <cstdio>
#include <string>

namespace {

std::string Narrow(const wchar_t* text, int length = -1) {
  if (text == nullptr) return {};
  char buffer[512] = {};
  const int n =
      WideCharToMultiByte(CP_ACP, 0, text, length, buffer, sizeof buffer - 1, nullptr, nullptr);
  return std::string(buffer, n > 0 && length < 0 ? static_cast<std::size_t>(n - 1)
                                                 : static_cast<std::size_t>(n > 0 ? n : 0));
}

std::string NameOf(IAccessible* object, LONG child) {
  VARIANT id;
  id.vt = VT_I4;
  id.lVal = child;
  BSTR name = nullptr;
  if (FAILED(object->get_accName(id, &name)) || name == nullptr) return "<none>";
  const std::string text = Narrow(name);
  SysFreeString(name);
  return text;
}

LONG Number(IAccessible* object, LONG child, bool state) {
  VARIANT id, value;
  id.vt = VT_I4;
  id.lVal = child;
  VariantInit(&value);
  const HRESULT hr = state ? object->get_accState(id, &value) : object->get_accRole(id, &value);
  return SUCCEEDED(hr) && value.vt == VT_I4 ? value.lVal : -1;
}

int Panel() {
  const HWND panel = FindWindowA("THint", nullptr);
  if (panel == nullptr) return 1;
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(panel, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object))) ||
      object == nullptr)
    return 1;
  LONG count = 0;
  object->get_accChildCount(&count);
  std::printf("panel name=%s role=%ld cells=%ld\n", NameOf(object, CHILDID_SELF).c_str(),
              Number(object, CHILDID_SELF, false), count);
  for (LONG i = 1; i <= count; ++i)
    std::printf("cell %ld name=%s role=%ld state=%lx\n", i, NameOf(object, i).c_str(),
                Number(object, i, false), Number(object, i, true));
  object->Release();
  return 0;
}

int Button() {
  const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  const HWND button = taskbar ? FindWindowExA(taskbar, nullptr, "QLTrayButton", nullptr) : nullptr;
  IAccessible* object = nullptr;
  if (button == nullptr) return 1;
  const HRESULT hr = AccessibleObjectFromWindow(button, static_cast<DWORD>(OBJID_CLIENT),
                                                IID_IAccessible, reinterpret_cast<void**>(&object));
  if (FAILED(hr) || object == nullptr) {
    std::fprintf(stderr, "no object: %lx\n", static_cast<unsigned long>(hr));
    return 1;
  }
  std::printf("button name=%s role=%ld\n", NameOf(object, CHILDID_SELF).c_str(),
              Number(object, CHILDID_SELF, false));
  object->Release();
  return 0;
}

int Menu() {
  const HWND window = FindWindowA("#32768", nullptr);
  if (window == nullptr || !IsWindowVisible(window)) return 1;
  const auto menu = reinterpret_cast<HMENU>(SendMessageA(window, 0x01E1, 0, 0));  // MN_GETHMENU
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_READ, FALSE, pid);
  if (menu == nullptr || process == nullptr) return 1;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOA item{};
    item.cbSize = offsetof(MENUITEMINFOA, hbmpItem);  // the size every version takes
    item.fMask = MIIM_DATA;
    MSAAMENUINFO info{};
    SIZE_T got = 0;
    std::string name = "-";
    if (GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item) && item.dwItemData != 0 &&
        ReadProcessMemory(process, reinterpret_cast<void*>(item.dwItemData), &info, sizeof info,
                          &got) &&
        info.dwMSAASignature == static_cast<DWORD>(MSAA_MENU_SIG) && info.cchWText > 0 &&
        info.cchWText < 256) {
      wchar_t text[256] = {};
      if (ReadProcessMemory(process, info.pszWText, text, info.cchWText * sizeof(wchar_t), &got))
        name = Narrow(text, static_cast<int>(info.cchWText));
    }
    std::printf("entry %d name=%s\n", i, name.c_str());
  }
  CloseHandle(process);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  int result = 2;
  if (argc == 2 && std::string(argv[1]) == "panel") result = Panel();
  if (argc == 2 && std::string(argv[1]) == "menu") result = Menu();
  if (argc == 2 && std::string(argv[1]) == "button") result = Button();
  if (argc == 3 && std::string(argv[1]) == "shellkey") {
    const HWND form = FindWindowA("TMainForm", "Quillon Corvalet");
    const LPARAM what = std::string(argv[2]) == "select" ? WM_USER + 1 : WM_CONTEXTMENU;
    result = form != nullptr && PostMessageA(form, WM_APP + 1, 1, what) ? 0 : 1;
  }
  if (argc == 2 && std::string(argv[1]) == "foreground") {
    char cls[128] = {};
    GetClassNameA(GetForegroundWindow(), cls, sizeof cls);
    std::printf("%s\n", cls);
    result = 0;
  }
  CoUninitialize();
  return result;
}
