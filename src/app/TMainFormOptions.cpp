// The options dialog's handlers: its pages, lists and buttons.
#include "app/TMainForm.h"

#include "registry/FlagScope.h"

namespace cvl {

void TMainForm::Options1Click() {
  Dialog.Visible = true;
  host_.ShowOptions();  // centred; showing the form runs FormShow
}

void TMainForm::SpeedItemClick(int page) {
  static constexpr const char* kFallback[] = {"Tray Icons", "Common", "Minimizer"};
  Dialog.Page = page;
  const std::string* captions[] = {&DialogCaptions.SpeedItem1, &DialogCaptions.SpeedItem2,
                                   &DialogCaptions.SpeedItem3};
  Dialog.Label7 = page >= 0 && page < 3 ? *captions[page] : kFallback[0];
}

void TMainForm::SpeedItem4Click() {
  OpenHelp(desktop_, host_, help_, OptionsPageTopic(Dialog.Page));
}

void TMainForm::OptionsToDialog() {
  // Checking a radio button from code runs its click handler: all three are unchecked first,
  // so the stored mode is applied to the button near the clock at once.
  Dialog.TrayButton = 0;
  const int mode = options_->TrayButton;
  if (mode >= 1 && mode <= 3) TrayButtonChoice(mode);
  if (options_->ApStyle >= 1 && options_->ApStyle <= 3) Dialog.ApStyle = options_->ApStyle;
  Dialog.CheckBox3 = options_->LimitEnable;
  Dialog.SpinEdit1 = options_->LimitCount;
  Dialog.CheckBox4 = options_->IsRightClick;
  if (options_->MinimizeTo >= 1 && options_->MinimizeTo <= 3)
    Dialog.MinimizeTo = options_->MinimizeTo;
  Dialog.HotKey1 = options_->HotKey;
  Dialog.HotKeyNote.clear();
  if (hotKeys_.Tried() == options_->HotKey) {
    if (hotKeys_.SendAwayRefused()) Dialog.HotKeyNote = DialogCaptions.HotKeyTaken;
    if (hotKeys_.BringBackRefused())
      Dialog.HotKeyNote += (Dialog.HotKeyNote.empty() ? "" : " ") + DialogCaptions.ShiftKeyTaken;
  }
  Dialog.PanelHotKey1 = options_->PanelHotKey;
  Dialog.PanelHotKeyNote.clear();
  if (panelKey_.Tried() == options_->PanelHotKey && panelKey_.Refused())
    Dialog.PanelHotKeyNote = DialogCaptions.PanelKeyTaken;
}

void TMainForm::DialogToOptions() {
  options_->TrayButton = Dialog.TrayButton;  // 0 when none of the three is checked
  if (Dialog.ApStyle >= 1 && Dialog.ApStyle <= 3) options_->ApStyle = Dialog.ApStyle;
  options_->LimitEnable = Dialog.CheckBox3;
  options_->LimitCount = Dialog.SpinEdit1;
  options_->IsRightClick = Dialog.CheckBox4;
  if (Dialog.MinimizeTo >= 1 && Dialog.MinimizeTo <= 3) options_->MinimizeTo = Dialog.MinimizeTo;
  options_->HotKey = Dialog.HotKey1;
  options_->PanelHotKey = Dialog.PanelHotKey1;
}

void TMainForm::TrayButtonChoice(int mode) {
  Dialog.TrayButton = mode;
  if (mode == 1) clockButton_->RadioButton7Click(true);
  if (mode == 2) clockButton_->RadioButton8Click(true);
  if (mode == 3) clockButton_->RadioButton9Click(true);
}

void TMainForm::Button1Click() {
  if (!NoModalOpen()) return;
  std::optional<std::string> chosen;
  {
    const FlagScope open(boxOpen_, true);
    chosen = host_.OpenLanguageFile(host_.ExeDirectory());
  }
  if (!chosen) return;
  if (local_->LoadLanguage(*chosen, DialogCaptions, RxPopupMenu1)) options_->LangLib = *chosen;
}

void TMainForm::Button2Click() {
  Dialog.Visible = false;
  host_.HideOptions();
}

void TMainForm::Button3Click() {
  Dialog.Visible = false;
  host_.HideOptions();
  DialogToOptions();
  ApplyHotKey();
  options_->Save(kSettingsFile);  // a refusal ends the sequence here, in the general handler
  registry_->Memory.SavePlacementMemory();
  // Switched off, no button is hidden: there is no hook to give it back.
  if (options_->Enabled) registry_->Placement.ApplyPlacementToTray();
  registry_->Placement.RefreshOwnIcon();
}

void TMainForm::Button5Click() {
  options_->SetDefault();
  OptionsToDialog();
}

}  // namespace cvl
