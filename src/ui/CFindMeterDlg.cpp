// The finder dialog's handlers: start, tick, stop, and the choice of a meter.
#include "ui/CFindMeterDlg.h"

#include <string>
#include <utility>
#include <vector>

#include "finder/LineCandidates.h"
#include "ui/FindMeterDialogIds.h"
#include "ui/FindMeterDialogTemplate.h"
#include "ui/FinderText.h"

namespace kt::ui {
namespace {

using namespace find_meter_ids;

std::string JoinedCells(const std::vector<std::string>& cells) {
  std::string row;
  for (const std::string& cell : cells) row += (row.empty() ? "" : "\t") + cell;
  return row;
}

}  // namespace

CFindMeterDlg::CFindMeterDlg(WindowHost& host, PortListSource portList, FinderSetup setup)
    : Dialog(host, FindMeterDialogTemplate()),
      portList_(std::move(portList)),
      clock_(setup.clock != nullptr ? *setup.clock : ownClock_),
      opener_(
          finder::LendingOpener(setup.opener ? std::move(setup.opener) : finder::SerialLineOpener(),
                                std::move(setup.lending))),
      addToBus_(std::move(setup.addToBus)) {}

bool CFindMeterDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  SetDlgItemText(kAttemptText, "未开始");
  ShowControl(kAddToBusButton, static_cast<bool>(addToBus_));
  return true;
}

bool CFindMeterDlg::OnCommand(int commandId) {
  switch (commandId) {
    case kStartButton:
      Start();
      return true;
    case kStopButton:
      Stop();
      return true;
    case kUseButton:
    case kMeterTable:  // a double click on a row
      Use();
      return true;
    case kAddToBusButton:
      AddToBus();
      return true;
    case kOnlyCurrentPort:
    case kStopAfterFirst:
      return true;  // read when a sweep starts
    default:
      return Dialog::OnCommand(commandId);
  }
}

void CFindMeterDlg::Start() {
  const std::vector<serial::PortInfo> ports = portList_ ? portList_() : serial::ListPorts();
  std::vector<finder::CandidateLine> lines;
  if (IsDlgButtonChecked(kOnlyCurrentPort)) {
    lines.push_back(finder::CandidateForPort(ports, m_currentPort));
  } else {
    lines = finder::CandidateLines(ports);
  }
  finder::FinderOptions options;
  options.lastUsed = m_lastUsed;
  options.stopAfterFirst = IsDlgButtonChecked(kStopAfterFirst);
  finder_ = std::make_unique<finder::MeterFinder>(std::move(lines), opener_, clock_, options);
  selectedRow_ = -1;
  shownMeters_ = 0;
  shownFailures_ = 0;
  SetListLines(kMeterTable, {});
  SetListLines(kFailureList, {});
  SetTimer(kSweepTimer, kSweepTickMs);
  ShowState();
}

void CFindMeterDlg::Stop() {
  if (finder_) finder_->Cancel();
  ShowState();
}

void CFindMeterDlg::OnTimer(unsigned timerId) {
  if (timerId != kSweepTimer || !finder_) return;
  finder_->Tick();
  ShowState();
}

void CFindMeterDlg::ShowState() {
  const bool running = finder_ && !finder_->Finished();
  if (!running) KillTimer(kSweepTimer);
  EnableControl(kStartButton, !running);
  EnableControl(kStopButton, running);
  EnableControl(kOnlyCurrentPort, !running);
  EnableControl(kStopAfterFirst, !running);
  if (!finder_) return;

  const std::vector<finder::FoundMeter>& found = finder_->Found();
  if (shownMeters_ != found.size()) {
    std::vector<std::string> rows;
    rows.reserve(found.size());
    for (const finder::FoundMeter& m : found) rows.push_back(JoinedCells(FoundMeterCells(m)));
    SetListLines(kMeterTable, rows);
    shownMeters_ = found.size();
  }
  const std::vector<finder::LineFailure>& failures = finder_->Failures();
  if (shownFailures_ != failures.size()) {
    std::vector<std::string> lines;
    lines.reserve(failures.size());
    for (const finder::LineFailure& f : failures) lines.push_back(FailureText(f));
    SetListLines(kFailureList, lines);
    shownFailures_ = failures.size();
  }

  const finder::FinderProgress progress = finder_->Progress();
  if (running) {
    const std::optional<finder::Attempt> attempt = finder_->Current();
    if (attempt) SetDlgItemText(kAttemptText, AttemptText(*attempt));
    SetDlgItemText(kProgressText, ProgressText(progress));
    SetDlgItemText(kProgressBar, std::to_string(ProgressPercent(progress)));
    return;
  }
  SetDlgItemText(kAttemptText, finder_->Cancelled() ? "已停止" : "查找结束");
  SetDlgItemText(kProgressText, SummaryText(found.size()));
  if (!finder_->Cancelled()) SetDlgItemText(kProgressBar, "100");
}

void CFindMeterDlg::OnListClick(int controlId, int line) {
  if (controlId == kMeterTable) selectedRow_ = line;
}

void CFindMeterDlg::Use() {
  if (!finder_ || selectedRow_ < 0 ||
      static_cast<size_t>(selectedRow_) >= finder_->Found().size()) {
    AfxMessageBox("请先在表中选择一台仪表");
    return;
  }
  m_chosen = finder_->Found()[static_cast<size_t>(selectedRow_)];
  Stop();
  EndDialog(IDOK);
}

void CFindMeterDlg::AddToBus() {
  if (!addToBus_) return;
  static const std::vector<finder::FoundMeter> kNone;
  AfxMessageBox(addToBus_(finder_ ? finder_->Found() : kNone));
}

void CFindMeterDlg::OnOK() {
  Use();
}

void CFindMeterDlg::OnCancel() {
  Stop();
  EndDialog(IDCANCEL);
}

bool CFindMeterDlg::DestroyWindow() {
  // Whatever ends the window closes the line the finder has open.
  KillTimer(kSweepTimer);
  finder_.reset();
  return Dialog::DestroyWindow();
}

}  // namespace kt::ui
