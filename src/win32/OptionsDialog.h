#pragma once
// The options dialog's window: the frame from its template (page bar, header, Set default,
// Ok, Cancel) filling the main form's client area, and the three pages as child dialogs laid
// over the page area. Every control shows the main form's dialog state and the icon list's
// model; every user action goes to the form's handler of the same name.
#include <windows.h>

#include <commctrl.h>

#include <array>

#include "app/TMainForm.h"
#include "win32/HandleOwner.h"
#include "win32/IconCopies.h"
#include "win32/IconListView.h"
#include "win32/Window.h"

namespace cvl::win32 {

// A page: it hands its controls' messages to the frame, which handles them all.
class OptionsPage final : public Dialog {
 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class OptionsDialog final : public Dialog {
 public:
  OptionsDialog(TMainForm& form, const IconCopies& copies)
      : form_(form), list_(form.Registry().ListView1, copies) {}

  // The frame over the whole client area of `parent`, with its pages.
  bool Create(HINSTANCE instance, HWND parent, HICON missingPicture);
  // Every control from the state; the icon list's rows only with `rows`.
  void Sync(bool rows = false);
  // The focus on the first control of the current page, as when a dialog opens.
  void FocusFirst();
  // The dialog is being shown: every control gets the settings' values again.
  void Showing() { shownHotKey_ = shownPanelKey_ = -1; }
  // Where the focus was when the form was last deactivated, or the first control.
  void RestoreFocus();
  void RememberFocus();
  // The dialog keys (Tab, arrows, Enter, Esc, Ctrl+Tab between pages) for a queued message.
  bool PreTranslate(MSG& m);

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void PlaceParts();
  void AddHints(HINSTANCE instance);
  void OnCommand(int id, int code);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void EraseBackground(HDC dc);
  void ShowCurrentPage();
  // The minimizer's key: its value, enabled state, note and tooltip; the panel's: value, note.
  void SyncHotKey();
  // The keys the user changed in the two hotkey controls, into the dialog's state.
  void ReadHotKeys();
  TOOLINFOA HotKeyTool() const;
  HWND Item(int id) const;
  HWND Page(int index) const { return pages_[static_cast<std::size_t>(index)].Handle(); }

  TMainForm& form_;
  IconListView list_;
  std::array<OptionsPage, 3> pages_;
  FontOwner headerFont_;
  HWND hints_ = nullptr;  // owned by the frame: destroyed with it
  HWND lastFocus_ = nullptr;
  int shownPage_ = -1;
  // The key last put into the hotkey control: it is put in again only when the settings' value
  // changes, since the control does not tell every change the user makes (a key cleared).
  int shownHotKey_ = -1;
  int shownPanelKey_ = -1;  // the same for the panel's key
  bool syncing_ = false;    // our own changes to the controls are no user's action
};

}  // namespace cvl::win32
