// The workbench model: its parts, fed from the main dialog's events.
#include "workbench/WorkbenchModel.h"

#include "workbench/WorkbenchLook.h"

namespace kt::workbench {

WorkbenchModel::WorkbenchModel(WorkbenchSettings& settings, std::unique_ptr<RecordFiles> files)
    : settings_(settings),
      recording_(std::move(files)),
      wiring_(settings),
      frame_(settings),
      tabTitles_(kWorkbenchTabTitles.begin(), kWorkbenchTabTitles.end()) {
  blocks_.Subscribe([this](const values::MeasuredBlock& block) { recording_.Write(block); });
  blocks_.Subscribe([this](const values::MeasuredBlock& block) { trend_.AddBlock(block); });
  blocks_.Subscribe([this](const values::MeasuredBlock& block) { wiring_.AddBlock(block); });
}

std::string LogCountText(const TrafficLog& log) {
  return "共 " + std::to_string(log.EventCount()) + " 条";
}

std::size_t WorkbenchModel::AddTab(std::string title) {
  tabTitles_.push_back(std::move(title));
  return tabTitles_.size() - 1;
}

void WorkbenchModel::OnFrameSent(std::span<const uint8_t> frame) {
  log_.OnFrameSent(frame);
  for (values::MonitorListener* l : listeners_) l->OnFrameSent(frame);
}

void WorkbenchModel::OnReadTaken(const values::ReadTaken& read) {
  log_.OnReadTaken(read);
  for (values::MonitorListener* l : listeners_) l->OnReadTaken(read);
}

void WorkbenchModel::OnInputDiscarded(std::span<const uint8_t> bytes) {
  log_.OnInputDiscarded(bytes);
  for (values::MonitorListener* l : listeners_) l->OnInputDiscarded(bytes);
}

void WorkbenchModel::OnPortEvent(const values::PortEvent& event) {
  log_.OnPortEvent(event);
  for (values::MonitorListener* l : listeners_) l->OnPortEvent(event);
}

void WorkbenchModel::OnBlockDecoded(const values::MeasuredBlock& block) {
  log_.OnBlockDecoded(block);
  blocks_.OnBlockDecoded(block);
  for (values::MonitorListener* l : listeners_) l->OnBlockDecoded(block);
}

}  // namespace kt::workbench
