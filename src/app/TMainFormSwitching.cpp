// Switching Corvalet off and on, and the keys it holds.
#include "app/TMainForm.h"

#include "minimizer/HotKeyTarget.h"
#include "shell/HookProtocol.h"

namespace cvl {

void TMainForm::Enabled1Click(bool mayTurnOn) {
  const bool on = !RxPopupMenu1.Enabled1().Checked;
  // Set before switching: switching places the buttons, and a menu opened between those
  // commands shows the item as it now is. Set before saving too: a refused write must not
  // leave the item out of step with the state. The item is looked up at each step: switching
  // rebuilds the menu's icon entries under it.
  RxPopupMenu1.Enabled1().Checked = on;
  RxPopupMenu1.Enabled1().ImageIndex = on ? kEnabledPicture : -1;
  options_->Enabled = on;
  if (on && mayTurnOn)
    TurnOn();
  else if (!on)
    TurnOff();
  options_->Save(kSettingsFile);
}

void TMainForm::WMEndSession(bool ending) {
  if (!ending) return;
  ++sessionEnds_;
  // A choice still waiting was made before the end, which switches off after it.
  for (Chosen& c : chosen_) c.beforeSessionEnd = true;
  TurnOff();
}

void TMainForm::TurnOff() {
  // Off already (the session's end and the user's click, in either order): everything went
  // back then, and since, the hook that keeps a program's hidden button hidden is gone and what
  // is known of the buttons is out of date. Giving back again could only show what a program
  // hid meanwhile, and the unhooked shell must not get the switch.
  const bool wasOn = !registry_->SwitchedOff;
  registry_->SwitchedOff = true;
  registry_->ForgetAdds();
  ownIcon_.SetPictureIndex(1);
  // An open panel would stay on screen as an empty frame until its timer ran out.
  if (panel_ != nullptr) panel_->Hide();
  SetHintTimer(false);
  balloons_.Clear();
  if (wasOn) registry_->Placement.ShowAllIcons();
  // A button made since (a choice in the dialog) still goes.
  if (wasOn || clockButton_->ButtonWnd != 0) {
    clockButton_->RemoveTrayButton();
    clockButton_->ReleaseButtonRoom();
    clockButton_->ButtonWnd = 0;
  }
  if (wasOn) {
    commands_.Switch(shell_.Taskbar, THM_HOOKSWITCH, THM_OFF);
    hook_.DeleteTrayHook();
    commands_.ForgetSwitches();
  }
  registry_->Hidden.Forget();  // the library forgets its list on switching off
  hotKeys_.Unregister();
  panelKey_.Unregister();
  views_.ClearCells();
  registry_->PanelList.Clear();
  registry_->MenuList.Clear();
  views_.RebuildPanel();
  views_.RebuildMenu();
}

void TMainForm::SwitchServingOn() {
  commands_.Switch(shell_.Taskbar, THM_HOOKSWITCH, THM_ON);
  TellPanelShown();
}

void TMainForm::TurnOn() {
  registry_->SwitchedOff = false;
  ownIcon_.SetPictureIndex(0);
  hook_.SetTrayHook();
  SwitchServingOn();
  clockButton_->ApplyTrayButton();
  ApplyHotKey();  // before the dialog is filled, which tells a refusal
  ReloadTray();
}

void TMainForm::ApplyHotKey() {
  if (options_->Enabled && options_->IsRightClick)
    hotKeys_.Register(host_.Window(), options_->HotKey);
  else
    hotKeys_.Unregister();
  // After the minimizer's, which keeps its key where both are the same.
  if (options_->Enabled)
    panelKey_.Register(host_.Window(), options_->PanelHotKey);
  else
    panelKey_.Unregister();
}

void TMainForm::HotKeyPressed(int id) {
  if (destroyed_) return;
  if (panelKey_.Holds(id)) {
    ShowPanelFromKeyboard(desktop_.GetForegroundWindow());
    return;
  }
  if (!hotKeys_.Holds(id)) return;
  if (id == kBringBackKeyId) {
    if (KeyRestore) KeyRestore();
    return;
  }
  const HotKeyExclusions exclusions{
      shell_.Taskbar, desktop_.GetWindowThreadProcessId(host_.Window()), &registry_->MinimizedList};
  const Hwnd target = HotKeyTarget(desktop_, desktop_.GetForegroundWindow(), exclusions);
  // Hiding another program's window waits for its thread: a frozen window, which is what a
  // key is most often pressed on, would freeze Corvalet with it.
  constexpr std::uint32_t kWmNull = 0;
  constexpr std::uint32_t kAnswersWithinMs = 500;
  LResult ignored = 0;
  if (target == 0 ||
      !desktop_.SendMessageTimeoutA(target, kWmNull, 0, 0, kAnswersWithinMs, &ignored))
    return;
  if (KeyMinimize) KeyMinimize(target);
}

}  // namespace cvl
