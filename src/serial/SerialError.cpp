// The typed serial error.
#include "serial/SerialError.h"

#include <cstring>

namespace kt::serial {
namespace {

std::string Summary(const SerialFault& f) {
  std::string text = f.device.empty() ? "serial" : f.device;
  if (!f.detail.empty()) text += ": " + f.detail;
  if (f.systemError != 0) text += std::string(" (") + std::strerror(f.systemError) + ")";
  return text;
}

}  // namespace

SerialError::SerialError(SerialFault fault)
    : std::runtime_error(Summary(fault)), fault_(std::move(fault)) {}

SerialError::SerialError(SerialErrorKind kind, std::string device, std::string reason)
    : SerialError(SerialFault{.kind = kind,
                              .operation = SerialOperation::Open,
                              .device = std::move(device),
                              .detail = std::move(reason)}) {}

}  // namespace kt::serial
