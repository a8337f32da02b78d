// The process's environment, as the platform gives it.
#pragma once

#include <optional>
#include <string>

namespace kt::app {

// The value of the variable `name`, or nothing when it is not set: the bytes as they are on
// POSIX, UTF-8 on Windows (from the system's UTF-16).
std::optional<std::string> EnvironmentValue(const char* name);

}  // namespace kt::app
