// The tab "报文": the traffic log in a virtual list view (the list asks for the rows it draws;
// the lines stay the log's own), coloured by what each line is, with "暂停", "清除", "保存…",
// "只显示错误" and the filter by slave address ("全部地址", "地址 7": typed, or stepped by its
// arrows and the Up and Down keys). New lines reach the list every two seconds: the list's count
// grows without redrawing it, the rows on the screen move up, and only the new rows are drawn.
// Rows are selected with the mouse (Shift extends, a drag reaches) and the keys (the arrows, the
// page keys, Home and End, with Shift to extend) through the core's LogSelection, which the panel
// draws itself, and copied with Ctrl+C or the right-click menu ("复制", "全选"; Ctrl+A) as
// tab-separated columns.
#pragma once

#include <cstdint>
#include <string>

#include "win32/workbench/ChildPanel.h"
#include "workbench/LogSelection.h"
#include "workbench/TrafficLog.h"
#include "workbench/TrafficLogFilter.h"

namespace kt::ui::win32 {

class TrafficPanel : public ChildPanel {
 public:
  explicit TrafficPanel(workbench::TrafficLog& log) : log_(log), filter_(log) {}

  void OnShown() override { Flush(); }
  void Layout(int width, int height) override;

  // Takes the lines the log added since into the list (also when hidden, for tools and tests).
  void Flush();
  // Saves the shown lines to `path`; returns "" or the Chinese message also shown in the tab.
  std::string SaveTo(const std::string& path);
  // The lines of the list, joined by '\n', and the selected ones.
  std::string ShownText() const { return Text(0, Count()); }
  std::string SelectedText() const;
  void SelectAll();
  void CopySelection() const;
  HWND List() const;
  int Count() const { return static_cast<int>(end_ - first_); }
  // The log's line shown in row `row`, nullptr when it was dropped since.
  const workbench::TrafficLine* LineOfRow(int row) const;
  // The slave address the list shows, TrafficChoice::kAnyAddress for all.
  int Address() const { return address_; }

 protected:
  void Populate() override;
  void OnCommand(int id, int code) override;
  LRESULT OnNotify(NMHDR& header) override;
  void OnTimer(UINT_PTR timerId) override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
  // The list's keys and mouse buttons, which choose lines here rather than in the list; false
  // for a message the list handles itself.
  bool ListInput(UINT message, WPARAM wParam, LPARAM lParam);
  void AddAddressFilter();
  void ChooseAddress(int address);
  void Refill();
  void ShowCount();
  void AskAndSave();
  std::string Text(int fromRow, int toRow) const;
  void GiveText(NMLVDISPINFOW& info) const;
  LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) const;
  // Gives the list the count of rows, `listed` before, with its scroll bars left undrawn, and
  // marks the rows that came or went for drawing; true when the vertical bar is still to draw.
  bool CountUndrawn(int listed);
  // The rows on the screen move up by `rows` lines that left the list at its top.
  void MoveRowsUp(int rows);
  // The row under the point (list coordinates), held within the rows.
  int RowAt(int y) const;
  uint64_t NumberOfRow(int row) const { return first_ + static_cast<uint64_t>(row); }

  workbench::TrafficLog& log_;
  workbench::TrafficLogFilter filter_;
  workbench::LogSelection selection_;
  uint64_t first_ = 0;  // the filter's numbers of the rows: row i shows number first_ + i
  uint64_t end_ = 0;
  uint64_t shownCount_ = ~uint64_t{0};
  int address_ = workbench::TrafficChoice::kAnyAddress;
  WNDPROC listProc_ = nullptr;  // the list view's own procedure, which ListProc passes on to
  bool quietStyle_ = false;     // the list's style changes unheard by it (CountUndrawn)
};

}  // namespace kt::ui::win32
