#include "win32/PanelAccessible.h"

#include "win32/OleAccLibrary.h"

namespace cvl::win32 {

namespace {

BSTR Text(const std::string& text) {
  OleAccLibrary& ole = OleAccLibrary::Get();
  if (ole.SysAllocString == nullptr) return nullptr;
  std::wstring wide(text.size() + 1, L'\0');
  const int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(),
                                      static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n) - 1 : 0);
  return ole.SysAllocString(wide.c_str());
}

void Child(VARIANT* v, LONG id) {
  v->vt = VT_I4;
  v->lVal = id;
}

}  // namespace

HRESULT PanelAccessible::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible))
    *object = static_cast<IAccessible*>(this);
  if (*object == nullptr) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG PanelAccessible::Release() {
  const LONG left = --references_;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT PanelAccessible::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

int PanelAccessible::ChildOf(const VARIANT& child) const {
  if (cells_ == nullptr || child.vt != VT_I4) return -1;
  return child.lVal >= 0 && child.lVal <= cells_->CellCount() ? child.lVal : -1;
}

HRESULT PanelAccessible::get_accParent(IDispatch** parent) {
  if (parent == nullptr) return E_POINTER;
  *parent = nullptr;
  if (cells_ == nullptr) return CO_E_OBJNOTCONNECTED;
  OleAccLibrary& ole = OleAccLibrary::Get();
  if (ole.CreateStdAccessibleObject == nullptr) return S_FALSE;
  return ole.CreateStdAccessibleObject(cells_->AccessibleWindow(), OBJID_WINDOW,
                                       __uuidof(IDispatch), reinterpret_cast<void**>(parent));
}

HRESULT PanelAccessible::get_accChildCount(LONG* count) {
  if (count == nullptr) return E_POINTER;
  if (cells_ == nullptr) return CO_E_OBJNOTCONNECTED;
  *count = cells_->CellCount();
  return S_OK;
}

HRESULT PanelAccessible::get_accChild(VARIANT child, IDispatch** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  // The cells are simple elements, known by their child ID alone.
  return ChildOf(child) < 0 ? E_INVALIDARG : S_FALSE;
}

HRESULT PanelAccessible::get_accName(VARIANT child, BSTR* name) {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  const int id = ChildOf(child);
  if (id < 0) return cells_ == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
  *name = Text(id == 0 ? cells_->AccessibleName() : cells_->CellName(id - 1));
  return *name != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT PanelAccessible::get_accValue(VARIANT, BSTR* value) {
  if (value != nullptr) *value = nullptr;
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT PanelAccessible::get_accDescription(VARIANT, BSTR* text) {
  if (text != nullptr) *text = nullptr;
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT PanelAccessible::get_accRole(VARIANT child, VARIANT* role) {
  if (role == nullptr) return E_POINTER;
  const int id = ChildOf(child);
  if (id < 0) return cells_ == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
  // As the tray's own icons are: buttons of a tool bar.
  Child(role, id == 0 ? ROLE_SYSTEM_TOOLBAR : ROLE_SYSTEM_PUSHBUTTON);
  return S_OK;
}

HRESULT PanelAccessible::get_accState(VARIANT child, VARIANT* state) {
  if (state == nullptr) return E_POINTER;
  const int id = ChildOf(child);
  if (id < 0) return cells_ == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
  const HWND window = cells_->AccessibleWindow();
  LONG flags = 0;
  if (id == 0) {
    if (!::IsWindowVisible(window)) flags |= STATE_SYSTEM_INVISIBLE;
    if (::GetFocus() == window && cells_->FocusedPosition() < 0) flags |= STATE_SYSTEM_FOCUSED;
  } else {
    flags = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
    if (cells_->FocusedPosition() == id - 1) {
      flags |= STATE_SYSTEM_SELECTED;
      if (::GetFocus() == window) flags |= STATE_SYSTEM_FOCUSED;
    }
  }
  Child(state, flags);
  return S_OK;
}

HRESULT PanelAccessible::get_accHelp(VARIANT, BSTR* text) {
  if (text != nullptr) *text = nullptr;
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT PanelAccessible::get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) {
  if (file != nullptr) *file = nullptr;
  if (topic != nullptr) *topic = -1;
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT PanelAccessible::get_accKeyboardShortcut(VARIANT, BSTR* text) {
  if (text != nullptr) *text = nullptr;
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT PanelAccessible::get_accFocus(VARIANT* child) {
  if (child == nullptr) return E_POINTER;
  child->vt = VT_EMPTY;
  if (cells_ == nullptr) return CO_E_OBJNOTCONNECTED;
  if (::GetFocus() != cells_->AccessibleWindow()) return S_FALSE;
  Child(child, cells_->FocusedPosition() + 1);  // the panel itself where no cell has it
  return S_OK;
}

HRESULT PanelAccessible::get_accSelection(VARIANT* children) {
  if (children == nullptr) return E_POINTER;
  children->vt = VT_EMPTY;
  if (cells_ == nullptr) return CO_E_OBJNOTCONNECTED;
  if (cells_->FocusedPosition() < 0) return S_FALSE;
  Child(children, cells_->FocusedPosition() + 1);
  return S_OK;
}

HRESULT PanelAccessible::get_accDefaultAction(VARIANT, BSTR* text) {
  if (text != nullptr) *text = nullptr;
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT PanelAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                     VARIANT child) {
  if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
  const int id = ChildOf(child);
  if (id < 0) return cells_ == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
  RECT r{};
  if (id == 0) {
    ::GetClientRect(cells_->AccessibleWindow(), &r);
    ::MapWindowPoints(cells_->AccessibleWindow(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  } else {
    r = cells_->CellScreenRect(id - 1);
  }
  *left = r.left;
  *top = r.top;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return S_OK;
}

HRESULT PanelAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
  if (end == nullptr) return E_POINTER;
  end->vt = VT_EMPTY;
  const int id = ChildOf(start);
  if (id < 0) return cells_ == nullptr ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
  const int count = cells_->CellCount();
  int to = 0;
  if (direction == NAVDIR_FIRSTCHILD && id == 0) to = 1;
  if (direction == NAVDIR_LASTCHILD && id == 0) to = count;
  if ((direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT) && id > 0) to = id + 1;
  if ((direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT) && id > 0) to = id - 1;
  if (to < 1 || to > count) return S_FALSE;
  Child(end, to);
  return S_OK;
}

HRESULT PanelAccessible::accHitTest(LONG x, LONG y, VARIANT* child) {
  if (child == nullptr) return E_POINTER;
  child->vt = VT_EMPTY;
  if (cells_ == nullptr) return CO_E_OBJNOTCONNECTED;
  const POINT p{x, y};
  for (int i = 0; i < cells_->CellCount(); ++i) {
    const RECT r = cells_->CellScreenRect(i);
    if (::PtInRect(&r, p)) {
      Child(child, i + 1);
      return S_OK;
    }
  }
  RECT client{};
  ::GetClientRect(cells_->AccessibleWindow(), &client);
  ::MapWindowPoints(cells_->AccessibleWindow(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  if (!::PtInRect(&client, p)) return S_FALSE;
  Child(child, CHILDID_SELF);
  return S_OK;
}

}  // namespace cvl::win32
