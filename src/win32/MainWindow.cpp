#include "win32/MainWindow.h"

#include "shell/HookProtocol.h"
#include "win32/Handles.h"

namespace cvl::win32 {

namespace {

constexpr int kClientWidth = 619;
constexpr int kClientHeight = 299;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {}

MainWindow::~MainWindow() {
  for (HICON icon : icons_)
    if (icon != nullptr) ::DestroyIcon(icon);
}

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

  icons_[0] = SmallIcon(1);
  icons_[1] = SmallIcon(2);
  form_ = std::make_unique<TMainForm>(desktop_, hook_, *this, views_);
  try {
    form_->FormCreate();
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
  return FromHicon(icons_[0]);
}

Hicon MainWindow::DisabledIcon() {
  return FromHicon(icons_[1]);
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
    default:
      break;
  }
  if (const auto result =
          form_->WndProc(msg, static_cast<WParam>(wParam), static_cast<LParam>(lParam)))
    return *result;
  return ::DefWindowProcA(window_, msg, wParam, lParam);
}

}  // namespace cvl::win32
