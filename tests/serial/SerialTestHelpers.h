// Small helpers of the serial tests: the refusal a call raised, an environment from a table.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "serial/PortName.h"
#include "serial/SerialError.h"

namespace kt::serial::testing {

// What `action` was refused with, or nothing when it went through.
template <typename Action>
std::optional<SerialError> Refusal(Action action) {
  try {
    action();
  } catch (const SerialError& e) {
    return e;
  }
  return std::nullopt;
}

// An environment holding just `vars`.
inline EnvironmentLookup Only(std::map<std::string, std::string> vars) {
  return [vars = std::move(vars)](const std::string& name) -> std::optional<std::string> {
    const auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
  };
}

}  // namespace kt::serial::testing
