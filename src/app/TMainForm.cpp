// The main form's life: made, shown, destroyed.
#include "app/TMainForm.h"

#include "app/InvalidOperation.h"
#include "shell/HookProtocol.h"

namespace cvl {

TMainForm::TMainForm(Desktop& desktop, HookLibrary& hook, FormHost& host, PlacementViews& views,
                     ButtonWindows& buttons)
    : desktop_(desktop),
      hook_(hook),
      host_(host),
      views_(views),
      ownIcon_(desktop),
      commands_(desktop),
      buttons_(buttons) {}

void TMainForm::FormCreate() {
  firstShow_ = true;
  help_ = HelpFiles::Beside(host_.ExeDirectory());
  shell_ = FindShellWindows(desktop_);
  taskbarProcess_ = desktop_.GetWindowThreadProcessId(shell_.Taskbar);
  versionCode_ = WindowsVersionCode(desktop_);
  taskbarCreated_ = desktop_.RegisterWindowMessageA("TaskbarCreated");
  options_ = std::make_unique<TOptions>(desktop_);
  local_ = std::make_unique<TLocal>(desktop_);
  registry_ =
      std::make_unique<TrayRegistry>(desktop_, shell_, commands_, *options_, views_, ownIcon_);
  registry_->FormWindow = host_.Window();
  registry_->OnReportsTaken = [this] { hook_.ReportsTaken(); };
  registry_->Hidden.Publish = [this](const std::vector<std::uint32_t>& processes) {
    hook_.SetHiddenProcesses(processes);
  };
  registry_->Reader.UntoldChanges = [this] { return hook_.UntoldChanges(); };
  registry_->BeforeReports = [this] { TakeWaitingClicks(); };
  registry_->AfterReading = [this] { balloons_.KeepIcons(registry_->AllIcons); };
  ownIcon_.OnAdded = [this] { balloons_.OwnIconReadded(); };
  registry_->Placement.BetweenCommands = [this] { TakeWaitingMenu(); };
  registry_->Memory.OnWriteRefused = [this](const std::string& message) {
    host_.ShowError(message);
  };
  registry_->HandlingFlag = true;
  clockButton_ = std::make_unique<ClockButton>(desktop_, shell_, commands_, *options_, *registry_,
                                               registry_->Placement, buttons_, versionCode_);
  clockButton_->OpenMenu = [this](Point at) { PopupTrayMenu(at); };
  clockButton_->HoverPanel = [this] {
    // Only a panel that holds cells opens from the button.
    if (panel_ == nullptr || panel_->Visible || panel_->IconCells.empty()) return;
    panel_->Show();
    SetHintTimer(false);
    SetHintTimer(true);
  };
  if (panel_ != nullptr) {
    panel_->Attach(*registry_, RxPopupMenu1);
    panel_->FormCreate();
  }
  hook_.SetTrayHook();
  ownIcon_.SetOwner(host_.Window());
  SwitchServingOn();
  clockButton_->ShellRestarted();
  options_->Load(kSettingsFile);
  clockButton_->ApplyTrayButton();
  SpeedItemClick(0);
  registry_->PendingMinimizePlace = 0;
  created_ = true;
}

void TMainForm::FormShow() {
  SpeedItemClick(0);
  if (firstShow_) {
    host_.HideApplicationButton();
    ownIcon_.SetPictures({host_.ApplicationIcon(), host_.DisabledIcon()});
    ownIcon_.SetActive(true);
    host_.MoveForm(-500, -500);
    if (versionCode_ == 90 && panel_ != nullptr) panel_->UseInactiveCaptionColour();
  }
  try {
    registry_->Reader.EnumerateIcons(registry_->AllIcons);
    registry_->Dead.TakeOut();
    options_->Load(kSettingsFile);
    registry_->Memory.LoadPlacementMemory();
  } catch (const InvalidOperation&) {
  }
  if (firstShow_) {
    firstShow_ = false;
    if (!options_->LangLib.empty() && desktop_.FileExists(options_->LangLib))
      local_->LoadLanguage(options_->LangLib, DialogCaptions, RxPopupMenu1);
    RxPopupMenu1.Enabled1().Checked = !options_->Enabled;
    Enabled1Click();
  }
  OptionsToDialog();
  // Switched off, the command identifiers are stale and no hook gives hidden buttons back:
  // showing the dialog hides nothing and fills neither panel nor menu.
  if (options_->Enabled) {
    registry_->Placement.ApplyPlacement();
    registry_->Dead.RemoveAndWatch();
  }
  registry_->Placement.RefreshOwnIcon();
}

void TMainForm::FormDestroy() {
  if (!created_ || destroyed_) return;
  destroyed_ = true;
  // First: the minimizer has given every window back, and the error box below lets a key in.
  hotKeys_.Unregister();
  panelKey_.Unregister();
  // Switched off, everything was given back then, and what is known of the buttons since is
  // out of date (a program may have hidden its icon meanwhile): only what the shell missed
  // goes again.
  const bool wasOn = !registry_->SwitchedOff;
  registry_->SwitchedOff = true;  // a report still queued must not hide what is given back
  balloons_.Clear();
  if (wasOn)
    registry_->Placement.ShowAllIcons();
  else
    commands_.RetryPending();
  clockButton_->ReleaseButtonRoom();
  // Off already, the unhooked shell must not get the switch.
  if (wasOn) commands_.Switch(shell_.Taskbar, THM_HOOKSWITCH, THM_OFF);
  // The hook must go and the tray must be whole even when the settings cannot be written.
  try {
    options_->Save(kSettingsFile);
  } catch (const std::exception& error) {
    host_.ShowError(error.what());
  }
  hook_.DeleteTrayHook();
  commands_.ForgetSwitches();
  ownIcon_.SetActive(false);
  registry_->Reset();
}

}  // namespace cvl
