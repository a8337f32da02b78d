// Writing JSON by hand: strings escaped as RFC 8259 asks, numbers that JSON can carry.
#pragma once

#include <string>
#include <string_view>

namespace kt::service {

// `text` as a JSON string with its quotes: ", \ and control characters escaped; UTF-8 passes
// unchanged, and a byte that is no part of valid UTF-8 becomes U+FFFD.
std::string JsonString(std::string_view text);

// A decimal text ("230.12", "-0.5") as it is, or null when it is no finite number.
std::string JsonNumber(std::string_view decimal);

}  // namespace kt::service
