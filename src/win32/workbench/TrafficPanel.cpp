// The traffic log's list view: owner data, custom-drawn colours, the rows moved, not redrawn.
#include "win32/workbench/TrafficPanel.h"

#include <chrono>

#include <algorithm>
#include <array>
#include <optional>

#include "win32/workbench/Clipboard.h"
#include "win32/workbench/CopyMenu.h"
#include "win32/workbench/SaveDialog.h"
#include "win32/workbench/WorkbenchControlIds.h"
#include "workbench/TrafficLogColours.h"
#include "workbench/WorkbenchLook.h"
#include "workbench/WorkbenchModel.h"

namespace kt::ui::win32 {
namespace {

namespace ids = workbench_ids;
constexpr UINT_PTR kFlushTimer = 1;
// Sizes at 96 dpi, scaled to the window's (ChildPanel::Px).
constexpr int kSpinWidthAt96 = 18;
constexpr int kMarginAt96 = 6;
constexpr int kButtonHeightAt96 = 24;
// Column widths in characters of the widest of their texts.
constexpr std::array<const char*, 6> kColumnSamples = {
    "00:00:00.000", "丢弃丢", "2555", "0000", "应答 (95 字节)应答 (95 字节)", ""};
constexpr int kBytesColumnPx = 900;

std::string ColumnText(const workbench::TrafficColumns& c, int column) {
  switch (column) {
    case 0:
      return c.time;
    case 1:
      return c.direction;
    case 2:
      return c.address;
    case 3:
      return c.function;
    case 4:
      return c.reading;
    default:
      return c.hex;
  }
}

// The keys that move the caret; with Ctrl, Home and End mean the same.
std::optional<workbench::LogMove> MoveOf(WPARAM key) {
  switch (key) {
    case VK_UP:
      return workbench::LogMove::Up;
    case VK_DOWN:
      return workbench::LogMove::Down;
    case VK_PRIOR:
      return workbench::LogMove::PageUp;
    case VK_NEXT:
      return workbench::LogMove::PageDown;
    case VK_HOME:
      return workbench::LogMove::First;
    case VK_END:
      return workbench::LogMove::Last;
    default:
      return std::nullopt;
  }
}

bool Held(int key) {
  return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

HWND TrafficPanel::List() const {
  return Item(ids::kTrafficList);
}

void TrafficPanel::Populate() {
  HWND list =
      Add(WC_LISTVIEWW, "", WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
          ids::kTrafficList);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  for (size_t c = 0; c < workbench::kTrafficColumnHeads.size(); ++c) {
    std::wstring head = Wide(workbench::kTrafficColumnHeads[c]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = head.data();
    column.cx =
        c + 1 < kColumnSamples.size() ? TextWidth(kColumnSamples[c]) + Px(12) : Px(kBytesColumnPx);
    column.iSubItem = static_cast<int>(c);
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  Add(WC_BUTTONW, workbench::kPauseText, WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE,
      ids::kPauseButton);
  Add(WC_BUTTONW, workbench::kClearText, WS_TABSTOP | BS_PUSHBUTTON, ids::kClearButton);
  Add(WC_BUTTONW, workbench::kSaveLogText, WS_TABSTOP | BS_PUSHBUTTON, ids::kSaveButton);
  Add(WC_BUTTONW, workbench::kErrorsOnlyText, WS_TABSTOP | BS_AUTOCHECKBOX, ids::kErrorsOnlyBox);
  AddAddressFilter();
  Add(WC_STATICW, "", SS_RIGHT, ids::kEventCount);
  Add(WC_STATICW, "", SS_LEFT | SS_NOPREFIX, ids::kTrafficMessage);
  MarkRed(ids::kTrafficMessage);
  SetTimer(Handle(), kFlushTimer, static_cast<UINT>(workbench::kTrafficFlushPeriod.count()),
           nullptr);
  // The rows are chosen here, not by the list: its keys and buttons come to ListInput. Not
  // through SetWindowSubclass: its chain is a window property, which wine looks up with a server
  // round trip at every message (a dozen at each flush); the list's user data finds the panel.
  SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  listProc_ = PointerFrom<WNDPROC>(
      SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrafficPanel::ListProc)));
  Refill();
}

void TrafficPanel::AddAddressFilter() {
  HWND edit = Add(WC_EDITW, workbench::AddressChoiceText(address_),
                  WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, ids::kAddressFilterEdit);
  // Its arrows and the Up and Down keys in the edit step through the addresses.
  HWND spin = Add(UPDOWN_CLASSW, "", UDS_ARROWKEYS | UDS_NOTHOUSANDS, ids::kAddressFilterSpin);
  SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  SendMessageW(spin, UDM_SETRANGE32, workbench::TrafficChoice::kAnyAddress,
               workbench::TrafficChoice::kHighestAddress);
  SendMessageW(spin, UDM_SETPOS32, 0, address_);
  AddTip(ids::kAddressFilterEdit, workbench::kAddressFilterTip);
}

void TrafficPanel::Layout(int width, int height) {
  const int kMargin = Px(kMarginAt96);
  const int kButtonHeight = Px(kButtonHeightAt96);
  const int kSpinWidth = Px(kSpinWidthAt96);
  const int line = LineHeight();
  const int messageTop = height - kMargin - line;
  const int buttonsTop = messageTop - kMargin - kButtonHeight;
  Place(ids::kTrafficList, kMargin, kMargin, width - 2 * kMargin, buttonsTop - 2 * kMargin);
  int x = kMargin;
  for (const int id : {ids::kPauseButton, ids::kClearButton, ids::kSaveButton}) {
    Place(id, x, buttonsTop, Px(72), kButtonHeight);
    x += Px(72) + kMargin;
  }
  const int boxWidth = TextWidth(workbench::kErrorsOnlyText) + Px(28);
  Place(ids::kErrorsOnlyBox, x, buttonsTop, boxWidth, kButtonHeight);
  x += boxWidth + kMargin;
  const int editWidth = std::max(TextWidth(workbench::kAnyAddressText),
                                 TextWidth(workbench::AddressChoiceText(888))) +
                        Px(12);
  Place(ids::kAddressFilterEdit, x, buttonsTop, editWidth, kButtonHeight);
  Place(ids::kAddressFilterSpin, x + editWidth, buttonsTop, kSpinWidth, kButtonHeight);
  const int countLeft = x + editWidth + kSpinWidth + kMargin;
  Place(ids::kEventCount, countLeft, buttonsTop + (kButtonHeight - line) / 2,
        std::max(0, width - kMargin - countLeft), line);
  Place(ids::kTrafficMessage, kMargin, messageTop, width - 2 * kMargin, line);
}

void TrafficPanel::OnCommand(int id, int code) {
  if (id == ids::kAddressFilterEdit) {
    if (code == EN_CHANGE) {
      // A whole address chooses at once; a half-typed one waits.
      wchar_t typed[32] = {};
      GetWindowTextW(Item(id), typed, static_cast<int>(std::size(typed)));
      if (const auto address = workbench::ParseAddressChoice(Utf8(typed))) ChooseAddress(*address);
    } else if (code == EN_KILLFOCUS) {
      SetText(id, workbench::AddressChoiceText(address_));  // what the list shows
    }
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case ids::kPauseButton:
      log_.SetPaused(Checked(ids::kPauseButton));
      break;
    case ids::kClearButton:
      log_.Clear();
      Refill();
      break;
    case ids::kSaveButton:
      AskAndSave();
      break;
    case ids::kErrorsOnlyBox:
      Refill();
      break;
    default:
      break;
  }
}

void TrafficPanel::OnTimer(UINT_PTR timerId) {
  // Out of sight the lines wait; the tab catches up when shown.
  if (timerId == kFlushTimer && IsWindowVisible(Handle()) != 0) Flush();
}

void TrafficPanel::ChooseAddress(int address) {
  if (address == address_) return;
  address_ = address;
  SendMessageW(Item(ids::kAddressFilterSpin), UDM_SETPOS32, 0, address_);
  Refill();
}

void TrafficPanel::Refill() {
  filter_.Choose({Checked(ids::kErrorsOnlyBox), address_});
  first_ = filter_.First();
  end_ = filter_.End();
  selection_.Keep(first_, end_);  // the lines chosen anew: nothing selected
  HWND list = List();
  ListView_SetItemCountEx(list, Count(), 0);
  if (Count() > 0) ListView_EnsureVisible(list, Count() - 1, FALSE);
  InvalidateRect(list, nullptr, TRUE);
  ShowCount();
}

void TrafficPanel::Flush() {
  HWND list = List();
  if (!filter_.Update()) {
    // An error's request went before lines already shown: every row may show another line.
    const int top = ListView_GetTopIndex(list);
    const bool atNewest = top + ListView_GetCountPerPage(list) >= Count();
    first_ = filter_.First();
    end_ = filter_.End();
    selection_.Clear();
    selection_.Keep(first_, end_);
    ListView_SetItemCountEx(list, Count(), LVSICF_NOSCROLL);
    if (atNewest && Count() > 0) ListView_EnsureVisible(list, Count() - 1, FALSE);
    InvalidateRect(list, nullptr, FALSE);
    ShowCount();
    return;
  }
  ShowCount();
  if (filter_.First() == first_ && filter_.End() == end_) return;
  const int top = ListView_GetTopIndex(list);
  const bool atNewest = top + ListView_GetCountPerPage(list) >= Count();
  const auto dropped = static_cast<int>(std::min<uint64_t>(filter_.First() - first_, Count()));
  first_ = filter_.First();
  end_ = filter_.End();
  // The selection is by line: it moves up with its rows.
  selection_.Keep(first_, end_);
  // The count changes without the list drawing itself anew. A full log keeps its count: its
  // rows only move, and the list is not told.
  const int listed = ListView_GetItemCount(list);
  const bool barToDraw = listed != Count() && CountUndrawn(listed);
  const int scrolledFrom = GetScrollPos(list, SB_VERT);
  if (dropped > 0) {
    if (atNewest) {
      MoveRowsUp(dropped);
    } else {
      // A reader who scrolled up keeps the lines in view.
      RECT item{};
      ListView_GetItemRect(list, 0, &item, LVIR_BOUNDS);
      ListView_Scroll(list, 0, -dropped * (item.bottom - item.top));
      InvalidateRect(list, nullptr, FALSE);
    }
  }
  if (atNewest && Count() > 0) ListView_EnsureVisible(list, Count() - 1, FALSE);
  // The vertical bar shows the new count once: a scroll has drawn it already.
  if (barToDraw && GetScrollPos(list, SB_VERT) == scrolledFrom) {
    SCROLLINFO bar{};
    bar.cbSize = sizeof(bar);
    bar.fMask = SIF_POS;
    bar.nPos = scrolledFrom;
    SetScrollInfo(list, SB_VERT, &bar, TRUE);
  }
}

bool TrafficPanel::CountUndrawn(int listed) {
  HWND list = List();
  // Each count given sets both scroll bars twice over, and wine draws a themed bar, some sixty
  // server round trips, at each setting. With the page's visible style off meanwhile (as
  // WM_SETREDRAW turns a window's off), the list sets them undrawn. The list's own style stays:
  // turned on again, its frame would be drawn anew, both bars with it. The page's change is
  // heard by nobody (OnMessage).
  const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
  const LONG_PTR page = GetWindowLongPtrW(Handle(), GWL_STYLE);
  quietStyle_ = true;
  SetWindowLongPtrW(Handle(), GWL_STYLE, page & ~WS_VISIBLE);
  ListView_SetItemCountEx(list, Count(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  const LONG_PTR counted = GetWindowLongPtrW(list, GWL_STYLE);
  SetWindowLongPtrW(Handle(), GWL_STYLE, page);
  quietStyle_ = false;
  constexpr LONG_PTR kBars = WS_HSCROLL | WS_VSCROLL;
  RECT first{};
  if ((counted & kBars) != (style & kBars) || !ListView_GetItemRect(list, 0, &first, LVIR_BOUNDS)) {
    // A bar came or went (the rows' area and the header with it), or no row is left: all drawn
    // anew.
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return false;
  }
  // The rows between the two counts, as the list would mark them, below its header.
  const int h = first.bottom - first.top;
  RECT rows{};
  GetClientRect(list, &rows);
  RECT header{};
  GetWindowRect(ListView_GetHeader(list), &header);
  const RECT changed{rows.left, first.top + std::min(listed, Count()) * h, rows.right,
                     first.top + std::max(listed, Count()) * h};
  rows.top += header.bottom - header.top;
  if (IntersectRect(&rows, &rows, &changed)) InvalidateRect(list, &rows, TRUE);
  return (counted & WS_VSCROLL) != 0;
}

void TrafficPanel::MoveRowsUp(int rows) {
  HWND list = List();
  RECT area{};
  GetClientRect(list, &area);
  RECT header{};
  GetWindowRect(ListView_GetHeader(list), &header);
  area.top += header.bottom - header.top;
  RECT item{};
  ListView_GetItemRect(list, 0, &item, LVIR_BOUNDS);
  const int h = item.bottom - item.top;
  if (h <= 0) return;
  // What scrolls into view at the bottom is marked for drawing; the rest only moves.
  ScrollWindowEx(list, 0, -rows * h, &area, &area, nullptr, nullptr, SW_INVALIDATE);
}

void TrafficPanel::ShowCount() {
  if (log_.EventCount() == shownCount_) return;
  shownCount_ = log_.EventCount();
  SetText(ids::kEventCount, workbench::LogCountText(log_));
}

const workbench::TrafficLine* TrafficPanel::LineOfRow(int row) const {
  if (row < 0) return nullptr;
  const uint64_t number = first_ + static_cast<uint64_t>(row);
  return number < end_ && filter_.Kept(number) ? &filter_.Line(number) : nullptr;
}

void TrafficPanel::GiveText(NMLVDISPINFOW& info) const {
  LVITEMW& item = info.item;
  if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
  item.pszText[0] = L'\0';
  const workbench::TrafficLine* line = LineOfRow(item.iItem);
  if (line == nullptr) return;
  const std::wstring text = Wide(ColumnText(line->Columns(), item.iSubItem));
  const size_t n = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
  text.copy(item.pszText, n);
  item.pszText[n] = L'\0';
}

LRESULT TrafficPanel::CustomDraw(NMLVCUSTOMDRAW& draw) const {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const int row = static_cast<int>(draw.nmcd.dwItemSpec);
      const workbench::TrafficLine* line = LineOfRow(row);
      if (line != nullptr && selection_.Selected(NumberOfRow(row))) {
        draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
      } else if (line != nullptr) {
        draw.clrText = ColourRef(workbench::ColourOf(workbench::RoleOf(*line)));
      }
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

LRESULT TrafficPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (quietStyle_ && (message == WM_STYLECHANGING || message == WM_STYLECHANGED)) return 0;
  return ChildPanel::OnMessage(message, wParam, lParam);
}

LRESULT TrafficPanel::OnNotify(NMHDR& header) {
  if (header.idFrom == static_cast<UINT_PTR>(ids::kAddressFilterSpin) &&
      header.code == UDN_DELTAPOS) {
    const auto& step = reinterpret_cast<NMUPDOWN&>(header);
    const int address = workbench::StepAddressChoice(address_, step.iDelta);
    SetText(ids::kAddressFilterEdit, workbench::AddressChoiceText(address));
    ChooseAddress(address);
    return 0;
  }
  if (header.idFrom != static_cast<UINT_PTR>(ids::kTrafficList)) return 0;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      GiveText(reinterpret_cast<NMLVDISPINFOW&>(header));
      return 0;
    case NM_CUSTOMDRAW:
      return CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
    default:
      return 0;
  }
}

LRESULT CALLBACK TrafficPanel::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* panel = PointerFrom<TrafficPanel*>(GetWindowLongPtrW(list, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(panel->listProc_));
  } else if (panel->ListInput(message, wParam, lParam)) {
    return 0;
  }
  return CallWindowProcW(panel->listProc_, list, message, wParam, lParam);
}

bool TrafficPanel::ListInput(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND list = List();
  switch (message) {
    case WM_KEYDOWN: {
      if (Held(VK_CONTROL) && wParam == 'C') {
        CopySelection();
        return true;
      }
      if (Held(VK_CONTROL) && wParam == 'A') {
        SelectAll();
        return true;
      }
      const std::optional<workbench::LogMove> move = MoveOf(wParam);
      // Left and Right scroll the columns, as the list does; Space would pick a row of its own.
      if (!move) return wParam == VK_SPACE;
      const auto page = static_cast<uint64_t>(std::max(1, ListView_GetCountPerPage(list)));
      if (selection_.Move(*move, Held(VK_SHIFT), NumberOfRow(ListView_GetTopIndex(list)), page)) {
        ListView_EnsureVisible(list, static_cast<int>(selection_.Caret() - first_), FALSE);
        InvalidateRect(list, nullptr, FALSE);
      }
      return true;
    }
    case WM_CHAR:  // the list's search by the first letters would pick a row of its own
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(list);
      if (Count() == 0) return true;
      selection_.Click(NumberOfRow(RowAt(static_cast<short>(HIWORD(lParam)))),
                       (wParam & MK_SHIFT) != 0);
      SetCapture(list);
      InvalidateRect(list, nullptr, FALSE);
      return true;
    case WM_MOUSEMOVE: {
      if (GetCapture() != list || (wParam & MK_LBUTTON) == 0 || !selection_.Any()) return false;
      const uint64_t number = NumberOfRow(RowAt(static_cast<short>(HIWORD(lParam))));
      if (number != selection_.Caret()) {
        selection_.DragTo(number);
        InvalidateRect(list, nullptr, FALSE);
      }
      return true;
    }
    case WM_LBUTTONUP:
      if (GetCapture() == list) ReleaseCapture();
      return true;
    case WM_RBUTTONDOWN:
      SetFocus(list);
      return true;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: {
      POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (message == WM_RBUTTONUP) ClientToScreen(list, &at);
      const CopyChoice choice = AskCopyChoice(list, MAKELPARAM(at.x, at.y));
      if (choice == CopyChoice::Copy) CopySelection();
      if (choice == CopyChoice::SelectAll) SelectAll();
      return true;
    }
    default:
      return false;
  }
}

int TrafficPanel::RowAt(int y) const {
  if (Count() == 0) return 0;
  HWND list = List();
  const int top = ListView_GetTopIndex(list);
  RECT item{};
  ListView_GetItemRect(list, top, &item, LVIR_BOUNDS);
  const int height = std::max(1, static_cast<int>(item.bottom - item.top));
  return std::clamp(top + std::max(0, y - static_cast<int>(item.top)) / height, 0, Count() - 1);
}

std::string TrafficPanel::Text(int fromRow, int toRow) const {
  return filter_.Text(NumberOfRow(fromRow), std::min(NumberOfRow(toRow), end_));
}

std::string TrafficPanel::SelectedText() const {
  return filter_.SelectedText(selection_);
}

void TrafficPanel::SelectAll() {
  selection_.SelectAll();
  InvalidateRect(List(), nullptr, FALSE);
}

void TrafficPanel::CopySelection() const {
  const std::string text = SelectedText();
  if (!text.empty()) CopyToClipboard(Handle(), text);
}

std::string TrafficPanel::SaveTo(const std::string& path) {
  Flush();  // what the log holds now, not what the last refresh showed
  std::string failure = log_.SaveTo(path, filter_.LogNumbers());
  SetText(ids::kTrafficMessage, failure);
  return failure;
}

void TrafficPanel::AskAndSave() {
  const std::string path =
      AskSavePath(Handle(), workbench::LogSaveQuestion(std::chrono::system_clock::now()));
  if (!path.empty()) SaveTo(path);
}

}  // namespace kt::ui::win32
