// The address list the user types: "3,17,200", "1-16" or both ("1-4, 9"), and names given to
// single addresses ("17=进线柜"). The bus tab stores its list in the same form.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kt::bus {

struct AddressList {
  std::vector<uint8_t> addresses;        // 1..247, in the order typed, each once
  std::map<uint8_t, std::string> names;  // the names typed with "=" ("" when cleared: "17=")
  std::string error;                     // "" or what is wrong, in Chinese
};

// Items separated by commas (also "，"); between commas, an item "A=name" names one address (the
// name runs to the next comma, spaces around it dropped), anything else is addresses or ranges
// "A-B" with A <= B, separated by spaces too. Anything else gives an error and no addresses.
AddressList ParseAddressList(const std::string& text);

}  // namespace kt::bus
