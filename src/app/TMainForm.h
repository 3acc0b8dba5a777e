#pragma once
// The main form: owner of the shell windows, the icon registry, the settings and Corvalet's
// own tray icon, and receiver of the hook's notifications.
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "about/Help.h"
#include "app/FormHost.h"
#include "clockbutton/ButtonWindows.h"
#include "clockbutton/ClockButton.h"
#include "localization/Captions.h"
#include "localization/TLocal.h"
#include "minimizer/MinimizerHotKey.h"
#include "minimizer/PanelHotKey.h"
#include "platform/Desktop.h"
#include "platform/HookLibrary.h"
#include "registry/PlacementViews.h"
#include "registry/TrayRegistry.h"
#include "settings/OptionsDialogState.h"
#include "settings/TOptions.h"
#include "shell/AnswerBatch.h"
#include "shell/ShellCommands.h"
#include "shell/ShellWindows.h"
#include "views/BalloonRelay.h"
#include "views/OwnTrayIcon.h"
#include "views/THint.h"
#include "views/TrayMenu.h"

namespace cvl {

// The "Enabled" item's picture while Corvalet is on; none (-1) while it is off.
inline constexpr int kEnabledPicture = 3;
inline constexpr std::uint32_t kHintTimerMs = 4000;

// What the main form posts itself, so that it runs from a plain dispatch and not inside
// whatever loop was running when the cause came in.
inline constexpr std::uint32_t kMenuChosenMessage = kWmApp + 0x22;
inline constexpr std::uint32_t kShellRestartMessage = kWmApp + 0x23;
inline constexpr std::uint32_t kOpenMenuMessage = kWmApp + 0x24;  // wParam x, lParam y

class TMainForm {
 public:
  TMainForm(Desktop& desktop, HookLibrary& hook, FormHost& host, PlacementViews& views,
            ButtonWindows& buttons);
  // The Corvalet Panel, when it is a real one: it gets the lists and the menu at creation, and
  // the hover shows and hides it.
  void AttachPanel(THint& panel) {
    panel_ = &panel;
    panel.ModalLoopRunning = [this] { return ModalOpen(); };
    panel.OnShown = [this](bool shown) { PanelShown(shown); };
  }
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  void FormCreate();
  void FormShow();
  void FormDestroy();

  // The hook's notifications and the system's end of session; nothing for other messages.
  std::optional<LResult> WndProc(std::uint32_t msg, WParam wParam, LParam lParam);
  // The rest of an answer carried in one piece: claimed first, then handled as if its messages
  // had come. A batch that is not claimed is not read: its tips are the hook's again.
  bool ClaimAnswerBatch(const AnswerBatch& batch);
  void TakeAnswerBatch(const AnswerBatch& batch);

  // mayTurnOn false: chosen before the session ended and run after it, the choice is kept but
  // does not switch back on what the end switched off.
  void Enabled1Click(bool mayTurnOn = true);
  void TurnOff();
  void TurnOn();
  void ReloadTray();
  // "TaskbarCreated", handled from the main loop. A new taskbar: the old windows are gone with
  // the hook, the room, the button near the clock and every icon in the tray. The same taskbar
  // (any program may send the broadcast): nothing is made twice, only icons that went missing
  // are added again.
  void ShellRestarted();
  // Told after the taskbar's windows were found again, before the tray is re-read: the
  // minimizer puts its icons back (sameTaskbar: only a broadcast, its icons are still there).
  std::function<void(bool sameTaskbar)> OnShellRestarted;
  // The retry timer: what the shell missed goes again, and an owed reading is asked for as a
  // report of a change would ask for it. RetryPending tells whether the timer is still needed.
  void RetryTimerTimer();
  bool RetryPending() const;
  // Menu entries run so far: an entry may change what the options dialog shows, and it runs
  // from whichever message comes first (its own, a held one's, a report's, a restart's).
  int ChoicesRun() const { return choicesRun_; }
  // The end of the Windows session: switches off, unless the shutdown was cancelled.
  void WMEndSession(bool ending);
  // "Load language library": the open dialog, then the library at once; only a library that
  // could be applied is remembered in LangLib.
  void Button1Click();

  // The options dialog.
  void Options1Click();
  void OptionsToDialog();
  void DialogToOptions();
  void Button3Click();  // Ok
  void Button2Click();  // Cancel
  void Button5Click();  // Set default
  // The page bar's buttons: 0 "Tray Icons", 1 "Common", 2 "Minimizer".
  void SpeedItemClick(int page);
  // A clock-button choice by the user: 1 to 3 for RadioButton7 to RadioButton9.
  void TrayButtonChoice(int mode);
  OptionsDialogState Dialog;

