#include "app/TMainForm.h"

#include "app/InvalidOperation.h"
#include "minimizer/HotKeyTarget.h"
#include "registry/FlagScope.h"
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
  commands_.Switch(shell_.Taskbar, THM_HOOKSWITCH, THM_ON);
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
  const bool on = !RxPopupMenu1.Enabled1().Checked;
  // Set before switching: switching places the buttons, and a menu opened between those
  // commands shows the item as it now is. Set before saving too: a refused write must not
  // leave the item out of step with the state. The item is looked up at each step: switching
  // rebuilds the menu's icon entries under it.
  RxPopupMenu1.Enabled1().Checked = on;
  RxPopupMenu1.Enabled1().ImageIndex = on ? kEnabledPicture : -1;
  options_->Enabled = on;
  if (on)
    TurnOn();
  else
    TurnOff();
  options_->Save(kSettingsFile);
}

void TMainForm::TurnOff() {
  registry_->SwitchedOff = true;
  registry_->ForgetAdds();
  ownIcon_.SetPictureIndex(1);
  // An open panel would stay on screen as an empty frame until its timer ran out.
  if (panel_ != nullptr) panel_->Hide();
  SetHintTimer(false);
  balloons_.Clear();
  registry_->Placement.ShowAllIcons();
  clockButton_->RemoveTrayButton();
  clockButton_->ReleaseButtonRoom();
  clockButton_->ButtonWnd = 0;
  commands_.Switch(shell_.Taskbar, THM_HOOKSWITCH, THM_OFF);
  hook_.DeleteTrayHook();
  commands_.ForgetSwitches();
  hotKeys_.Unregister();
  views_.ClearCells();
  registry_->PanelList.Clear();
  registry_->MenuList.Clear();
  views_.RebuildPanel();
  views_.RebuildMenu();
}

void TMainForm::TurnOn() {
  registry_->SwitchedOff = false;
  ownIcon_.SetPictureIndex(0);
  hook_.SetTrayHook();
  commands_.Switch(shell_.Taskbar, THM_HOOKSWITCH, THM_ON);
  clockButton_->ApplyTrayButton();
  ApplyHotKey();  // before the dialog is filled, which tells a refusal
  ReloadTray();
}

void TMainForm::ApplyHotKey() {
  if (options_->Enabled && options_->IsRightClick)
    hotKeys_.Register(host_.Window(), options_->HotKey);
  else
    hotKeys_.Unregister();
}

