// The bus tab's decisions: the list, its port, the poller's start and stop, the chosen row.
#include "bus/BusTabModel.h"

#include <algorithm>

#include "bus/AddressList.h"
#include "ui/CMonitorDlg.h"

namespace kt::bus {

std::string BusListKey(int32_t portNumber) {
  return "bus/port" + std::to_string(portNumber);
}

std::string BusListText(const std::vector<BusMeterEntry>& meters) {
  std::string text;
  for (const BusMeterEntry& m : meters) {
    if (!text.empty()) text += ',';
    text += std::to_string(m.address);
  }
  return text;
}

BusTabModel::BusTabModel(LineScheduler& line, modbus::Clock& clock,
                         workbench::WorkbenchSettings& settings)
    : line_(line), clock_(clock), settings_(settings), poller_(clock) {
  line_.SetClient(&poller_);
}

BusTabModel::~BusTabModel() {
  // The dialog ended before (AttachTo): only the line is left to tell.
  line_.SetClient(nullptr);
}

void BusTabModel::AttachTo(ui::CMonitorDlg& dialog) {
  dialog_ = &dialog;
  dialog.AddListener(poller_);
}

void BusTabModel::FollowPort() {
  const int32_t port = dialog_ != nullptr ? dialog_->PortNumber() : 1;
  if (port == port_) return;
  port_ = port;
  std::vector<BusMeterEntry> entries;
  for (const uint8_t a : ParseAddressList(settings_.Text(BusListKey(port_))).addresses) {
    entries.push_back({a, ""});
  }
  poller_.SetMeters(entries);
}

void BusTabModel::SetList(const std::vector<BusMeterEntry>& entries) {
  poller_.SetMeters(entries);
  settings_.SetText(BusListKey(port_), BusListText(entries));
}

std::string BusTabModel::Add(const std::string& text) {
  FollowPort();
  const AddressList parsed = ParseAddressList(text);
  if (!parsed.error.empty()) return parsed.error;
  std::vector<BusMeterEntry> entries;
  for (const BusMeter& m : poller_.Meters()) entries.push_back({m.address, m.name});
  for (const uint8_t a : parsed.addresses) {
    const bool listed =
        std::ranges::any_of(entries, [a](const BusMeterEntry& e) { return e.address == a; });
    if (!listed) entries.push_back({a, ""});
  }
  SetList(entries);
  return "";
}

void BusTabModel::Remove(std::size_t row) {
  FollowPort();
  std::vector<BusMeterEntry> entries;
  for (const BusMeter& m : poller_.Meters()) entries.push_back({m.address, m.name});
  if (row >= entries.size()) return;
  entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(row));
  SetList(entries);
}

void BusTabModel::StartStop() {
  FollowPort();
  if (Running()) {
    poller_.Stop();
  } else {
    poller_.Start();
    lastRedraw_ = clock_.GetTickCount();
  }
}

std::vector<BusTableRow> BusTabModel::Rows() {
  FollowPort();
  return BusTableRows(poller_);
}

void BusTabModel::Choose(std::size_t row) {
  FollowPort();
  if (row >= poller_.Meters().size() || dialog_ == nullptr) return;
  dialog_->UseMeter(poller_.Meters()[row].address);
}

bool BusTabModel::Tick() {
  line_.Tick();
  const uint32_t now = clock_.GetTickCount();
  if (now - lastRedraw_ < kBusRedrawMs) return false;
  lastRedraw_ = now;
  return true;
}

}  // namespace kt::bus
