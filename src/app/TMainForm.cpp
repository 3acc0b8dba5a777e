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
  helpFile_ = host_.ExeDirectory() + "Help\\CvlHelp.hlp";
  shell_ = FindShellWindows(desktop_);
  versionCode_ = WindowsVersionCode(desktop_);
  options_ = std::make_unique<TOptions>(desktop_);
  local_ = std::make_unique<TLocal>(desktop_);
  registry_ =
      std::make_unique<TrayRegistry>(desktop_, shell_, commands_, *options_, views_, ownIcon_);
  registry_->FormWindow = host_.Window();
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
  commands_.Switch(shell_.Taskbar, THM_HOOKSWITCH, THM_ON);
  clockButton_->ButtonWnd = 0;
  clockButton_->ButtonState.clear();
  options_->Load(kSettingsFile);
  clockButton_->ApplyTrayButton();
  registry_->PendingMinimizePlace = 0;
  created_ = true;
}

void TMainForm::FormShow() {
  if (firstShow_) {
    host_.HideApplicationButton();
    ownIcon_.SetPictures({host_.ApplicationIcon(), host_.DisabledIcon()});
    ownIcon_.SetActive(true);
    host_.MoveForm(-500, -500);
    if (versionCode_ == 90 && panel_ != nullptr) panel_->UseInactiveCaptionColour();
  }
  try {
    registry_->Reader.EnumerateIcons(registry_->AllIcons);
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
  // Switched off, the command identifiers are stale and no hook gives hidden buttons back:
  // showing the dialog hides nothing and fills neither panel nor menu.
  if (options_->Enabled) registry_->Placement.ApplyPlacement();
  registry_->Placement.RefreshOwnIcon();
}

void TMainForm::FormDestroy() {
  if (!created_ || destroyed_) return;
  destroyed_ = true;
  registry_->Placement.ShowAllIcons();
  clockButton_->ReleaseButtonRoom();
  commands_.Switch(shell_.Taskbar, THM_HOOKSWITCH, THM_OFF);
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

void TMainForm::Enabled1Click() {
  // The item is looked up at each step: switching rebuilds the menu's icon entries under it.
  if (RxPopupMenu1.Enabled1().Checked) {
    RxPopupMenu1.Enabled1().ImageIndex = -1;
    options_->Enabled = false;
    TurnOff();
  } else {
    RxPopupMenu1.Enabled1().ImageIndex = kEnabledPicture;
    options_->Enabled = true;
    TurnOn();
  }
  // Flipped before saving: a refused write must not leave the item out of step with the state.
  RxPopupMenu1.Enabled1().Checked = !RxPopupMenu1.Enabled1().Checked;
  options_->Save(kSettingsFile);
}

void TMainForm::TurnOff() {
  ownIcon_.SetPictureIndex(1);
  registry_->Placement.ShowAllIcons();
  clockButton_->RemoveTrayButton();
  clockButton_->ReleaseButtonRoom();
  clockButton_->ButtonWnd = 0;
  commands_.Switch(shell_.Taskbar, THM_HOOKSWITCH, THM_OFF);
  hook_.DeleteTrayHook();
  commands_.ForgetSwitches();
  views_.ClearCells();
  registry_->PanelList.Clear();
  registry_->MenuList.Clear();
  views_.RebuildPanel();
}

void TMainForm::TurnOn() {
  ownIcon_.SetPictureIndex(0);
  hook_.SetTrayHook();
  commands_.Switch(shell_.Taskbar, THM_HOOKSWITCH, THM_ON);
  clockButton_->ApplyTrayButton();
  ReloadTray();
}

void TMainForm::ReloadTray() {
  try {
    registry_->Reader.EnumerateIcons(registry_->AllIcons);
    registry_->Memory.LoadPlacementMemory();
  } catch (const InvalidOperation&) {
  }
  registry_->Placement.ApplyPlacement();
  registry_->Placement.RefreshOwnIcon();
}

void TMainForm::Button1Click() {
  const auto chosen = host_.OpenLanguageFile(host_.ExeDirectory());
  if (!chosen) return;
  if (local_->LoadLanguage(*chosen, DialogCaptions, RxPopupMenu1)) options_->LangLib = *chosen;
}

void TMainForm::SetHintTimer(bool enabled) {
  hintTimer_ = enabled;
  if (OnHintTimer) OnHintTimer(enabled);
}

void TMainForm::RxTrayIcon1MouseMove() {
  if (panel_ == nullptr || panel_->Visible || registry_->PanelList.Count() == 0) return;
  try {
    panel_->Show();
  } catch (const InvalidOperation&) {
  }
  SetHintTimer(false);
  SetHintTimer(true);
}

void TMainForm::HintTimerTimer() {
  if (panel_ == nullptr) return;
  const Point p = desktop_.GetCursorPos();
  const THint& h = *panel_;
  if (h.Left < p.x && p.x < h.Left + h.Width && h.Top < p.y && p.y < h.Top + h.Height) return;
  SetHintTimer(false);
  panel_->Hide();
}

void TMainForm::RxPopupMenu1Popup() {
  views_.RebuildMenu();
}

void TMainForm::PopupTrayMenu(Point at) {
  RxPopupMenu1Popup();
  if (OpenMenu) OpenMenu(at);
}

void TMainForm::MenuItemClick(const MenuItem& item) {
  if (item.Tag >= 0) {
    if (panel_ != nullptr) panel_->MenuEntryClick(item.Tag);
    return;
  }
  if (item.Name == "About1") host_.ShowAbout();
  if (item.Name == "Help1") host_.ShowHelp();
  if (item.Name == "Options1") host_.ShowOptions();
  if (item.Name == "Enabled1") Enabled1Click();
  if (item.Name == "Exit1") host_.Terminate();
}

std::optional<LResult> TMainForm::WndProc(std::uint32_t msg, WParam wParam, LParam lParam) {
  if (msg == kWmEndSession) {
    WMEndSession(wParam != 0);
    return 0;
  }
  if (msg == kOwnIconCallback) {
    // The own tray icon: hovering shows the panel, a right-button release opens the menu;
    // left clicks do nothing.
    const auto mouse = static_cast<std::uint32_t>(lParam);
    if (mouse == kWmMouseMove) RxTrayIcon1MouseMove();
    if (mouse == kWmRButtonUp) PopupTrayMenu(desktop_.GetCursorPos());
    return 0;
  }
  if (msg == THM_MINBUTTONRCLICK) {
    if (MinButtonRightClick) MinButtonRightClick(static_cast<Hwnd>(lParam));
    return 0;
  }
  // Something the shell missed while it was busy goes again now that there is news from it.
  if (msg == THM_ICONADDED || msg == THM_ICONMODIFIED || msg == THM_ICONDELETED)
    commands_.RetryPending();
  if (registry_ && registry_->HandleHookMessage(msg, wParam, lParam)) return 0;
  return std::nullopt;
}

}  // namespace cvl
