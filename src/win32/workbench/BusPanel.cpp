// The bus tab's controls: the edit and buttons in a row above the list view of the meters, and
// the selected meter's wiring check below it.
#include "win32/workbench/BusPanel.h"

#include <array>
#include <utility>

#include "win32/workbench/CopyMenu.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::win32 {
namespace {

namespace ids = workbench_ids;
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT_PTR kEnterSubclass = 1;
// Sizes at 96 dpi, scaled to the window's (ChildPanel::Px).
constexpr int kMarginAt96 = 8;
constexpr int kButtonWidthAt96 = 72;
constexpr int kButtonHeightAt96 = 24;
constexpr int kEditWidthAt96 = 200;
constexpr std::array<int, bus::kBusColumnCount> kWidths = {48,  80, 72, 150, 110,
                                                           110, 72, 64, 56,  130};
constexpr std::array<int, workbench::kWiringColumns.size()> kCheckWidths = {120, 48, 560};
constexpr int kCheckVerdictColumn = 1;

// The columns with their widths at 96 dpi, scaled by `px`.
template <size_t N, class Scale>
void AddColumns(HWND list, const std::array<const char*, N>& headings,
                const std::array<int, N>& widths, Scale px) {
  ListView_SetExtendedListViewStyle(list,
                                    LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  for (size_t c = 0; c < N; ++c) {
    std::wstring head = Wide(headings[c]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = head.data();
    column.cx = px(widths[c]);
    column.iSubItem = static_cast<int>(c);
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
}

}  // namespace

void BusPanel::Populate() {
  Add(WC_STATICW, bus::kBusAddressLabel, SS_LEFT, ids::kBusAddressLabel);
  HWND edit = Add(WC_EDITW, "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, ids::kBusAddressEdit);
  SetWindowSubclass(edit, &BusPanel::EditProc, kEnterSubclass, reinterpret_cast<DWORD_PTR>(this));
  Add(WC_BUTTONW, bus::kBusAddButton, WS_TABSTOP | BS_PUSHBUTTON, ids::kBusAddButton);
  Add(WC_BUTTONW, bus::kBusRemoveButton, WS_TABSTOP | BS_PUSHBUTTON, ids::kBusRemoveButton);
  Add(WC_BUTTONW, model_.StartStopText(), WS_TABSTOP | BS_PUSHBUTTON, ids::kBusStartStopButton);
  Add(WC_BUTTONW, workbench::kMakeReportText, WS_TABSTOP | BS_PUSHBUTTON,
      ids::kBusMakeReportButton);
  const auto scale = [this](int at96) { return Px(at96); };
  // One meter chosen at a time; the check's rows may be chosen together for copying.
  constexpr DWORD kListStyle = WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS;
  AddColumns(Add(WC_LISTVIEWW, "", kListStyle | LVS_SINGLESEL, ids::kBusList),
             bus::kBusColumnHeadings, kWidths, scale);
  Add(WC_STATICW, "", SS_LEFT | SS_NOPREFIX, ids::kBusCheckTitle);
  AddColumns(Add(WC_LISTVIEWW, "", kListStyle, ids::kBusCheckList), workbench::kWiringColumns,
             kCheckWidths, scale);
  Refresh();
}

void BusPanel::Layout(int width, int height) {
  const int kMargin = Px(kMarginAt96);
  const int kButtonWidth = Px(kButtonWidthAt96);
  const int kButtonHeight = Px(kButtonHeightAt96);
  const int kEditWidth = Px(kEditWidthAt96);
  const int labelWidth = TextWidth(bus::kBusAddressLabel) + 4;
  int x = kMargin;
  Place(ids::kBusAddressLabel, x, kMargin + Px(4), labelWidth, LineHeight());
  x += labelWidth + 4;
  Place(ids::kBusAddressEdit, x, kMargin, kEditWidth, kButtonHeight);
  x += kEditWidth + kMargin;
  for (const int id : {ids::kBusAddButton, ids::kBusRemoveButton, ids::kBusStartStopButton}) {
    Place(id, x, kMargin, kButtonWidth, kButtonHeight);
    x += kButtonWidth + kMargin;
  }
  Place(ids::kBusMakeReportButton, x, kMargin, TextWidth(workbench::kMakeReportText) + Px(24),
        kButtonHeight);
  // The meters take three fifths of the height below the buttons, their wiring check the rest.
  const int top = 2 * kMargin + kButtonHeight;
  const int inner = std::max(0, width - 2 * kMargin);
  const int rest = std::max(0, height - top - kMargin);
  const int listHeight = rest * 3 / 5;
  Place(ids::kBusList, kMargin, top, inner, listHeight);
  const int titleTop = top + listHeight + kMargin / 2;
  Place(ids::kBusCheckTitle, kMargin, titleTop, inner, LineHeight());
  const int checkTop = titleTop + LineHeight() + kMargin / 2;
  Place(ids::kBusCheckList, kMargin, checkTop, inner, std::max(0, height - checkTop - kMargin));
}

void BusPanel::OnShown() {
  Refresh();
  UpdateTimer();
}

LRESULT CALLBACK BusPanel::EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self) {
  switch (message) {
    case WM_GETDLGCODE:
      // Enter comes to the edit, not as the window's default button.
      if (lParam != 0 && PointerFrom<MSG*>(lParam)->wParam == VK_RETURN) {
        return DLGC_WANTALLKEYS | DefSubclassProc(edit, message, wParam, lParam);
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        PointerFrom<BusPanel*>(self)->OnAdd();
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == '\r') return 0;  // no beep
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, &BusPanel::EditProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

void BusPanel::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == ids::kBusAddButton) OnAdd();
  if (id == ids::kBusRemoveButton) {
    if (const std::optional<size_t> selected = Selected()) model_.Remove(*selected);
    Refresh();
  }
  if (id == ids::kBusStartStopButton) OnStartStop();
  if (id == ids::kBusMakeReportButton && makeReport_) makeReport_();
}

void BusPanel::OnAdd() {
  wchar_t text[512] = {};
  GetWindowTextW(Item(ids::kBusAddressEdit), text, static_cast<int>(std::size(text)));
  const std::string message = model_.Add(Utf8(text));
  if (!message.empty()) {
    MessageBoxW(Handle(), Wide(message).c_str(), Wide(bus::kBusTabTitle).c_str(),
                MB_OK | MB_ICONWARNING);
    return;
  }
  SetText(ids::kBusAddressEdit, "");
  Refresh();
}

void BusPanel::OnStartStop() {
  model_.StartStop();
  SetText(ids::kBusStartStopButton, model_.StartStopText());
  UpdateTimer();
  Refresh();
}

void BusPanel::UpdateTimer() {
  const auto ms = static_cast<UINT>(model_.TimerMs(IsWindowVisible(Handle()) != 0));
  if (ms == timerMs_) return;
  if (ms == 0) {
    KillTimer(Handle(), kTickTimer);
  } else {
    SetTimer(Handle(), kTickTimer, ms, nullptr);
  }
  timerMs_ = ms;
}

void BusPanel::OnTimer(UINT_PTR timerId) {
  if (timerId != kTickTimer) return;
  if (model_.Tick() && IsWindowVisible(Handle()) != 0) Refresh();
  UpdateTimer();
}

std::optional<size_t> BusPanel::Selected() const {
  const auto selected = static_cast<int>(
      SendMessageW(Item(ids::kBusList), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (selected < 0) return std::nullopt;
  return static_cast<size_t>(selected);
}

void BusPanel::SetRowCount(int listId, int count) {
  HWND list = Item(listId);
  while (ListView_GetItemCount(list) > count)
    ListView_DeleteItem(list, ListView_GetItemCount(list) - 1);
  for (int r = ListView_GetItemCount(list); r < count; ++r) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = r;
    item.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void BusPanel::Refresh() {
  // Drawn again: the cells whose text changed (SetCell) and the rows whose colour turned with
  // their texts unchanged (values gone stale); an unchanged table is not drawn at all.
  const std::vector<bus::BusTableRow> before = std::exchange(rows_, model_.Rows());
  SetRowCount(ids::kBusList, static_cast<int>(rows_.size()));
  for (size_t r = 0; r < rows_.size(); ++r) {
    const auto row = static_cast<int>(r);
    for (size_t c = 0; c < bus::kBusColumnCount; ++c) {
      SetCell(ids::kBusList, row, static_cast<int>(c), rows_[r].cells[c]);
    }
    if (r < before.size() && bus::BusRowColour(before[r]) != bus::BusRowColour(rows_[r])) {
      ListView_RedrawItems(Item(ids::kBusList), row, row);
    }
  }
  RefreshCheck();
}

void BusPanel::RefreshCheck() {
  SetText(ids::kBusCheckTitle, model_.CheckTitle(Selected()));
  checkRows_ = model_.CheckRows(Selected());
  SetRowCount(ids::kBusCheckList, static_cast<int>(checkRows_.size()));
  for (size_t r = 0; r < checkRows_.size(); ++r) {
    const auto row = static_cast<int>(r);
    SetCell(ids::kBusCheckList, row, 0, checkRows_[r].name);
    SetCell(ids::kBusCheckList, row, 1, workbench::VerdictText(checkRows_[r].verdict));
    SetCell(ids::kBusCheckList, row, 2, checkRows_[r].message);
  }
}

std::string BusPanel::CellText(int row, int column, int listId) const {
  wchar_t text[1024] = {};
  ListView_GetItemText(Item(listId), row, column, text, static_cast<int>(std::size(text)));
  return Utf8(text);
}

void BusPanel::SetCell(int listId, int row, int column, const std::string& text) {
  if (CellText(row, column, listId) == text) return;
  std::wstring wide = Wide(text);
  ListView_SetItemText(Item(listId), row, column, wide.data());
}

LRESULT BusPanel::CustomDraw(NMLVCUSTOMDRAW& draw) const {
  const bool check = draw.nmcd.hdr.idFrom == static_cast<UINT_PTR>(ids::kBusCheckList);
  const auto row = static_cast<size_t>(draw.nmcd.dwItemSpec);
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      // The meters by row; the check's verdicts by cell.
      if (check) return CDRF_NOTIFYSUBITEMDRAW;
      const workbench::Rgb* colour = row < rows_.size() ? bus::BusRowColour(rows_[row]) : nullptr;
      draw.clrText = colour != nullptr ? ColourRef(*colour) : GetSysColor(COLOR_WINDOWTEXT);
      return CDRF_NEWFONT;
    }
    case CDDS_SUBITEM | CDDS_ITEMPREPAINT:
      draw.clrText = draw.iSubItem == kCheckVerdictColumn && row < checkRows_.size()
                         ? ColourRef(workbench::VerdictColour(checkRows_[row].verdict))
                         : GetSysColor(COLOR_WINDOWTEXT);
      return CDRF_NEWFONT;
    default:
      return CDRF_DODEFAULT;
  }
}

LRESULT BusPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto list = PointerFrom<HWND>(wParam);
  if (message != WM_CONTEXTMENU ||
      (list != Item(ids::kBusList) && list != Item(ids::kBusCheckList))) {
    return ChildPanel::OnMessage(message, wParam, lParam);
  }
  const CopyChoice choice = AskCopyChoice(list, lParam);
  if (choice == CopyChoice::SelectAll) SelectAllRows(list);
  if (choice == CopyChoice::Copy) CopySelectedRows(list);
  return 0;
}

LRESULT BusPanel::OnNotify(NMHDR& header) {
  if (header.code == NM_CUSTOMDRAW &&
      (header.idFrom == static_cast<UINT_PTR>(ids::kBusList) ||
       header.idFrom == static_cast<UINT_PTR>(ids::kBusCheckList))) {
    return CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
  }
  const bool fromList = header.idFrom == static_cast<UINT_PTR>(ids::kBusList);
  if (header.code == LVN_KEYDOWN &&
      (fromList || header.idFrom == static_cast<UINT_PTR>(ids::kBusCheckList))) {
    AnswerCopyKeys(header.hwndFrom, reinterpret_cast<NMLVKEYDOWN&>(header).wVKey);
    return 0;
  }
  if (!fromList) return 0;
  switch (header.code) {
    case LVN_ITEMCHANGED:
      if ((reinterpret_cast<NMLISTVIEW&>(header).uChanged & LVIF_STATE) != 0) RefreshCheck();
      return 0;
    case NM_DBLCLK:
    case NM_RETURN:
      if (const std::optional<size_t> selected = Selected()) model_.Choose(*selected);
      return 0;
    default:
      return 0;
  }
}

}  // namespace kt::ui::win32
