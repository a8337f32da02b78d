// kt7340d's options.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kt::service {

enum class ServiceAction { Run, CheckConfig, Once, Help, Version };

struct ServiceOptions {
  ServiceAction action = ServiceAction::Run;
  std::string configPath = "/etc/kt7340/kt7340d.toml";
};

// Exit codes: 0 done, 1 a failure while running, 2 bad options or a bad configuration file.
inline constexpr int kExitFailure = 1;
inline constexpr int kExitBadInput = 2;

// The options, or a message (Chinese and English) for the first one not understood.
std::optional<ServiceOptions> ParseServiceOptions(const std::vector<std::string>& args,
                                                  std::string& error);
std::string ServiceHelp();

}  // namespace kt::service
