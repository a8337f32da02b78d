// The colours of the traffic log's lines, by what a line is: one table for every front end.
#pragma once

#include <array>
#include <cstdint>

#include "workbench/TrafficLog.h"

namespace kt::workbench {

enum class TrafficRole { Request, Reply, Error, Event, Date };

struct Rgb {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};

// On a light background: requests blue, replies green, errors red, port events brown, dates
// grey. Indexed by TrafficRole.
inline constexpr std::array<Rgb, 5> kTrafficRoleColours = {{
    {0x1F, 0x4E, 0xB4},  // Request
    {0x1B, 0x70, 0x2A},  // Reply
    {0xC8, 0x10, 0x10},  // Error
    {0x8A, 0x50, 0x00},  // Event
    {0x6E, 0x6E, 0x6E},  // Date
}};

// Errors (a missed or bad reply, a discard, a port fault) are red whatever their kind.
constexpr TrafficRole RoleOf(const TrafficLine& line) {
  if (line.isError) return TrafficRole::Error;
  switch (line.kind) {
    case TrafficKind::Sent:
      return TrafficRole::Request;
    case TrafficKind::Received:
      return TrafficRole::Reply;
    case TrafficKind::Discarded:
      return TrafficRole::Error;
    case TrafficKind::Event:
      return TrafficRole::Event;
    case TrafficKind::Date:
      return TrafficRole::Date;
  }
  return TrafficRole::Event;
}

constexpr Rgb ColourOf(TrafficRole role) {
  return kTrafficRoleColours[static_cast<size_t>(role)];
}

}  // namespace kt::workbench
