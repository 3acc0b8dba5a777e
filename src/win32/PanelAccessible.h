#pragma once
// The Corvalet Panel as a screen reader sees it: the panel's client area is a tool bar named
// "Corvalet Panel", each cell a button child named by its icon's tip, focusable and, while it
// has the focus mark, focused and selected. The window answers WM_GETOBJECT with it through
// oleacc's LresultFromObject, which Corvalet loads at run time (OleAccLibrary.h).
#include <windows.h>
// windows.h first
#include <oleacc.h>

#include <string>

namespace cvl::win32 {

// What the object reads from the panel's window each time it is asked.
class AccessibleCells {
 public:
  virtual ~AccessibleCells() = default;
  virtual HWND AccessibleWindow() const = 0;
  virtual std::string AccessibleName() const = 0;
  virtual int CellCount() const = 0;
  virtual std::string CellName(int position) const = 0;
  virtual RECT CellScreenRect(int position) const = 0;
  virtual int FocusedPosition() const = 0;  // -1 for none
};

class PanelAccessible final : public IAccessible {
 public:
  explicit PanelAccessible(const AccessibleCells& cells) : cells_(&cells) {}
  // The window goes: clients that still hold the object get "disconnected" from then on.
  void Detach() { cells_ = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch: the object is reached through its IAccessible methods only.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~PanelAccessible() = default;
  // The child a VARIANT names: 0 for the panel itself, 1 to n for its cells, -1 for none.
  int ChildOf(const VARIANT& child) const;

  const AccessibleCells* cells_;
  LONG references_ = 1;
};

}  // namespace cvl::win32
