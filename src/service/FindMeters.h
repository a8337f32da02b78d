// `find = true`: the finder run once at start on those lines, and what it lists taken as meters.
#pragma once

#include <functional>

#include "modbus/Clock.h"
#include "service/ServiceConfig.h"
#include "service/ServiceLog.h"

namespace kt::service {

// Sweeps every line with `find` set at once; adds each meter found at the line's settings (or,
// where the file gives none, at the settings of the first meter found, which the line takes).
// Stops early when `stopAsked` says so. Returns false when the stop came first.
bool FindMeters(ServiceConfig& config, modbus::Clock& clock, const Log& log,
                const std::function<bool()>& stopAsked);

}  // namespace kt::service
