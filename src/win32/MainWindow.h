#pragma once
// The main form's window: class TMainForm, caption "Quillon Corvalet", a fixed dialog frame
// without title-bar buttons, owned by a hidden application window so that it has no taskbar
// button. Its client area is the options dialog; it hands every message the core knows to
// TMainForm.
#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "app/FormHost.h"
#include "app/TMainForm.h"
#include "registry/PlacementViews.h"
#include "win32/AboutBox.h"
#include "win32/HandleOwner.h"
#include "win32/HtmlHelpViewer.h"
#include "win32/IconCopies.h"
#include "win32/MinimizerWindow.h"
#include "win32/OptionsDialog.h"
#include "win32/PanelForm.h"
#include "win32/TrayMenuWindow.h"
#include "win32/Win32ButtonWindows.h"
#include "win32/Win32CaptionIcons.h"
#include "win32/Win32Desktop.h"
#include "win32/Win32HookLibrary.h"
#include "win32/Window.h"

namespace cvl::win32 {

class MainWindow final : public Window, public FormHost {
 public:
  explicit MainWindow(HINSTANCE instance)
      : instance_(instance),
        panelForm_(instance, iconCopies_),
        hint_(desktop_, panelForm_),
        buttons_(instance) {}

  // Creates the window and runs the form's creation and first showing.
  bool Create();
  // The help window's and the options dialog's keys; true when the message was used.
  bool PreTranslate(MSG& m) {
    return help_.PreTranslate(m) || (options_ && options_->PreTranslate(m));
  }

  Hwnd Window() override;
  std::string ExeDirectory() override;
  Hicon ApplicationIcon() override;
  Hicon DisabledIcon() override;
  void HideApplicationButton() override;
  void MoveForm(int left, int top) override;
  void ShowError(const std::string& message) override;
  void ShowOptions() override;
  void HideOptions() override;
  void ShowAbout(const std::string& versionLabel) override;
  void BringModalToFront() override;
  bool WinHelp(const std::string& file, std::uint32_t command, const std::string& data) override;
  bool HtmlHelp(const std::string& topic) override;
  void OpenDocument(const std::string& path) override;
  void Terminate() override;
  std::optional<std::string> OpenLanguageFile(const std::string& initialDirectory) override;

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // The rest of an answer in one WM_COPYDATA: copied, the shell let go, then handled.
  LRESULT TakeAnswerBatch(const COPYDATASTRUCT& cds);
  void RequestListSync();
  void ReportError(const std::string& message) override { ShowError(message); }
  HICON SmallIcon(int id);

  // The owner of every form: never shown, so that no form has a taskbar button.
  class ApplicationWindow final : public cvl::win32::Window {
   public:
    bool Create(HINSTANCE instance);
  };

  HINSTANCE instance_;
  ApplicationWindow application_;
  IconOwner icons_[2];
  IconCopies iconCopies_;
  Win32Desktop desktop_;
  Win32HookLibrary hook_;
  PanelForm panelForm_;
  THint hint_;
  Win32ButtonWindows buttons_;
  std::unique_ptr<TrayMenuWindow> menuWindow_;
  std::unique_ptr<AboutBox> about_;
  HtmlHelpViewer help_;
  std::unique_ptr<TMainForm> form_;
  Win32CaptionIcons captionIcons_;
  MinimizerWindow minWindow_;
  std::unique_ptr<TMinForm> minForm_;
  std::unique_ptr<OptionsDialog> options_;
  bool syncPending_ = false;
  DWORD syncRequestedAt_ = 0;
};

}  // namespace cvl::win32