void TMainForm::HotKeyPressed(int id) {
  if (destroyed_ || !hotKeys_.Holds(id)) return;
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

void TMainForm::RetryTimerTimer() {
  commands_.RetryPending();
  if (registry_) registry_->Deferral.ReleaseHeld();
  // Reports that wait together are read once: one more costs nothing.
  if (registry_ && registry_->ReadingOwed() && !registry_->Deferral.Busy())
    desktop_.PostMessageA(host_.Window(), THM_ICONDELETED, static_cast<WParam>(shell_.Toolbar), 0);
}

bool TMainForm::RetryPending() const {
  return commands_.HasPending() ||
         (registry_ && (registry_->ReadingOwed() || registry_->Deferral.Held() > 0));
}

void TMainForm::ReloadTray() {
  try {
    registry_->Reader.EnumerateIcons(registry_->AllIcons);
    registry_->Dead.TakeOut();
    registry_->Memory.LoadPlacementMemory();
  } catch (const InvalidOperation&) {
  }
  OptionsToDialog();
  registry_->Placement.ApplyPlacement();
  registry_->Dead.RemoveAndWatch();
  registry_->Placement.RefreshOwnIcon();
}

void TMainForm::ShellRestarted() {
  if (!created_ || destroyed_) return;
  const ShellWindows found = FindShellWindows(desktop_);
  // A window handle is not used again while its window lives; the process tells a handle
  // that came back for another taskbar.
  if (found.Taskbar != 0 && found.Taskbar == shell_.Taskbar &&
      desktop_.GetWindowThreadProcessId(found.Taskbar) == taskbarProcess_) {
    // Only a broadcast: the hook, the room, the button and the icons are all still there.
    if (OnShellRestarted) OnShellRestarted(true);
    if (options_->Enabled)
      ReloadTray();
    else
      registry_->Placement.RefreshOwnIcon();
    return;
  }
  // What was kept for the old windows can never arrive; the old button went with its parent.
  commands_.ForgetSwitches();
  commands_.ForgetButtons();
  commands_.ForgetHiddenButtons();
  shell_ = found;
  taskbarProcess_ = desktop_.GetWindowThreadProcessId(shell_.Taskbar);
  clockButton_->ShellRestarted();
  registry_->TrayFolded = false;
  if (options_->Enabled) {
    hook_.SetTrayHook();
    commands_.Switch(shell_.Taskbar, THM_HOOKSWITCH, THM_ON);
    clockButton_->ApplyTrayButton();
  }
  if (OnShellRestarted) OnShellRestarted(false);
  if (options_->Enabled) {
    registry_->ExpectReturningIcons();
    ReloadTray();  // the owners' icons that are back already; the rest come as reports
  } else {
    registry_->Placement.RefreshOwnIcon();
  }
}

void TMainForm::Help1Click() {
  OpenHelp(desktop_, host_, help_, HelpTopic::Contents);
}

void TMainForm::SpeedItem4Click() {
  OpenHelp(desktop_, host_, help_, OptionsPageTopic(Dialog.Page));
}

bool TMainForm::NoModalOpen() {
  if (!ModalOpen()) return true;
  host_.BringModalToFront();
  return false;
}

void TMainForm::About1Click() {
  if (!NoModalOpen()) return;
  const FlagScope open(boxOpen_, true);
  host_.ShowAbout(DialogCaptions.VersionLabel);
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
}

void TMainForm::TrayButtonChoice(int mode) {
  Dialog.TrayButton = mode;
  if (mode == 1) clockButton_->RadioButton7Click(true);
  if (mode == 2) clockButton_->RadioButton8Click(true);
  if (mode == 3) clockButton_->RadioButton9Click(true);
}

void TMainForm::DialogToOptions() {
  options_->TrayButton = Dialog.TrayButton;  // 0 when none of the three is checked
  if (Dialog.ApStyle >= 1 && Dialog.ApStyle <= 3) options_->ApStyle = Dialog.ApStyle;
  options_->LimitEnable = Dialog.CheckBox3;
  options_->LimitCount = Dialog.SpinEdit1;
  options_->IsRightClick = Dialog.CheckBox4;
  if (Dialog.MinimizeTo >= 1 && Dialog.MinimizeTo <= 3) options_->MinimizeTo = Dialog.MinimizeTo;
  options_->HotKey = Dialog.HotKey1;
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

void TMainForm::Button2Click() {
  Dialog.Visible = false;
  host_.HideOptions();
}

void TMainForm::Button5Click() {
  options_->SetDefault();
  OptionsToDialog();
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
  // The entries name records by position: what the menu lists now is what they mean.
  shownEntries_.assign(registry_->MenuList.begin(), registry_->MenuList.end());
}

void TMainForm::RunChosen() {
  // Each runs once, in the order the menus closed; what one runs may open another menu.
  while (!chosen_.empty()) {
    const Chosen choice = std::move(chosen_.front());
    chosen_.pop_front();
    MenuItemClick(choice.item, choice.record);
  }
}

void TMainForm::TakeWaitingClicks() {
  // Reports keep coming during a burst, and every batch of them pumps messages: a click that
  // waited for a quiet moment would wait for the burst's end.
  RunChosen();
  TakeWaitingMenu();
  RunChosen();
  // A new taskbar does not wait for the burst's end either.
  if (desktop_.TakePostedMessage(host_.Window(), kShellRestartMessage, kShellRestartMessage)) {
    restartPosted_ = false;
    ShellRestarted();
  }
  // What was chosen in a menu opened just now, here or in the restart's refresh, runs before
  // the reports that waited for it.
  while (desktop_.TakePostedMessage(host_.Window(), kMenuChosenMessage, kMenuChosenMessage)) {
  }
  RunChosen();
}

void TMainForm::TakeWaitingMenu() {
  const Hwnd form = host_.Window();
  while (const auto m = desktop_.TakePostedMessage(form, kOwnIconCallback, kOwnIconCallback)) {
    const auto mouse = static_cast<std::uint32_t>(m->lParam);
    // The shell's balloon messages come the same way, and are the program's to hear.
    if (mouse >= kNinBalloonShow && mouse <= kNinBalloonUserClick) balloons_.OwnIconMessage(mouse);
    if (mouse == kWmMouseMove) RxTrayIcon1MouseMove();
    if (mouse == kWmRButtonUp) PopupTrayMenu(desktop_.GetCursorPos());
  }
  // Once a menu here has chosen, the next one waits for that choice to run.
  while (chosen_.empty()) {
    const auto m = desktop_.TakePostedMessage(form, kOpenMenuMessage, kOpenMenuMessage);
    if (!m) break;
    PopupTrayMenu({static_cast<int>(m->wParam), static_cast<int>(m->lParam)});
  }
}

void TMainForm::PopupTrayMenu(Point at) {
  if (!NoModalOpen()) return;
  TrayRegistry& registry = *registry_;
  if (!chosen_.empty()) {
    // The last menu's choice runs before another menu opens: from a plain dispatch.
    if (registry.Deferral.Busy())
      registry.Deferral.DeferOnce(kOpenMenuMessage, static_cast<WParam>(at.x),
                                  static_cast<LParam>(at.y));
    else
      desktop_.PostMessageA(host_.Window(), kOpenMenuMessage, static_cast<WParam>(at.x),
                            static_cast<LParam>(at.y));
    return;
  }
  if (registry.Deferral.Busy() && !registry.Placement.RefreshingOwnIcon()) {
    // Inside a wait for the hook: the menu opens once the answer is in. The own icon's refresh
    // only pumps, holds nothing the menu could change, and during a burst it is most of the
    // time: the menu opens there at once, and what comes in meanwhile stays held.
    registry.Deferral.DeferOnce(kOpenMenuMessage, static_cast<WParam>(at.x),
                                static_cast<LParam>(at.y));
    return;
  }
  RxPopupMenu1Popup();
  shownMenu_ = RxPopupMenu1;
  const ReportDeferral::Scope holding(registry.Deferral);
  std::optional<int> chosen;
  {
    const FlagScope open(menuOpen_, true);
    if (OpenMenu) chosen = OpenMenu(shownMenu_, at);
  }
  if (!chosen || *chosen < 0 || *chosen >= shownMenu_.Count()) return;
  const MenuItem& item = shownMenu_.Items[static_cast<std::size_t>(*chosen)];
  if (item.IsSeparator()) return;
  // Handled after the menu has closed, behind what its loop posted and ahead of what it held.
  // The choice carries what its entry named: another menu may open before it runs. Where the
  // queue is full it still runs, at the next report or choice.
  Chosen choice{item, std::nullopt};
  if (item.Tag >= 0 && item.Tag < static_cast<int>(shownEntries_.size()))
    choice.record = shownEntries_[static_cast<std::size_t>(item.Tag)];
  chosen_.push_back(std::move(choice));
  desktop_.PostMessageA(host_.Window(), kMenuChosenMessage, 0, 0);
}

void TMainForm::MenuItemClick(const MenuItem& item) {
  if (item.Tag >= 0) {
    if (item.Tag < static_cast<int>(shownEntries_.size()))
      MenuItemClick(item, shownEntries_[static_cast<std::size_t>(item.Tag)]);
    return;
  }
  MenuItemClick(item, std::nullopt);
}

void TMainForm::MenuItemClick(const MenuItem& item, const std::optional<TIconInfo>& record) {
  if (item.Tag >= 0) {
    if (panel_ != nullptr && record) panel_->MenuEntryClick(*record);
    return;
  }
  if (item.Name == "About1") About1Click();
  if (item.Name == "Help1") Help1Click();
  if (item.Name == "Options1") Options1Click();
  if (item.Name == "Enabled1") Enabled1Click();
  if (item.Name == "Exit1") host_.Terminate();
}

std::optional<LResult> TMainForm::WndProc(std::uint32_t msg, WParam wParam, LParam lParam) {
  if (msg == kWmEndSession) {
    WMEndSession(wParam != 0);
    return 0;
  }
  if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
    // It may come inside a send or a menu: one restart is posted, and runs from a dispatch.
    if (!restartPosted_ && desktop_.PostMessageA(host_.Window(), kShellRestartMessage, 0, 0))
      restartPosted_ = true;
    return 0;
  }
  if (msg == kShellRestartMessage) {
    if (registry_ && registry_->Deferral.Busy()) {
      registry_->Deferral.DeferOnce(msg, wParam, lParam);
    } else {
      RunChosen();  // chosen before the restart came in, or while it waited behind the menu
      restartPosted_ = false;
      ShellRestarted();
    }
    return 0;
  }
  if (msg == kOwnIconCallback) {
    // The own tray icon: hovering shows the panel, a right-button release opens the menu;
    // left clicks do nothing. The callback may be sent while Corvalet itself waits in a send:
    // the menu, a loop of its own, opens from a posted message.
    const auto mouse = static_cast<std::uint32_t>(lParam);
    if (mouse >= kNinBalloonShow && mouse <= kNinBalloonUserClick) balloons_.OwnIconMessage(mouse);
    if (mouse == kWmMouseMove) RxTrayIcon1MouseMove();
    if (mouse == kWmRButtonUp) {
      const Point at = desktop_.GetCursorPos();
      desktop_.PostMessageA(host_.Window(), kOpenMenuMessage, static_cast<WParam>(at.x),
                            static_cast<LParam>(at.y));
    }
    return 0;
  }
  if (msg == kOpenMenuMessage) {
    if (registry_ && !registry_->Deferral.Busy()) RunChosen();
    PopupTrayMenu({static_cast<int>(wParam), static_cast<int>(lParam)});
    return 0;
  }
  if (msg == kMenuChosenMessage) {
    if (registry_ && registry_->Deferral.Busy()) {
      // Come in while reports are held (a refresh after a menu opened ahead of them): the
      // choice runs once that is over, still before what was held.
      registry_->Deferral.DeferFirst(msg, wParam, lParam);
      return 0;
    }
    RunChosen();
    return 0;
  }
  if (msg == kWmHotKey) {
    HotKeyPressed(static_cast<int>(wParam));
    return 0;
  }
  if (msg == THM_ICONBALLOON) {
    // Shown with a send to the shell: not inside a wait, and not while off (the library kept
    // it from the shell only while Corvalet served).
    if (registry_ && registry_->Deferral.Busy()) {
      registry_->Deferral.Defer(msg, wParam, lParam);
    } else if (registry_ && !registry_->SwitchedOff) {
      if (const auto balloon = hook_.TakeBalloon(static_cast<std::uint32_t>(lParam)))
        balloons_.Show(*balloon);
    }
    return 0;
  }
  if (msg == THM_MINBUTTONRCLICK) {
    if (MinButtonRightClick) MinButtonRightClick(static_cast<Hwnd>(lParam));
    return 0;
  }
  // Something the shell missed while it was busy goes again now that there is news from it.
  if (msg >= kFirstReport && msg <= kLastReport) commands_.RetryPending();
  if (registry_ && registry_->HandleHookMessage(msg, wParam, lParam))
    return msg == THM_ENUMBEGIN || msg == THM_QUERYBEGIN ? kTakesAnswerBatch : 0;
  return std::nullopt;
}

bool TMainForm::ClaimAnswerBatch(const AnswerBatch& batch) {
  // The end, last in every batch, carries the answer's number.
  return registry_ && hook_.ClaimAnswer(batch[batch.Count() - 1].wParam);
}

void TMainForm::TakeAnswerBatch(const AnswerBatch& batch) {
  if (!registry_) return;
  for (std::size_t i = 0; i < batch.Count(); ++i) {
    const AnswerMessage m = batch[i];
    registry_->Reader.HandleAnswer(m.msg, m.wParam, m.lParam);
  }
}

}  // namespace cvl
