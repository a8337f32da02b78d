// The bus tab's "生成报告…": every listed meter with a block in one report.
#include "bus/BusTabModel.h"
#include "ui/CMonitorDlg.h"

namespace kt::bus {

std::optional<report::Report> BusTabModel::MakeBusReport(workbench::WorkbenchModel& workbench,
                                                         const report::ReportTitle& title) const {
  report::Report made{title, {}};
  const ui::MainDialogLine line =
      dialog_ != nullptr ? dialog_->Line() : ui::MainDialogLine{port_, 9600, 0, false, 0};
  for (const BusMeter& meter : poller_.Meters()) {
    if (!meter.lastBlock) continue;
    report::ReportMeter page;
    page.name = meter.name;
    // The accuracy class is read by the main dialog for its own meter only: the one whose blocks
    // it decodes now, not one it fed before it was given another.
    const values::MeasuredBlock* latest = workbench.Wiring().LatestBlock();
    const bool mainMeter =
        meter.fedByMainDialog && latest != nullptr && latest->slaveAddress == meter.address;
    page.settings = {
        line.portNumber,    line.baudRate,  line.parity, mainMeter && line.accuracyKnown,
        line.accuracyClass, CtSecondaryA(), NominalHz()};
    page.block = *meter.lastBlock;
    // The trend store holds the main dialog's meter's blocks.
    if (mainMeter) page.trend = &workbench.Trend().Store();
    page.linkCounters = meter.link.CounterText();
    made.meters.push_back(std::move(page));
  }
  if (made.meters.empty()) return std::nullopt;
  return made;
}

void BusTabModel::MakeReport(workbench::WorkbenchModel& workbench,
                             const report::ReportFrontEnd& front) {
  FollowPort();
  report::MakeReportFile(
      workbench.Settings(),
      [this, &workbench](const report::ReportTitle& title) {
        return MakeBusReport(workbench, title);
      },
      kBusNoDataForReport, front);
}

}  // namespace kt::bus
