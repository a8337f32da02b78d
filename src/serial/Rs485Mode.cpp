// Whether RS-485 mode is asked for (the platform turns it on: posix/EnableRs485Mode.cpp).
#include "serial/Rs485Mode.h"

namespace kt::serial {

bool Rs485Requested(const EnvironmentLookup& environment) {
  const EnvironmentLookup& lookup =
      environment ? environment : EnvironmentLookup(ProcessEnvironment);
  const std::optional<std::string> value = lookup(kRs485Variable);
  return value && *value == "1";
}

}  // namespace kt::serial
