// The finder's texts, with the labels the settings dialogs already show.
#include "ui/FinderText.h"

#include "commands/MeterSetDialogIds.h"
#include "commands/MeterSetDialogTemplate.h"
#include "serial/LineSettingsTable.h"
#include "ui/CommSetDialogIds.h"
#include "ui/CommSetDialogTemplate.h"

namespace kt::ui {
namespace {

constexpr const char* kNotKnown = "—";
constexpr const char* kSetOnServer = "服务器设定";
constexpr int kWiringModes = 6;

std::string LabelOf(const DialogTemplate& dialog, int controlId) {
  const ControlTemplate* control = dialog.Find(controlId);
  return control != nullptr ? control->text : "";
}

}  // namespace

std::string PortText(int32_t portNumber) {
  return "COM" + std::to_string(portNumber);
}

std::string BaudText(int32_t baudRate) {
  for (size_t i = 0; i < serial::kBaudRows.size(); ++i) {
    if (serial::kBaudRows[i].baudRate == baudRate) {
      return LabelOf(CommSetDialogTemplate(), comm_set_ids::kBaudRadios[i]);
    }
  }
  return std::to_string(baudRate) + "bps";
}

std::string ParityText(int32_t parity) {
  for (size_t i = 0; i < serial::kParityRows.size(); ++i) {
    if (serial::kParityRows[i].meterCode == parity) {
      return LabelOf(CommSetDialogTemplate(), comm_set_ids::kParityRadios[i]);
    }
  }
  return kNotKnown;
}

std::string WiringText(uint8_t wiringMode) {
  if (wiringMode >= kWiringModes) return "接线方式 " + std::to_string(wiringMode);
  return LabelOf(MeterSetDialogTemplate(), meter_set_ids::kFirstWiringRadio + wiringMode);
}

std::string AttemptText(const finder::Attempt& attempt) {
  std::string text = PortText(attempt.line.portNumber);
  if (attempt.setting) {
    // Appended piece by piece: GCC 12 at -O2 warns falsely (-Wrestrict) on " " + a temporary.
    text.append(" ").append(BaudText(attempt.setting->baudRate));
    text.append(" ").append(ParityText(attempt.setting->parity));
  }
  return text + " 地址 " + std::to_string(attempt.address);
}

std::vector<std::string> FoundMeterCells(const finder::FoundMeter& meter) {
  std::vector<std::string> cells = {PortText(meter.line.portNumber)};
  if (meter.setting) {
    cells.push_back(BaudText(meter.setting->baudRate));
    cells.push_back(ParityText(meter.setting->parity));
  } else {
    cells.insert(cells.end(), {kSetOnServer, kSetOnServer});
  }
  cells.push_back(std::to_string(meter.address));
  if (meter.configuration) {
    cells.push_back(WiringText(meter.configuration->wiringMode));
    cells.push_back(std::to_string(meter.configuration->ptRatio));
    cells.push_back(std::to_string(meter.configuration->ctRatio));
  } else {
    cells.insert(cells.end(), {kNotKnown, kNotKnown, kNotKnown});
  }
  return cells;
}

std::string FailureText(const finder::LineFailure& failure) {
  return PortText(failure.line.portNumber) + "：" + failure.reason;
}

int ProgressPercent(const finder::FinderProgress& progress) {
  if (progress.probesTotal == 0) return 100;
  return static_cast<int>(progress.probesDone * 100 / progress.probesTotal);
}

std::string ProgressText(const finder::FinderProgress& progress) {
  const uint64_t seconds = (progress.remainingMs + 999) / 1000;
  std::string left = std::to_string(seconds % 60) + " 秒";
  if (seconds >= 60) left = std::to_string(seconds / 60) + " 分 " + left;
  return "已完成 " + std::to_string(ProgressPercent(progress)) + "%，约剩 " + left;
}

std::string SummaryText(size_t metersFound) {
  if (metersFound == 0) return "未找到仪表";
  return "找到 " + std::to_string(metersFound) + " 台仪表";
}

}  // namespace kt::ui
