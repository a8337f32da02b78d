// The bus tab's decisions: the list, its port, the poller's start and stop, the chosen row.
#include "bus/BusTabModel.h"

#include <algorithm>
#include <map>

#include "bus/AddressList.h"
#include "ui/CMonitorDlg.h"
#include "ui/FinderText.h"

namespace kt::bus {
namespace {

// Appends `address` when it is not listed; a name given replaces the listed one's.
void Put(std::vector<BusMeterEntry>& entries, uint8_t address, const std::string* name) {
  auto listed = std::ranges::find(entries, address, &BusMeterEntry::address);
  if (listed == entries.end()) listed = entries.insert(entries.end(), {address, ""});
  if (name != nullptr) listed->name = *name;
}

std::vector<BusMeterEntry> Entries(const AddressList& list) {
  std::vector<BusMeterEntry> entries;
  for (const uint8_t a : list.addresses) {
    const auto named = list.names.find(a);
    Put(entries, a, named != list.names.end() ? &named->second : nullptr);
  }
  return entries;
}

}  // namespace

std::string BusListKey(int32_t portNumber) {
  return "bus/port" + std::to_string(portNumber);
}

std::string BusListText(const std::vector<BusMeterEntry>& meters) {
  std::string text;
  for (const BusMeterEntry& m : meters) {
    if (!text.empty()) text += ',';
    text += std::to_string(m.address);
    if (!m.name.empty()) text += "=" + m.name;
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
  dialog.SetAddToBus(
      [this](const std::vector<finder::FoundMeter>& found) { return AddFound(found); });
}

void BusTabModel::FollowPort() {
  const int32_t port = dialog_ != nullptr ? dialog_->PortNumber() : 1;
  if (port == port_) return;
  port_ = port;
  // The meters of another port are other meters, whatever their addresses: none keeps a row.
  poller_.SetMeters({});
  poller_.SetMeters(Entries(ParseAddressList(settings_.Text(BusListKey(port_)))));
}

std::vector<BusMeterEntry> BusTabModel::ListOf(int32_t port) const {
  if (port != port_) return Entries(ParseAddressList(settings_.Text(BusListKey(port))));
  std::vector<BusMeterEntry> entries;
  for (const BusMeter& m : poller_.Meters()) entries.push_back({m.address, m.name});
  return entries;
}

void BusTabModel::SetList(const std::vector<BusMeterEntry>& entries) {
  poller_.SetMeters(entries);
  settings_.SetText(BusListKey(port_), BusListText(entries));
}

std::string BusTabModel::Add(const std::string& text) {
  FollowPort();
  const AddressList parsed = ParseAddressList(text);
  if (!parsed.error.empty()) return parsed.error;
  std::vector<BusMeterEntry> entries = ListOf(port_);
  for (const uint8_t a : parsed.addresses) {
    const auto named = parsed.names.find(a);
    Put(entries, a, named != parsed.names.end() ? &named->second : nullptr);
  }
  SetList(entries);
  return "";
}

std::string BusTabModel::AddFound(const std::vector<finder::FoundMeter>& found) {
  if (found.empty()) return kBusNoFoundMeters;
  FollowPort();
  std::map<int32_t, std::vector<uint8_t>> byPort;
  for (const finder::FoundMeter& m : found) {
    byPort[m.line.portNumber].push_back(static_cast<uint8_t>(m.address));
  }
  std::string told = "已加入总线列表：";
  for (const auto& [port, addresses] : byPort) {
    std::vector<BusMeterEntry> entries = ListOf(port);
    std::string listed;
    for (const uint8_t a : addresses) {
      Put(entries, a, nullptr);
      listed += (listed.empty() ? "" : "、") + std::to_string(a);
    }
    if (port == port_) {
      SetList(entries);
    } else {
      settings_.SetText(BusListKey(port), BusListText(entries));
    }
    told += (port == byPort.begin()->first ? "" : "；") + ui::PortText(port) + " 地址 " + listed;
  }
  return told + "。在“诊断与记录”的“总线”页按“开始”轮询。";
}

void BusTabModel::Remove(std::size_t row) {
  FollowPort();
  std::vector<BusMeterEntry> entries = ListOf(port_);
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

double BusTabModel::NominalHz() const {
  return wiring_ != nullptr ? wiring_->NominalHz() : workbench::kDefaultNominalHz;
}

double BusTabModel::CtSecondaryA() const {
  return wiring_ != nullptr ? wiring_->CtSecondaryA() : workbench::kDefaultCtSecondaryA;
}

std::vector<BusTableRow> BusTabModel::Rows() {
  FollowPort();
  return BusTableRows(poller_, NominalHz(), CtSecondaryA(), &verdicts_);
}

void BusTabModel::Choose(std::size_t row) {
  FollowPort();
  if (row >= poller_.Meters().size() || dialog_ == nullptr) return;
  dialog_->UseMeter(poller_.Meters()[row].address);
}

std::vector<workbench::CheckRow> BusTabModel::CheckRows(std::optional<std::size_t> row) {
  FollowPort();
  if (!row || *row >= poller_.Meters().size()) return {};
  const BusMeter& meter = poller_.Meters()[*row];
  if (!meter.lastBlock) return {};
  return workbench::CheckWiring(*meter.lastBlock, workbench::kWiringThresholds, NominalHz(),
                                CtSecondaryA());
}

std::string BusTabModel::CheckTitle(std::optional<std::size_t> row) {
  FollowPort();
  if (!row || *row >= poller_.Meters().size()) return kBusNoSelectionText;
  const BusMeter& meter = poller_.Meters()[*row];
  std::string title = "接线检查：地址 " + std::to_string(meter.address);
  if (!meter.name.empty()) title += "（" + meter.name + "）";
  return title + (meter.lastBlock ? "" : "，尚无测量数据");
}

bool BusTabModel::Tick() {
  // The main dialog may have gone to another port meanwhile: its meters are polled, not these.
  FollowPort();
  if (NeedsTicks()) line_.Tick();
  const uint32_t now = clock_.GetTickCount();
  if (now - lastRedraw_ < kBusRedrawMs) return false;
  lastRedraw_ = now;
  return true;
}

uint32_t BusTabModel::TimerMs(bool shown) const {
  if (NeedsTicks()) return kBusTickMs;
  return shown ? kBusRedrawMs : 0;
}

}  // namespace kt::bus
