// The page window every tab shares: its class, its controls' font, colours and messages.
#include "win32/workbench/ChildPanel.h"

#include "platform/win32/WideText.h"
#include "win32/workbench/WindowDpi.h"
#include "win32/workbench/WindowOwner.h"

namespace kt::ui::win32 {
namespace {

constexpr const wchar_t* kPanelClass = L"KT7340WorkbenchPage";
constexpr COLORREF kRed = RGB(0xFF, 0x00, 0x00);

void RegisterPanelClass(WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kPanelClass, &wc) != 0) return;
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;  // the trend chart's double click resets its zoom
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kPanelClass;
  RegisterClassExW(&wc);
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
  return platform::win32::WideFromUtf8(utf8);
}

std::string Utf8(const std::wstring& wide) {
  return platform::win32::Utf8FromWide(wide);
}

COLORREF ColourRef(workbench::Rgb rgb) {
  return RGB(rgb.red, rgb.green, rgb.blue);
}

ChildPanel::~ChildPanel() {
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  if (measure_ != nullptr) DeleteDC(measure_);
}

bool ChildPanel::Create(HWND parent, HFONT font) {
  font_ = font;
  // Texts are measured often (the chart's labels at every block): in a memory DC of the screen
  // that keeps the font selected, not in a window's DC taken, given the font and released each
  // time (a server round trip each, and under wine on a bare X display a look for the X
  // resources file at every font selection).
  measure_ = CreateCompatibleDC(nullptr);
  if (measure_ != nullptr) SelectObject(measure_, font);
  dpi_ = WindowDpi(parent);
  RegisterPanelClass(&OwnedWindowProc<ChildPanel, &ChildPanel::hwnd_, &ChildPanel::Dispatch>);
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"",
                          WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 10, 10, parent,
                          nullptr, GetModuleHandleW(nullptr), this);
  if (hwnd_ == nullptr) return false;
  Populate();
  return true;
}

void ChildPanel::Rescale(HFONT font) {
  font_ = font;
  if (measure_ != nullptr) SelectObject(measure_, font);
  dpi_ = WindowDpi(hwnd_);
  EnumChildWindows(
      hwnd_,
      [](HWND child, LPARAM f) {
        SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(f), TRUE);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(font));
}

int ChildPanel::Px(int px) const {
  return ScaledPx(px, dpi_);
}

double ChildPanel::Scale() const {
  return static_cast<double>(dpi_) / kDesignDpi;
}

HWND ChildPanel::Add(const wchar_t* windowClass, const std::string& text, DWORD style, int id,
                     DWORD exStyle) {
  HWND control = CreateWindowExW(
      exStyle, windowClass, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, hwnd_,
      PointerFrom<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (control != nullptr) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
    items_[id] = control;
  }
  return control;
}

HWND ChildPanel::Item(int id) const {
  const auto made = items_.find(id);
  return made != items_.end() ? made->second : GetDlgItem(hwnd_, id);
}

void ChildPanel::SetText(int id, const std::string& utf8) {
  const std::wstring wide = Wide(utf8);
  wchar_t now[512] = {};
  GetWindowTextW(Item(id), now, static_cast<int>(std::size(now)));
  if (wide == now) return;  // the same text is not drawn again
  SetWindowTextW(Item(id), wide.c_str());
}

void ChildPanel::AddTip(int id, const std::string& utf8) {
  if (tips_ == nullptr) {
    // Owned by the page, so it goes with it.
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  std::wstring text = Wide(utf8);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
  tool.lpszText = text.data();
  SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string ChildPanel::Tip(int id) const {
  if (tips_ == nullptr) return "";
  wchar_t text[256] = {};  // more than any tooltip of the pages
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
  tool.lpszText = text;
  SendMessageW(tips_, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
  return Utf8(text);
}

bool ChildPanel::Checked(int id) const {
  return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ChildPanel::Place(int id, int x, int y, int width, int height) const {
  SetWindowPos(Item(id), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int ChildPanel::TextWidth(const std::string& utf8) const {
  const std::wstring wide = Wide(utf8);
  SIZE size{};
  GetTextExtentPoint32W(measure_, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

int ChildPanel::LineHeight() const {
  TEXTMETRICW metrics{};
  GetTextMetricsW(measure_, &metrics);
  return metrics.tmHeight + metrics.tmExternalLeading;
}

LRESULT ChildPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT ChildPanel::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*PointerFrom<NMHDR*>(lParam));
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_SIZE:
      Layout(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_NCDESTROY:
      // Destroyed with the window it stands in (the main dialog's end destroys what it owns).
      hwnd_ = nullptr;
      items_.clear();
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      auto* dc = PointerFrom<HDC>(wParam);
      const int id = GetDlgCtrlID(PointerFrom<HWND>(lParam));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      SetTextColor(dc, redTexts_.count(id) != 0 ? kRed : GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    default:
      return OnMessage(message, wParam, lParam);
  }
}

}  // namespace kt::ui::win32