  // The own tray icon and its menu.
  void RxTrayIcon1MouseMove();
  void HintTimerTimer();
  void RxPopupMenu1Popup();
  // The menu opens at a screen point: its icon entries are built anew first.
  void PopupTrayMenu(Point at);
  void About1Click();
  // The menu's "Corvalet Panel", the own icon's keyboard activation and the panel's key: the
  // panel opens with the keyboard focus; Escape gives the foreground back to returnTo.
  void ShowPanelFromKeyboard(Hwnd returnTo);
  // A callback of the own tray icon (its lParam); openNow opens the menu here rather than from
  // a posted message.
  // Whether the message asks for the menu; the caller opens it.
  bool OwnIconMessage(std::uint32_t message);
  // The menu's "Help": the help at its contents (about/Help.h says which help).
  void Help1Click();
  // The options dialog's "Help": the help at the topic of the page shown.
  void SpeedItem4Click();
  // A chosen entry, handled after the menu has closed; an icon entry's Tag names its record as
  // the menu listed it.
  void MenuItemClick(const MenuItem& item);
  // The same with the record its entry named when its menu showed.
  void MenuItemClick(const MenuItem& item, const std::optional<TIconInfo>& record);
  // Told when HintTimer is switched on or off, so that a real timer follows it.
  std::function<void(bool enabled)> OnHintTimer;
  // Shows the menu (the snapshot it was opened with) at a screen point until it closes, and
  // returns the position of the chosen entry, if any.
  std::function<std::optional<int>(const TrayMenu& shown, Point at)> OpenMenu;
  // A menu or a modal box is open: the user's next one waits for it.
  bool ModalOpen() const { return menuOpen_ || boxOpen_; }
  bool HintTimerEnabled() const { return hintTimer_; }

  // THM_MINBUTTONRCLICK: the minimizer takes the right-clicked window.
  std::function<void(Hwnd window)> MinButtonRightClick;
  // The minimizer's key (WM_HOTKEY): the window that qualifies goes; with Shift the window
  // hidden last comes back.
  std::function<void(Hwnd window)> KeyMinimize;
  std::function<void()> KeyRestore;
  const MinimizerHotKey& HotKeys() const { return hotKeys_; }

  const ShellWindows& Shell() const { return shell_; }
  int VersionCode() const { return versionCode_; }
  TrayRegistry& Registry() { return *registry_; }
  ShellCommands& Commands() { return commands_; }
  TOptions& Options() { return *options_; }
  OwnTrayIcon& RxTrayIcon1() { return ownIcon_; }
  const BalloonRelay& Balloons() const { return balloons_; }
  const MenuItem& Enabled1() { return RxPopupMenu1.Enabled1(); }
  ClockButton& TrayButton() { return *clockButton_; }
  TrayMenu RxPopupMenu1;
  Captions DialogCaptions;
  const std::string& HelpFile() const { return help_.WinHelp; }
  bool FirstShow() const { return firstShow_; }

 private:
  void SetHintTimer(bool enabled);
  // The library tells new pictures and tips only while the panel shows; one that opens after
  // changes it was not told of has the tray read again soon.
  void PanelShown(bool shown);
  // A switch of serving tells the library the panel is hidden: an open one says so again.
  void TellPanelShown();
  void SwitchServingOn();
  // False, with the open menu or box brought to the front, when one is open.
  bool NoModalOpen();
  // The own icon's clicks, menu requests and a restart that wait in the queue, served now.
  void TakeWaitingClicks();
  // The same without the restart and a choice: between a placement pass's commands.
  void TakeWaitingMenu();
  // The entry chosen in the last menu, if it has not run yet.
  void RunChosen();
  // The restart posted for "TaskbarCreated", run now.
  void RunShellRestart();
  Desktop& desktop_;
  HookLibrary& hook_;
  FormHost& host_;
  PlacementViews& views_;
  OwnTrayIcon ownIcon_;
  BalloonRelay balloons_{desktop_, ownIcon_};
  ShellCommands commands_;
  ShellWindows shell_;
  int versionCode_ = 0;
  std::uint32_t taskbarCreated_ = 0;
  std::unique_ptr<TOptions> options_;
  std::unique_ptr<TrayRegistry> registry_;
  std::unique_ptr<ClockButton> clockButton_;
  std::unique_ptr<TLocal> local_;
  ButtonWindows& buttons_;
  THint* panel_ = nullptr;
  bool hintTimer_ = false;
  HelpFiles help_;
  bool firstShow_ = false;
  bool menuOpen_ = false;
  bool boxOpen_ = false;
  bool restartPosted_ = false;
  std::uint32_t taskbarProcess_ = 0;
  // What the open (or last) menu showed, and the entry chosen in it until it runs.
  TrayMenu shownMenu_;
  std::vector<TIconInfo> shownEntries_;
  struct Chosen {
    MenuItem item;
    std::optional<TIconInfo> record;  // what an icon entry named
    bool beforeSessionEnd = false;
  };
  // The session's ends so far: a choice made in a menu that one came inside came before it.
  int sessionEnds_ = 0;
  std::deque<Chosen> chosen_;
  int choicesRun_ = 0;
  // The foreground window when the last menu opened: the panel chosen in it gives it back.
  Hwnd foregroundBeforeMenu_ = 0;
  // The own icon's last callback: a WM_CONTEXTMENU right after a right-button release is the
  // mouse's, whose menu is open already.
  std::uint32_t lastOwnIconMessage_ = 0;
  bool created_ = false;
  bool destroyed_ = false;
  // Registered while on, with right-click minimizing on (the key goes where a right click
  // sends a window) and a key set; unregistered otherwise. The panel's key is held while on.
  void ApplyHotKey();
  void HotKeyPressed(int id);
  MinimizerHotKey hotKeys_{desktop_};
  PanelHotKey panelKey_{desktop_};
};

}  // namespace cvl
