#pragma once
// The main form: owner of the shell windows, the icon registry, the settings and Corvalet's
// own tray icon, and receiver of the hook's notifications.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/FormHost.h"
#include "platform/Desktop.h"
#include "platform/HookLibrary.h"
#include "registry/TrayRegistry.h"
#include "settings/TOptions.h"
#include "shell/ShellCommands.h"
#include "shell/ShellWindows.h"
#include "views/OwnTrayIcon.h"
#include "registry/PlacementViews.h"

namespace cvl {

// The "Enabled" item of the own tray menu: its checked flag is the on/off state, its picture
// shows it (3 while on, none while off).
struct MenuItemState {
  bool Checked = false;
  int ImageIndex = -1;
};

inline constexpr int kEnabledPicture = 3;

class TMainForm {
 public:
  TMainForm(Desktop& desktop, HookLibrary& hook, FormHost& host, PlacementViews& views);
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  void FormCreate();
  void FormShow();
  void FormDestroy();

  // The hook's notifications and the system's end of session; nothing for other messages.
  std::optional<LResult> WndProc(std::uint32_t msg, WParam wParam, LParam lParam);

  void Enabled1Click();
  void TurnOff();
  void TurnOn();
  void ReloadTray();
  void WMEndSession() { TurnOff(); }
  void ReleaseButtonRoom();

  // THM_MINBUTTONRCLICK: the minimizer takes the right-clicked window.
  std::function<void(Hwnd window)> MinButtonRightClick;

  const ShellWindows& Shell() const { return shell_; }
  int VersionCode() const { return versionCode_; }
  TrayRegistry& Registry() { return *registry_; }
  ShellCommands& Commands() { return commands_; }
  TOptions& Options() { return *options_; }
  OwnTrayIcon& RxTrayIcon1() { return ownIcon_; }
  const MenuItemState& Enabled1() const { return enabled1_; }
  const std::string& HelpFile() const { return helpFile_; }
  bool FirstShow() const { return firstShow_; }

 private:
  Desktop& desktop_;
  HookLibrary& hook_;
  FormHost& host_;
  PlacementViews& views_;
  OwnTrayIcon ownIcon_;
  ShellCommands commands_;
  ShellWindows shell_;
  int versionCode_ = 0;
  std::unique_ptr<TOptions> options_;
  std::unique_ptr<TrayRegistry> registry_;
  MenuItemState enabled1_;
  std::string helpFile_;
  Hwnd buttonWnd_ = 0;  // the button near the clock
  std::string buttonCaption_;
  bool firstShow_ = false;
  bool created_ = false;
  bool destroyed_ = false;
};

}  // namespace cvl
