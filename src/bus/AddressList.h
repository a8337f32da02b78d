// The address list the user types: "3,17,200", "1-16" or both ("1-4, 9").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kt::bus {

struct AddressList {
  std::vector<uint8_t> addresses;  // 1..247, in the order typed, each once
  std::string error;               // "" or what is wrong, in Chinese
};

// Items separated by commas (also "，") or spaces; an item is an address or a range "A-B" with
// A <= B. Anything else gives an error and no addresses.
AddressList ParseAddressList(const std::string& text);

}  // namespace kt::bus
