// The workbench's settings in memory, as a front end's would keep them.
#pragma once

#include <optional>
#include <string>

#include "workbench/WorkbenchSettings.h"

namespace kt::testing {

struct MemorySettings : workbench::WorkbenchSettings {
  std::optional<workbench::ScreenRect> frame;
  std::optional<double> numbers[2];
  std::string folder;
  std::string texts[3];

  std::optional<workbench::ScreenRect> Frame() const override { return frame; }
  void SetFrame(const workbench::ScreenRect& f) override { frame = f; }
  std::optional<double> Number(workbench::NumberSetting which) const override {
    return numbers[static_cast<int>(which)];
  }
  void SetNumber(workbench::NumberSetting which, double value) override {
    numbers[static_cast<int>(which)] = value;
  }
  std::string ExportFolder() const override { return folder; }
  void SetExportFolder(const std::string& f) override { folder = f; }
  std::string Text(workbench::TextSetting which) const override {
    return texts[static_cast<int>(which)];
  }
  void SetText(workbench::TextSetting which, const std::string& t) override {
    texts[static_cast<int>(which)] = t;
  }
};

}  // namespace kt::testing
