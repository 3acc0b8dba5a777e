#include "app/TMainForm.h"

#include "app/InvalidOperation.h"
#include "shell/HookProtocol.h"

namespace cvl {

TMainForm::TMainForm(Desktop& desktop, HookLibrary& hook, FormHost& host, PlacementViews& views)
    : desktop_(desktop),
      hook_(hook),
      host_(host),
      views_(views),
      ownIcon_(desktop),
      commands_(desktop) {}

void TMainForm::FormCreate() {
  firstShow_ = true;
  helpFile_ = host_.ExeDirectory() + "Help\\CvlHelp.hlp";
  shell_ = FindShellWindows(desktop_);
  versionCode_ = WindowsVersionCode(desktop_);
  options_ = std::make_unique<TOptions>(desktop_);
  registry_ =
      std::make_unique<TrayRegistry>(desktop_, shell_, commands_, *options_, views_, ownIcon_);
  registry_->FormWindow = host_.Window();
  registry_->Memory.OnWriteRefused = [this](const std::string& message) {
    host_.ShowError(message);
  };
  registry_->HandlingFlag = true;
  hook_.SetTrayHook();
  ownIcon_.SetOwner(host_.Window());
  commands_.Switch(shell_.Taskbar, THM_HOOKSWITCH, THM_ON);
  buttonWnd_ = 0;
  buttonCaption_.clear();
  options_->Load(kSettingsFile);
  registry_->PendingMinimizePlace = 0;
  created_ = true;
}

void TMainForm::FormShow() {
  if (firstShow_) {
    host_.HideApplicationButton();
    ownIcon_.SetPictures({host_.ApplicationIcon(), host_.DisabledIcon()});
    ownIcon_.SetActive(true);
    host_.MoveForm(-500, -500);
  }
  try {
    registry_->Reader.EnumerateIcons(registry_->AllIcons);
    options_->Load(kSettingsFile);
    registry_->Memory.LoadPlacementMemory();
  } catch (const InvalidOperation&) {
  }
  if (firstShow_) {
    firstShow_ = false;
    enabled1_.Checked = !options_->Enabled;
    Enabled1Click();
  }
  registry_->Placement.ApplyPlacement();
  registry_->Placement.RefreshOwnIcon();
}

void TMainForm::FormDestroy() {
  if (!created_ || destroyed_) return;
  destroyed_ = true;
  registry_->Placement.ShowAllIcons();
  ReleaseButtonRoom();
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

void TMainForm::ReleaseButtonRoom() {
  commands_.Switch(shell_.NotifyArea, THM_BUTTONSWITCH, THM_OFF);
  desktop_.ShowWindow(shell_.Clock, kSwShow);
  registry_->Placement.RefreshOwnIcon();
}

void TMainForm::Enabled1Click() {
  if (enabled1_.Checked) {
    enabled1_.ImageIndex = -1;
    options_->Enabled = false;
    TurnOff();
  } else {
    enabled1_.ImageIndex = kEnabledPicture;
    options_->Enabled = true;
    TurnOn();
  }
  // Flipped before saving: a refused write must not leave the item out of step with the state.
  enabled1_.Checked = !enabled1_.Checked;
  options_->Save(kSettingsFile);
}

void TMainForm::TurnOff() {
  ownIcon_.SetPictureIndex(1);
  registry_->Placement.ShowAllIcons();
  ReleaseButtonRoom();
  buttonWnd_ = 0;
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

std::optional<LResult> TMainForm::WndProc(std::uint32_t msg, WParam wParam, LParam lParam) {
  if (msg == kWmEndSession) {
    WMEndSession();
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
