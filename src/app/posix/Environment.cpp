// The environment's bytes, whatever their encoding.
#include "app/Environment.h"

#include <cstdlib>

namespace kt::app {

std::optional<std::string> EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace kt::app
