// Reading the address list.
#include "bus/AddressList.h"

#include <algorithm>
#include <charconv>

#include "modbus/FrameFields.h"

namespace kt::bus {
namespace {

const std::string kExample = "，例如 3,17,200 或 1-16";
const std::string kFullWidthComma = "，";

bool ParseNumber(const std::string& text, int& out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

std::string RangeText() {
  return "子机地址为 " + std::to_string(modbus::kFirstSlaveAddress) + " 到 " +
         std::to_string(modbus::kLastSlaveAddress) + " 的整数";
}

// Splits at commas and spaces; empty items are skipped.
std::vector<std::string> Items(std::string text) {
  for (size_t at = text.find(kFullWidthComma); at != std::string::npos;
       at = text.find(kFullWidthComma, at)) {
    text.replace(at, kFullWidthComma.size(), ",");
  }
  std::vector<std::string> items;
  std::string item;
  for (const char c : text) {
    if (c == ',' || c == ' ' || c == '\t') {
      if (!item.empty()) items.push_back(item);
      item.clear();
    } else {
      item += c;
    }
  }
  if (!item.empty()) items.push_back(item);
  return items;
}

bool InRange(int address) {
  return address >= modbus::kFirstSlaveAddress && address <= modbus::kLastSlaveAddress;
}

}  // namespace

AddressList ParseAddressList(const std::string& text) {
  AddressList list;
  const std::vector<std::string> items = Items(text);
  if (items.empty()) {
    list.error = "请输入子机地址" + kExample;
    return list;
  }
  for (const std::string& item : items) {
    const size_t dash = item.find('-', 1);
    int first = 0;
    int last = 0;
    const bool numbers =
        dash == std::string::npos
            ? ParseNumber(item, first) && ParseNumber(item, last)
            : ParseNumber(item.substr(0, dash), first) && ParseNumber(item.substr(dash + 1), last);
    if (!numbers) {
      list = {{}, "“" + item + "”不是子机地址或地址范围" + kExample};
      return list;
    }
    if (!InRange(first) || !InRange(last)) {
      list = {{}, "“" + item + "”超出范围：" + RangeText()};
      return list;
    }
    if (first > last) {
      list = {{}, "范围“" + item + "”有误：起始地址大于结束地址"};
      return list;
    }
    for (int a = first; a <= last; ++a) {
      const auto address = static_cast<uint8_t>(a);
      if (std::find(list.addresses.begin(), list.addresses.end(), address) ==
          list.addresses.end()) {
        list.addresses.push_back(address);
      }
    }
  }
  return list;
}

}  // namespace kt::bus
