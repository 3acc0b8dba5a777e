#include "win32/MainWindow.h"

#include <commctrl.h>

#include "shell/HookProtocol.h"
#include "win32/Handles.h"

namespace cvl::win32 {

namespace {

constexpr int kClientWidth = 619;
constexpr int kClientHeight = 299;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW;
constexpr UINT kSyncIconList = WM_APP + 0x20;
constexpr int kListViewId = 101;
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryMs = 1000;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {}

MainWindow::~MainWindow() = default;

HICON MainWindow::SmallIcon(int id) {
  return static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                         ::GetSystemMetrics(SM_CXSMICON),
                                         ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

bool MainWindow::Create() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &MainWindow::WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = ::LoadIconA(instance_, MAKEINTRESOURCEA(1));
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainFormClass;
  if (!::RegisterClassA(&wc)) return false;

  RECT r{0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
  window_ =
      ::CreateWindowExA(kExStyle, kMainFormClass, kMainFormCaption, kStyle, -500, -500,
                        r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return false;

  icons_[0] = IconOwner(SmallIcon(1));
  icons_[1] = IconOwner(SmallIcon(2));
  CreateIconList();
  form_ = std::make_unique<TMainForm>(desktop_, hook_, *this, views_);
  try {
    form_->FormCreate();
    form_->Registry().Reader.OnEnumerated = [this](const TIconList& listed) {
      iconCopies_.KeepListed(listed);
    };
    form_->Registry().ListView1.OnChanged = [this] {
      if (syncPending_) return;
      syncPending_ = true;
      ::PostMessageA(window_, kSyncIconList, 0, 0);
    };
    form_->FormShow();
    ::ShowWindow(window_, SW_SHOWNOACTIVATE);
    // What a busy shell missed goes again, even while no report arrives to carry it.
    ::SetTimer(window_, kRetryTimer, kRetryMs, nullptr);
  } catch (const std::exception& error) {
    ShowError(error.what());
  }
  return true;
}

void MainWindow::CreateIconList() {
  listView_ = ::CreateWindowExA(
      WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
      WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER |
          LVS_SHAREIMAGELISTS,  // the image list is ours to destroy, once
      8, 8, 300, kClientHeight - 16, window_, reinterpret_cast<HMENU>(kListViewId), instance_,
      nullptr);
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  column.cx = 270;
  ::SendMessageA(listView_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  listImages_ = ImageListOwner(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8));
  ::SendMessageA(listView_, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(listImages_.Get()));
}

void MainWindow::SyncIconList() {
  syncPending_ = false;
  syncing_ = true;
  const OptionsList& list = form_->Registry().ListView1;
  ::SendMessageA(listView_, LVM_DELETEALLITEMS, 0, 0);
  ImageList_RemoveAll(listImages_.Get());
  for (const Hicon image : list.TrayImages) {
    // An icon that cannot be drawn still takes its place, so that the indices hold.
    if (ImageList_AddIcon(listImages_.Get(), iconCopies_.Resolve(image)) < 0)
      ImageList_AddIcon(listImages_.Get(), icons_[1].Get());
  }
  for (int i = 0; i < list.RowCount(); ++i) {
    const ListRow& row = list.Rows[static_cast<std::size_t>(i)];
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = i;
    item.pszText = const_cast<char*>(row.Caption.c_str());
    item.iImage = row.ImageIndex;
    item.lParam = row.Data;
    item.state = row.Selected ? LVIS_SELECTED : 0;
    item.stateMask = LVIS_SELECTED;
    ::SendMessageA(listView_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  syncing_ = false;
}

void MainWindow::OnListNotify(const NMHDR* header) {
  if (syncing_ || header->code != LVN_ITEMCHANGED) return;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (!(change->uChanged & LVIF_STATE) ||
      ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) == 0)
    return;
  form_->Registry().ListView1.SetSelected(change->iItem, (change->uNewState & LVIS_SELECTED) != 0);
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

// The window is a tool window: it never had a taskbar button to hide.
void MainWindow::HideApplicationButton() {}

void MainWindow::MoveForm(int left, int top) {
  ::SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::ShowError(const std::string& message) {
  ::MessageBoxA(window_, message.c_str(), "Corvalet", MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr || self->form_ == nullptr)
    return ::DefWindowProcA(window, msg, wParam, lParam);
  // Nothing may unwind through Windows: errors end here, in the general handler.
  try {
    return self->Handle(msg, wParam, lParam);
  } catch (const std::exception& error) {
    self->ShowError(error.what());
  } catch (...) {
    self->ShowError("Unexpected error");
  }
  return 0;
}

LRESULT MainWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      ::DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      form_->FormDestroy();
      ::PostQuitMessage(0);
      return 0;
    case WM_COPYDATA: {
      const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (cds == nullptr || cds->dwData != kIconBitsTag) break;
      return iconCopies_.Store(cds->lpData, cds->cbData) ? TRUE : FALSE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header != nullptr && header->idFrom == kListViewId) OnListNotify(header);
      return 0;
    }
    case kSyncIconList:
      SyncIconList();
      return 0;
    case WM_TIMER:
      if (wParam != kRetryTimer) break;
      form_->Commands().RetryPending();
      return 0;
    default:
      break;
  }
  const auto result = form_->WndProc(msg, static_cast<WParam>(wParam), static_cast<LParam>(lParam));
  if (result) return *result;
  return ::DefWindowProcA(window_, msg, wParam, lParam);
}

}  // namespace cvl::win32
