// The workbench's settings in memory, as a front end's would keep them.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "workbench/WorkbenchSettings.h"

namespace kt::testing {

struct MemorySettings : workbench::WorkbenchSettings {
  std::optional<workbench::ScreenRect> frame;
  std::optional<double> numbers[2];
  std::string folder;
  std::map<std::string, std::string> texts;

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
  std::string Text(const std::string& key) const override {
    const auto at = texts.find(key);
    return at != texts.end() ? at->second : "";
  }
  void SetText(const std::string& key, const std::string& value) override { texts[key] = value; }
};

}  // namespace kt::testing
