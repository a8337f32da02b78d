// The tab "报文": the traffic log in a virtual list view (the list asks for the rows it draws;
// the lines stay the log's own), coloured by what each line is, with "暂停", "清除", "保存…" and
// "只显示错误". New lines reach the list every two seconds: the list's count grows without
// redrawing it, the rows on the screen move up, and only the new rows are drawn. Rows are
// selected with the mouse and copied with Ctrl+C (Ctrl+A selects all) as tab-separated columns.
#pragma once

#include <cstdint>
#include <string>

#include "win32/workbench/ChildPanel.h"
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

 protected:
  void Populate() override;
  void OnCommand(int id, int code) override;
  LRESULT OnNotify(NMHDR& header) override;
  void OnTimer(UINT_PTR timerId) override;

 private:
  void Refill();
  void ShowCount();
  void AskAndSave();
  std::string Text(int fromRow, int toRow) const;
  void GiveText(NMLVDISPINFOW& info) const;
  LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) const;
  // The rows on the screen move up by `rows` lines that left the list at its top.
  void MoveRowsUp(int rows);
  void KeepSelectionOnLines(int droppedRows);

  workbench::TrafficLog& log_;
  workbench::TrafficLogFilter filter_;
  uint64_t first_ = 0;  // the filter's numbers of the rows: row i shows number first_ + i
  uint64_t end_ = 0;
  uint64_t shownCount_ = ~uint64_t{0};
};

}  // namespace kt::ui::win32
