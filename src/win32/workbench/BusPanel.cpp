// The bus tab's controls: the edit and buttons in a row above the list view of the meters.
#include "win32/workbench/BusPanel.h"

#include <array>

#include "win32/workbench/WorkbenchControlIds.h"

namespace kt::ui::win32 {
namespace {

namespace ids = workbench_ids;
constexpr UINT_PTR kTickTimer = 1;
// Sizes at 96 dpi, scaled to the window's (ChildPanel::Px).
constexpr int kMarginAt96 = 8;
constexpr int kButtonWidthAt96 = 72;
constexpr int kButtonHeightAt96 = 24;
constexpr int kEditWidthAt96 = 200;
constexpr std::array<int, bus::kBusColumnCount> kWidths = {48,  80, 72, 150, 110,
                                                           110, 72, 64, 56,  130};

}  // namespace

void BusPanel::Populate() {
  Add(WC_STATICW, bus::kBusAddressLabel, SS_LEFT, ids::kBusAddressLabel);
  Add(WC_EDITW, "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, ids::kBusAddressEdit);
  Add(WC_BUTTONW, bus::kBusAddButton, WS_TABSTOP | BS_PUSHBUTTON, ids::kBusAddButton);
  Add(WC_BUTTONW, bus::kBusRemoveButton, WS_TABSTOP | BS_PUSHBUTTON, ids::kBusRemoveButton);
  Add(WC_BUTTONW, model_.StartStopText(), WS_TABSTOP | BS_PUSHBUTTON, ids::kBusStartStopButton);
  HWND list =
      Add(WC_LISTVIEWW, "", WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL,
          ids::kBusList);
  ListView_SetExtendedListViewStyle(list,
                                    LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  for (size_t c = 0; c < bus::kBusColumnCount; ++c) {
    std::wstring head = Wide(bus::kBusColumnHeadings[c]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = head.data();
    column.cx = Px(kWidths[c]);
    column.iSubItem = static_cast<int>(c);
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
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
  const int top = 2 * kMargin + kButtonHeight;
  Place(ids::kBusList, kMargin, top, std::max(0, width - 2 * kMargin),
        std::max(0, height - top - kMargin));
}

HWND BusPanel::List() const {
  return Item(ids::kBusList);
}

void BusPanel::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == ids::kBusAddButton) OnAdd();
  if (id == ids::kBusRemoveButton) {
    const auto selected =
        static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    if (selected >= 0) model_.Remove(static_cast<size_t>(selected));
    Refresh();
  }
  if (id == ids::kBusStartStopButton) OnStartStop();
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
  // The line's schedule turns only while the poller runs or its last exchange settles.
  if (model_.NeedsTicks()) SetTimer(Handle(), kTickTimer, bus::kBusTickMs, nullptr);
  Refresh();
}

void BusPanel::OnTimer(UINT_PTR timerId) {
  if (timerId != kTickTimer) return;
  if (model_.Tick() && IsWindowVisible(Handle()) != 0) Refresh();
  if (!model_.NeedsTicks()) KillTimer(Handle(), kTickTimer);
}

void BusPanel::Refresh() {
  rows_ = model_.Rows();
  HWND list = List();
  const int count = static_cast<int>(rows_.size());
  while (ListView_GetItemCount(list) > count)
    ListView_DeleteItem(list, ListView_GetItemCount(list) - 1);
  for (int r = ListView_GetItemCount(list); r < count; ++r) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = r;
    item.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  for (int r = 0; r < count; ++r) {
    for (size_t c = 0; c < bus::kBusColumnCount; ++c) {
      SetCell(r, static_cast<int>(c), rows_[static_cast<size_t>(r)].cells[c]);
    }
  }
  // The colours may change with the texts unchanged.
  InvalidateRect(list, nullptr, FALSE);
}

std::string BusPanel::CellText(int row, int column) const {
  wchar_t text[256] = {};
  ListView_GetItemText(List(), row, column, text, static_cast<int>(std::size(text)));
  return Utf8(text);
}

void BusPanel::SetCell(int row, int column, const std::string& text) {
  if (CellText(row, column) == text) return;
  std::wstring wide = Wide(text);
  ListView_SetItemText(List(), row, column, wide.data());
}

LRESULT BusPanel::CustomDraw(NMLVCUSTOMDRAW& draw) const {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const auto row = static_cast<size_t>(draw.nmcd.dwItemSpec);
      const workbench::Rgb* colour = row < rows_.size() ? bus::BusRowColour(rows_[row]) : nullptr;
      draw.clrText = colour != nullptr ? ColourRef(*colour) : GetSysColor(COLOR_WINDOWTEXT);
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

LRESULT BusPanel::OnNotify(NMHDR& header) {
  if (header.idFrom != static_cast<UINT_PTR>(ids::kBusList)) return 0;
  switch (header.code) {
    case NM_CUSTOMDRAW:
      return CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
    case NM_DBLCLK:
    case NM_RETURN: {
      const auto selected =
          static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, -1, LVNI_SELECTED));
      if (selected >= 0) model_.Choose(static_cast<size_t>(selected));
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace kt::ui::win32
