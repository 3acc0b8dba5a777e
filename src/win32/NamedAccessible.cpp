#include "win32/NamedAccessible.h"

#include "win32/OleAccLibrary.h"

namespace cvl::win32 {

LRESULT NamedAccessible::Answer(HWND window, WPARAM wParam, LPARAM lParam, const std::string& name,
                                WNDPROC standard) {
  OleAccLibrary& ole = OleAccLibrary::Get();
  // One object per button, kept while the button lives: clients that asked before still hold
  // it, and an object must not go while its answer is on its way.
  static NamedAccessible* kept = nullptr;
  static HWND keptFor = nullptr;
  if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT) && ole.Available()) {
    if (keptFor != window) {
      if (kept != nullptr) kept->Release();
      kept = nullptr;
      keptFor = nullptr;
      IAccessible* inner = nullptr;
      if (SUCCEEDED(ole.CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                                  reinterpret_cast<void**>(&inner))) &&
          inner != nullptr) {
        kept = new NamedAccessible(inner, name);
        keptFor = window;
      }
    }
    if (kept != nullptr) {
      kept->name_ = name;  // in the language of the moment
      return ole.LresultFromObject(__uuidof(IAccessible), wParam, kept);
    }
  }
  return standard != nullptr ? ::CallWindowProcA(standard, window, WM_GETOBJECT, wParam, lParam)
                             : ::DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
}

HRESULT NamedAccessible::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  // Other interfaces would be the inner object's, with another identity than this one's.
  return E_NOINTERFACE;
}

ULONG NamedAccessible::Release() {
  const LONG left = --references_;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT NamedAccessible::get_accName(VARIANT child, BSTR* name) {
  if (name == nullptr) return E_POINTER;
  if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return inner_->get_accName(child, name);
  OleAccLibrary& ole = OleAccLibrary::Get();
  std::wstring wide(name_.size() + 1, L'\0');
  const int n = ::MultiByteToWideChar(CP_ACP, 0, name_.c_str(), -1, wide.data(),
                                      static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n) - 1 : 0);
  *name = ole.SysAllocString != nullptr ? ole.SysAllocString(wide.c_str()) : nullptr;
  return *name != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace cvl::win32
