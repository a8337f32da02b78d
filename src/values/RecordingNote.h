// What the main dialog's link band says about the recording. The workbench decides it; the
// dialog only shows it, in red while it warns.
#pragma once

#include <string>

namespace kt::values {

struct RecordingNote {
  std::string text;  // "记录中", "记录已停止" or ""
  bool alarming = false;
};

}  // namespace kt::values
