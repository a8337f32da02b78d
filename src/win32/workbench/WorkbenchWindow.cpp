// The workbench window: the model's tabs as pages under a tab control, placed where the model
// says.
#include "win32/workbench/WorkbenchWindow.h"

#include <shellapi.h>

#include <cmath>
#include <optional>

#include "bus/BusTabModel.h"
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogTemplate.h"
#include "win32/MessageBoxColours.h"
#include "win32/PageKeys.h"
#include "win32/workbench/BusPanel.h"
#include "win32/workbench/RecordingPanel.h"
#include "win32/workbench/ReportTitleDialog.h"
#include "win32/workbench/SaveDialog.h"
#include "win32/workbench/TrafficPanel.h"
#include "win32/workbench/TrendPanel.h"
#include "win32/workbench/WindowDpi.h"
#include "win32/workbench/WindowOwner.h"
#include "win32/workbench/WiringPanel.h"
#include "win32/workbench/WorkbenchControlIds.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::win32 {
namespace {

constexpr const wchar_t* kWindowClass = L"KT7340Workbench";
constexpr int kMarginPx = 4;
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr UINT kRunSoonMessage = WM_APP + 1;

// The main dialog's font (the template's face and size) at the window's resolution.
HFONT MakeFont(UINT dpi) {
  const DialogTemplate& main = MainDialogTemplate();
  LOGFONTW font{};
  font.lfHeight = -MulDiv(main.fontPointSize, static_cast<int>(dpi), 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = Wide(main.fontName != nullptr ? main.fontName : "");
  face.copy(font.lfFaceName, std::min<size_t>(face.size(), LF_FACESIZE - 1));
  return CreateFontIndirectW(&font);
}

// What Windows draws around the client area: title bar and borders.
workbench::FrameMargins Margins() {
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
  return {-r.left, -r.top, r.right, r.bottom};
}

workbench::ScreenRect Plain(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// A client size given for 96 dpi at `dpi`.
workbench::ScreenSize Scaled(workbench::ScreenSize size, UINT dpi) {
  return {ScaledPx(size.width, dpi), ScaledPx(size.height, dpi)};
}

}  // namespace

WorkbenchWindow::WorkbenchWindow(std::unique_ptr<workbench::RecordFiles> files)
    : model_(settings_, std::move(files)),
      traffic_(std::make_unique<TrafficPanel>(model_.Log())),
      recording_(std::make_unique<RecordingPanel>(model_.Recording())),
      trend_(std::make_unique<TrendPanel>(model_.Trend(), settings_)),
      wiring_(std::make_unique<WiringPanel>(model_.Wiring())) {
  // The model's tabs took the block first; each page draws what it now holds.
  SubscribeBlocks([this](const values::MeasuredBlock&) {
    if (model_.Recording().TookLastBlock()) recording_->Refresh();
    trend_->BlockAdded();
    wiring_->BlockAdded();
  });
  Create();
  reportFront_.askTitle = [this](report::ReportTitle& title) {
    return AskReportTitle(hwnd_, title);
  };
  reportFront_.askPath = [this](const workbench::SaveQuestion& question,
                                const std::string& folder) {
    return AskSavePath(hwnd_, question, folder);
  };
  reportFront_.open = [this](const std::string& path) {
    ShellExecuteW(hwnd_, L"open", Wide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  };
  reportFront_.tell = [this](const std::string& text) {
    ColouredMessageBox(hwnd_, Wide(text), Wide(workbench::kMakeReportText), MB_OK | MB_ICONWARNING);
  };
}

WorkbenchWindow::~WorkbenchWindow() {
  // The pages go first, while the window they stand in still exists.
  traffic_.reset();
  recording_.reset();
  trend_.reset();
  wiring_.reset();
  further_.clear();
  busPanel_.reset();
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  if (font_ != nullptr) DeleteObject(font_);
}

void WorkbenchWindow::Create() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kWindowClass, &wc) == 0) {
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc =
        &OwnedWindowProc<WorkbenchWindow, &WorkbenchWindow::hwnd_, &WorkbenchWindow::OnMessage>;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kWindowClass;
    // The program's icon, when it has one.
    wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    RegisterClassExW(&wc);
  }
  const workbench::ScreenSize frame =
      Margins().Around(Scaled(workbench::kWorkbenchClientSize, WindowDpi(nullptr)));
  hwnd_ = CreateWindowExW(kExStyle, kWindowClass, Wide(workbench::kWorkbenchTitle).c_str(), kStyle,
                          CW_USEDEFAULT, CW_USEDEFAULT, frame.width, frame.height, nullptr, nullptr,
                          GetModuleHandleW(nullptr), this);
  if (hwnd_ == nullptr) return;
  font_ = MakeFont(WindowDpi(hwnd_));
  tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"",
                          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 10, 10, hwnd_,
                          PointerFrom<HMENU>(static_cast<INT_PTR>(workbench_ids::kTabs)),
                          GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
  for (size_t i = 0; i < model_.TabTitles().size(); ++i) {
    std::wstring title = Wide(model_.TabTitles()[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = title.data();
    SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  for (ChildPanel* panel :
       std::array<ChildPanel*, 4>{traffic_.get(), recording_.get(), trend_.get(), wiring_.get()}) {
    panel->Create(hwnd_, font_);
  }
  Layout();
  ShowTab(WorkbenchTab::Traffic);
}

ChildPanel& WorkbenchWindow::Panel(WorkbenchTab tab) const {
  switch (tab) {
    case WorkbenchTab::Traffic:
      return *traffic_;
    case WorkbenchTab::Recording:
      return *recording_;
    case WorkbenchTab::Trend:
      return *trend_;
    case WorkbenchTab::Wiring:
      return *wiring_;
  }
  return *further_[static_cast<size_t>(tab) - workbench::kWorkbenchTabTitles.size()];
}

void WorkbenchWindow::ShowTab(WorkbenchTab tab) {
  current_ = tab;
  if (hwnd_ == nullptr) return;
  const int index = static_cast<int>(tab);
  if (SendMessageW(tabs_, TCM_GETCURSEL, 0, 0) != index)
    SendMessageW(tabs_, TCM_SETCURSEL, index, 0);
  for (int t = 0; t < static_cast<int>(model_.TabTitles().size()); ++t) {
    if (t != index) ShowWindow(Panel(static_cast<WorkbenchTab>(t)).Handle(), SW_HIDE);
  }
  ChildPanel& shown = Panel(tab);
  SetWindowPos(shown.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  if (Visible()) shown.OnShown();
}

bool WorkbenchWindow::Visible() const {
  return hwnd_ != nullptr && IsWindowVisible(hwnd_) != 0;
}

void WorkbenchWindow::Layout() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int margin = ScaledPx(kMarginPx, WindowDpi(hwnd_));
  RECT area{client.left + margin, client.top + margin, client.right - margin,
            client.bottom - margin};
  SetWindowPos(tabs_, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  RECT page = area;
  TabCtrl_AdjustRect(tabs_, FALSE, &page);
  for (int t = 0; t < static_cast<int>(model_.TabTitles().size()); ++t) {
    SetWindowPos(Panel(static_cast<WorkbenchTab>(t)).Handle(), HWND_TOP, page.left, page.top,
                 page.right - page.left, page.bottom - page.top, SWP_NOACTIVATE);
  }
}

void WorkbenchWindow::Rescale(const RECT& suggested) {
  HFONT old = font_;
  font_ = MakeFont(WindowDpi(hwnd_));
  SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  for (int t = 0; t < static_cast<int>(model_.TabTitles().size()); ++t) {
    Panel(static_cast<WorkbenchTab>(t)).Rescale(font_);
  }
  if (old != nullptr) DeleteObject(old);
  // The frame's resize lays every page out at the new resolution.
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  Layout();
  // Remembered as shown, as after a move by the user.
  if (IsIconic(hwnd_) == 0 && IsZoomed(hwnd_) == 0) model_.Frame().Shown(Plain(suggested));
}

void WorkbenchWindow::Attach(CMonitorDlg& dialog, MainWindow mainWindow) {
  mainWindow_ = std::move(mainWindow);
  model_.AttachTo(dialog, [this] { ShowBeside(); });
  wiring_->SetMakeReport([this, &dialog] { report::MakeReportFile(model_, dialog, reportFront_); });
  if (bus_) bus_->AttachTo(dialog);
}

void WorkbenchWindow::AddPanel(ChildPanel& panel, const std::string& title) {
  const size_t index = model_.AddTab(title);
  further_.push_back(&panel);
  if (hwnd_ == nullptr) return;
  std::wstring wide = Wide(title);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = wide.data();
  SendMessageW(tabs_, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
  panel.Create(hwnd_, font_);
  Layout();
  ShowTab(current_);
}

void WorkbenchWindow::AddBusPanel(bus::LineScheduler& line, modbus::Clock& clock) {
  bus_ = std::make_unique<bus::BusTabModel>(line, clock, settings_);
  bus_->UseWiringChoices(model_.Wiring());
  busPanel_ = std::make_unique<BusPanel>(*bus_);
  busPanel_->SetMakeReport([this] { bus_->MakeReport(model_, reportFront_); });
  AddPanel(*busPanel_, bus::kBusTabTitle);
}

void WorkbenchWindow::SubscribeBlocks(workbench::BlockFanOut::Consumer consumer) {
  model_.SubscribeBlocks(std::move(consumer));
}

void WorkbenchWindow::RunSoon(std::function<void()> job) {
  if (hwnd_ == nullptr) return;
  soon_.push_back(std::move(job));
  PostMessageW(hwnd_, kRunSoonMessage, 0, 0);
}

void WorkbenchWindow::ShowBeside() {
  if (hwnd_ == nullptr) return;
  HWND main = mainWindow_ ? mainWindow_() : nullptr;
  if (!Visible()) {
    // Owned by the main dialog: above it, and ended with it.
    if (main != nullptr)
      SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(main));
    PlaceNextTo(main);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    Panel(current_).OnShown();
  }
  SetForegroundWindow(hwnd_);
}

void WorkbenchWindow::RememberPlace() {
  // The frame as placed or as the user left it, not as read back now: a window manager that
  // reports the frame a few pixels off would move it a little at every start.
  model_.Frame().Remember();
}

void WorkbenchWindow::PlaceNextTo(HWND mainDialog) {
  HMONITOR monitor =
      MonitorFromWindow(mainDialog != nullptr ? mainDialog : hwnd_, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info) == 0) return;
  std::optional<workbench::ScreenRect> mainFrame;
  if (RECT r{}; mainDialog != nullptr && GetWindowRect(mainDialog, &r) != 0) mainFrame = Plain(r);
  const UINT dpi = WindowDpi(hwnd_);
  const workbench::WindowPlacement placed = model_.Frame().Place(
      Plain(info.rcWork), mainFrame, Margins(), workbench::kWorkbenchLeastClientSize,
      Scaled(workbench::kWorkbenchClientSize, dpi));
  if (mainFrame && !(placed.mainDialog == *mainFrame)) {
    SetWindowPos(mainDialog, nullptr, placed.mainDialog.x, placed.mainDialog.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The frame, title bar included, as the model placed it; remembered as placed, not as read back.
  SetWindowPos(hwnd_, nullptr, placed.window.x, placed.window.y, placed.window.width,
               placed.window.height, SWP_NOZORDER | SWP_NOACTIVATE);
  model_.Frame().Shown(placed.window);
}

LRESULT WorkbenchWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kStepPageMessage: {
      // Ctrl+Tab, Ctrl+Shift+Tab: the next or previous tab, round the end.
      const auto count = static_cast<int>(model_.TabTitles().size());
      const int step = static_cast<int>(static_cast<INT_PTR>(wParam));
      ShowTab(static_cast<WorkbenchTab>((static_cast<int>(current_) + step + count) % count));
      return 0;
    }
    case WM_CLOSE:
      // Closing only hides; the main dialog's exit ends the program and the window with it.
      RememberPlace();
      ShowWindow(hwnd_, SW_HIDE);
      return 0;
    case WM_SIZE:
      if (tabs_ != nullptr) Layout();
      return 0;
    case WM_DPICHANGED:
      // Moved to a monitor of another resolution: the font, every page and the frame Windows
      // suggests for it.
      Rescale(*PointerFrom<const RECT*>(lParam));
      return 0;
    case WM_GETMINMAXINFO: {
      // Not scaled: at 120 dpi on a 1366 screen the window must still fit beside the main
      // dialog; its pages fit their labels to what they get.
      const workbench::ScreenSize least = Margins().Around(workbench::kWorkbenchLeastClientSize);
      PointerFrom<MINMAXINFO*>(lParam)->ptMinTrackSize = {least.width, least.height};
      return 0;
    }
    case WM_NOTIFY: {
      const auto& header = *PointerFrom<NMHDR*>(lParam);
      if (header.hwndFrom == tabs_ && header.code == TCN_SELCHANGE) {
        ShowTab(static_cast<WorkbenchTab>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
      }
      return 0;
    }
    case kRunSoonMessage: {
      // One message per job; a job may ask for more.
      if (soon_.empty()) return 0;
      const std::function<void()> job = std::move(soon_.front());
      soon_.erase(soon_.begin());
      job();
      return 0;
    }
    case WM_EXITSIZEMOVE: {
      // Moved or resized by the user: kept for the next start.
      RECT frame{};
      GetWindowRect(hwnd_, &frame);
      if (IsIconic(hwnd_) == 0 && IsZoomed(hwnd_) == 0) model_.Frame().Shown(Plain(frame));
      RememberPlace();
      return 0;
    }
    case WM_NCDESTROY: {
      // Ended with the main dialog that owns it; a window still open keeps its frame.
      if (IsWindowVisible(hwnd_) != 0) RememberPlace();
      HWND gone = hwnd_;
      hwnd_ = nullptr;
      return DefWindowProcW(gone, message, wParam, lParam);
    }
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

}  // namespace kt::ui::win32
