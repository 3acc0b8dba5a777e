#pragma once
// The main form's window: class TMainForm, caption "Quillon Corvalet", a fixed dialog frame
// kept off screen with no taskbar button. It renders nothing yet and hands every message the
// core knows to TMainForm.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "app/FormHost.h"
#include "app/TMainForm.h"
#include "registry/PlacementViews.h"
#include "win32/HandleOwner.h"
#include "win32/IconCopies.h"
#include "win32/Win32Desktop.h"
#include "win32/Win32HookLibrary.h"

namespace cvl::win32 {

class MainWindow final : public FormHost {
 public:
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and runs the form's creation and first showing.
  bool Create();

  Hwnd Window() override;
  std::string ExeDirectory() override;
  Hicon ApplicationIcon() override;
  Hicon DisabledIcon() override;
  void HideApplicationButton() override;
  void MoveForm(int left, int top) override;
  void ShowError(const std::string& message) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  HICON SmallIcon(int id);
  void CreateIconList();
  // Shows the core's options list again: rows, captions and pictures.
  void SyncIconList();
  void OnListNotify(const NMHDR* header);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  IconOwner icons_[2];
  HWND listView_ = nullptr;
  ImageListOwner listImages_;
  bool syncPending_ = false;
  bool syncing_ = false;
  IconCopies iconCopies_;
  Win32Desktop desktop_;
  Win32HookLibrary hook_;
  NoViews views_;
  std::unique_ptr<TMainForm> form_;
};

}  // namespace cvl::win32
