// The service's log: one line per event, with its priority for the journal.
#pragma once

#include <functional>
#include <string>

namespace kt::service {

enum class LogLevel { Error = 3, Warning = 4, Info = 6 };

using Log = std::function<void(LogLevel level, const std::string& text)>;

// "<4>text" as systemd's journal reads a priority from a service's output, or the plain text.
std::string LogLine(LogLevel level, const std::string& text, bool forJournal);

}  // namespace kt::service
