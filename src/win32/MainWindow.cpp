#include "win32/MainWindow.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include "shell/AnswerBatch.h"
#include "shell/HookProtocol.h"
#include "shell/IconBits.h"
#include "win32/Handles.h"

namespace cvl::win32 {

namespace {

constexpr int kClientWidth = 619;
constexpr int kClientHeight = 299;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr UINT kSyncIconList = WM_APP + 0x20;
constexpr const char* kApplicationClass = "CorvaletApplication";
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryMs = 1000;
constexpr UINT_PTR kHintTimer = 2;
constexpr UINT_PTR kListSyncTimer = 3;
constexpr UINT kHiddenListSyncMs = 400;
constexpr DWORD kHiddenListSyncMostMs = 30000;
constexpr UINT_PTR kReadingTimer = 4;
constexpr UINT kReadingMs = 250;  // an owed reading: soon, but after the shell's burst has a gap

}  // namespace

HICON MainWindow::SmallIcon(int id) {
  return static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                         ::GetSystemMetrics(SM_CXSMICON),
                                         ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

bool MainWindow::ApplicationWindow::Create(HINSTANCE instance) {
  return CreateWindowOf(instance, kApplicationClass, ::LoadIconA(instance, MAKEINTRESOURCEA(1)), 0,
                        "Corvalet", WS_POPUP, 0, 0, 0, 0, nullptr);
}

bool MainWindow::Create() {
  if (!application_.Create(instance_)) return false;
  RECT r{0, 0, ScreenPixels(kClientWidth), ScreenPixels(kClientHeight)};
  ::AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
  if (!CreateWindowOf(instance_, kMainFormClass, ::LoadIconA(instance_, MAKEINTRESOURCEA(1)),
                      kExStyle, kMainFormCaption, kStyle, -500, -500, r.right - r.left,
                      r.bottom - r.top, application_.Handle()))
    return false;

  icons_[0] = IconOwner(SmallIcon(1));
  icons_[1] = IconOwner(SmallIcon(2));
  menuWindow_ = std::make_unique<TrayMenuWindow>(iconCopies_, icons_[0].Get());
  // The forms in their order: the main form, then the panel.
  form_ = std::make_unique<TMainForm>(desktop_, hook_, *this, hint_, buttons_);
  // What a busy shell missed goes again, even while no report arrives to carry it; the timer
  // runs only while something is kept, so an idle Corvalet is never woken.
  form_->Commands().OnKept = [this] { ::SetTimer(window_, kRetryTimer, kRetryMs, nullptr); };
  form_->AttachPanel(hint_);
  panelForm_.Name = [this] { return form_->DialogCaptions.PanelName; };
  Win32ButtonWindows::Name = [this] { return form_->DialogCaptions.TrayButtonName; };
  panelForm_.Bind(hint_);
  try {
    if (!panelForm_.Create()) ShowError("The Corvalet Panel could not be created.");
    form_->FormCreate();
    buttons_.Route(&form_->TrayButton());
    // The minimizer's form comes last of the forms, and goes first.
    minForm_ = std::make_unique<TMinForm>(desktop_, hook_, form_->Options(), form_->Registry(),
                                          captionIcons_);
    minWindow_.Bind(minForm_.get());
    if (minWindow_.Create(instance_)) minForm_->SetWindow(FromHwnd(minWindow_.Handle()));
    minForm_->FormCreate();
    form_->MinButtonRightClick = [this](Hwnd window) { minForm_->MinButtonRightClick(window); };
    form_->KeyMinimize = [this](Hwnd window) { minForm_->KeyMinimize(window); };
    form_->KeyRestore = [this] { minForm_->RestoreLast(); };
    form_->OnShellRestarted = [this](bool sameTaskbar) { minForm_->ShellRestarted(sameTaskbar); };
    form_->OnHintTimer = [this](bool enabled) {
      if (enabled)
        ::SetTimer(window_, kHintTimer, kHintTimerMs, nullptr);
      else
        ::KillTimer(window_, kHintTimer);
    };
    form_->OpenMenu = [this](const TrayMenu& shown, Point at) {
      return menuWindow_->Track(shown, window_, POINT{at.x, at.y});
    };
    TrayRegistry& registry = form_->Registry();
    registry.OnReadingOwed = [this] { ::SetTimer(window_, kReadingTimer, kReadingMs, nullptr); };
    registry.Deferral.OnHeldBack = [this] { ::SetTimer(window_, kRetryTimer, kRetryMs, nullptr); };
    registry.Placement.OnOwnIconOwed = [this] {
      ::SetTimer(window_, kRetryTimer, kRetryMs, nullptr);
    };
    options_ = std::make_unique<OptionsDialog>(*form_, iconCopies_);
    if (!options_->Create(instance_, window_, icons_[1].Get()))
      ShowError("The options dialog could not be created.");
    registry.Reader.OnEnumerated = [this](const TIconList& listed) {
      iconCopies_.KeepListed(listed);
    };
    registry.ListView1.OnChanged = [this] { RequestListSync(); };
    form_->FormShow();
    ::ShowWindow(window_, SW_SHOWNOACTIVATE);
  } catch (const std::exception& error) {
    ShowError(error.what());
  }
  return true;
}

Hwnd MainWindow::Window() {
  return FromHwnd(window_);
}

std::string MainWindow::ExeDirectory() {
  char path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  const auto slash = dir.find_last_of('\\');
  return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
}

Hicon MainWindow::ApplicationIcon() {
  return FromHicon(icons_[0].Get());
}

Hicon MainWindow::DisabledIcon() {
  return FromHicon(icons_[1].Get());
}

void MainWindow::HideApplicationButton() {
  ::ShowWindow(application_.Handle(), SW_HIDE);
}

void MainWindow::MoveForm(int left, int top) {
  ::SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::ShowOptions() {
  // Centred on the desktop; showing it re-reads the tray and the settings.
  RECT r;
  ::GetWindowRect(window_, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  ::SetWindowPos(window_, HWND_TOP, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (::GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  ::SetForegroundWindow(window_);
  form_->FormShow();
  // Filled now: a refresh that waited for the hidden list's timer is no longer needed.
  ::KillTimer(window_, kListSyncTimer);
  syncPending_ = false;
  if (options_) {
    options_->Showing();
    options_->Sync(true);
    options_->FocusFirst();
  }
}

// Hidden, so that no key reaches a dialog nobody sees, and off screen again.
void MainWindow::HideOptions() {
  ::ShowWindow(window_, SW_HIDE);
  ::SetWindowPos(window_, nullptr, -500, -500, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::BringModalToFront() {
  // The box last active among those the main window owns; an open menu stays where it is.
  HWND box = ::GetLastActivePopup(window_);
  if (box != nullptr && box != window_) ::SetForegroundWindow(box);
}

void MainWindow::ShowAbout(const std::string& versionLabel) {
  // The class icon in its large size: a shared resource icon, nobody destroys it.
  if (!about_)
    about_ = std::make_unique<AboutBox>(instance_, ::LoadIconA(instance_, MAKEINTRESOURCEA(1)));
  about_->ShowModal(window_, versionLabel);
}

bool MainWindow::WinHelp(const std::string& file, std::uint32_t command, const std::string& data) {
  const ULONG_PTR argument = data.empty() ? 0 : reinterpret_cast<ULONG_PTR>(data.c_str());
  return ::WinHelpA(window_, file.c_str(), command, argument) != FALSE;
}

bool MainWindow::HtmlHelp(const std::string& topic) {
  // Owned by the application's window, beside the forms rather than by the main form: the box
  // that a click brings back to the front stays the main form's last popup.
  return help_.Show(application_.Handle(), topic);
}

void MainWindow::OpenDocument(const std::string& path) {
  ::ShellExecuteA(window_, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::optional<std::string> MainWindow::OpenLanguageFile(const std::string& initialDirectory) {
  char file[MAX_PATH] = "*.lng";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // understood by every Windows we run on
  ofn.hwndOwner = window_;
  ofn.lpstrFilter = "*.lng\0*.lng\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = initialDirectory.c_str();
  ofn.lpstrDefExt = "lng";
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!::GetOpenFileNameA(&ofn)) return std::nullopt;
  return std::string(file);
}

void MainWindow::Terminate() {
  ::DestroyWindow(window_);
}

void MainWindow::ShowError(const std::string& message) {
  ::MessageBoxA(window_, message.c_str(), "Corvalet", MB_OK | MB_ICONERROR);
}

// One posted refresh of the options list for any number of changes before it runs. A list
// nobody sees is refreshed at most every kHiddenListSyncMs: during a burst of tray changes its
// rebuilding would otherwise take more of Corvalet's time than placing the icons. It also waits,
// up to kHiddenListSyncMostMs, for the burst's end and for the main loop: making the pictures
// of every changed icon takes up to 300 ms under a burst, and the user's click would wait.
void MainWindow::RequestListSync() {
  if (syncPending_) return;
  syncPending_ = true;
  syncRequestedAt_ = ::GetTickCount();
  if (form_ != nullptr && !form_->Dialog.Visible)
    ::SetTimer(window_, kListSyncTimer, kHiddenListSyncMs, nullptr);
  else
    ::PostMessageA(window_, kSyncIconList, 0, 0);
}

LRESULT MainWindow::TakeAnswerBatch(const COPYDATASTRUCT& cds) {
  if (cds.lpData == nullptr || cds.cbData == 0 ||
      cds.cbData > kAnswerBatchMaxMessages * kAnswerBatchEntry)
    return FALSE;
  // A copy: the sender's data goes when it is let go.
  const auto* bytes = static_cast<const std::uint8_t*>(cds.lpData);
  std::vector<std::uint8_t> data(bytes, bytes + cds.cbData);
  const auto batch = ParseAnswerBatch(data.data(), data.size());
  if (!batch || !form_->ClaimAnswerBatch(*batch)) return FALSE;
  if (::InSendMessage()) ::ReplyMessage(TRUE);
  form_->TakeAnswerBatch(*batch);
  return TRUE;
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // Before the form exists (window creation) and after it has gone, Windows' defaults.
  if (form_ == nullptr) return ::DefWindowProcA(window_, msg, wParam, lParam);
#ifdef CORVALET_COUNT_HANDLES
  if (msg == ::RegisterWindowMessageA(kHandleCountMessage))
    return LiveHandles(static_cast<int>(wParam));
#endif
  switch (msg) {
    case WM_CLOSE:
      ::DestroyWindow(window_);
      return 0;
    case WM_SYSCOMMAND:
      // Alt+F4 in the dialog is its Cancel; a WM_CLOSE from elsewhere still ends Corvalet.
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        if (form_->Dialog.Visible) form_->Button2Click();
        return 0;
      }
      break;
    case WM_ACTIVATE:
      if (options_ && LOWORD(wParam) == WA_INACTIVE) options_->RememberFocus();
      break;
    case WM_SETFOCUS:
      if (options_) options_->RestoreFocus();
      return 0;
    case WM_DESTROY:
      // The help windows first, while they still have their owner. Then the forms go in the
      // reverse order of their creation: the minimizer (which brings back every window it
      // hid), the panel, then the main form.
      help_.Close();
      if (minForm_) minForm_->FormDestroy();
      minWindow_.Bind(nullptr);
      hint_.FormDestroy();
      form_->FormDestroy();
      buttons_.Route(nullptr);
      ::PostQuitMessage(0);
      return 0;
    case WM_MEASUREITEM:
      if (menuWindow_ && menuWindow_->OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
        return TRUE;
      break;
    case WM_DRAWITEM:
      if (menuWindow_ && menuWindow_->OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
        return TRUE;
      break;
    case WM_COPYDATA: {
      const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (cds != nullptr && cds->dwData == kAnswerBatchTag) return TakeAnswerBatch(*cds);
      if (cds == nullptr || cds->dwData != kIconBitsTag) break;
      if (!iconCopies_.Store(cds->lpData, cds->cbData)) return FALSE;
      // The pixels are ours now: the shell's thread goes on, and the icon is made when it is
      // first drawn. They follow the answer that listed it: what showed it without them shows
      // it again, the options list too, which keeps its pictures while it is not shown.
      if (::InSendMessage()) ::ReplyMessage(TRUE);
      panelForm_.Redraw();
      RequestListSync();
      return TRUE;
    }
    case kSyncIconList:
      syncPending_ = false;
      ::KillTimer(window_, kListSyncTimer);
      if (options_) options_->Sync(true);
      return 0;
    case WM_TIMER:
      if (wParam == kRetryTimer) {
        form_->RetryTimerTimer();
        if (!form_->RetryPending()) ::KillTimer(window_, kRetryTimer);
      }
      if (wParam == kReadingTimer) {
        form_->RetryTimerTimer();
        if (!form_->Registry().ReadingOwed()) ::KillTimer(window_, kReadingTimer);
      }
      if (wParam == kHintTimer) form_->HintTimerTimer();
      if (wParam == kListSyncTimer && !form_->Dialog.Visible &&
          (form_->Registry().Deferral.Busy() || form_->Registry().Placement.OwnIconOwed()) &&
          ::GetTickCount() - syncRequestedAt_ < kHiddenListSyncMostMs)
        return 0;  // the timer stays: a quieter moment comes
      if (wParam == kListSyncTimer) {
        ::KillTimer(window_, kListSyncTimer);
        syncPending_ = false;
        if (options_) options_->Sync(true);
      }
      if (wParam == kRetryTimer || wParam == kHintTimer || wParam == kListSyncTimer ||
          wParam == kReadingTimer)
        return 0;
      break;
    default:
      break;
  }
  const int choicesBefore = form_->ChoicesRun();
  const auto result = form_->WndProc(msg, static_cast<WParam>(wParam), static_cast<LParam>(lParam));
  if (options_ && form_->ChoicesRun() != choicesBefore) options_->Sync();
  if (result) return *result;
  return ::DefWindowProcA(window_, msg, wParam, lParam);
}

}  // namespace cvl::win32
