// Log lines.
#include "service/ServiceLog.h"

namespace kt::service {

std::string LogLine(LogLevel level, const std::string& text, bool forJournal) {
  if (!forJournal) return text;
  return "<" + std::to_string(static_cast<int>(level)) + ">" + text;
}

}  // namespace kt::service
