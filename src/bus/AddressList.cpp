// Reading the address list.
#include "bus/AddressList.h"

#include <algorithm>
#include <charconv>

#include "modbus/FrameFields.h"

namespace kt::bus {
namespace {

const std::string kExample = "，例如 3,17,200 或 1-16";

bool ParseNumber(const std::string& text, int& out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

std::string RangeText() {
  return "子机地址为 " + std::to_string(modbus::kFirstSlaveAddress) + " 到 " +
         std::to_string(modbus::kLastSlaveAddress) + " 的整数";
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string Trimmed(const std::string& text) {
  const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank).base();
  return first < last ? std::string(first, last) : std::string();
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

// The pieces between commas; empty ones are skipped.
std::vector<std::string> Pieces(const std::string& text) {
  std::vector<std::string> pieces;
  std::string piece;
  for (const char c : Replaced(Replaced(text, "，", ","), "＝", "=") + ",") {
    if (c != ',') {
      piece += c;
    } else if (!Trimmed(piece).empty()) {
      pieces.push_back(Trimmed(piece));
      piece.clear();
    }
  }
  return pieces;
}

// A piece without a name: addresses and ranges separated by spaces.
std::vector<std::string> Items(const std::string& piece) {
  std::vector<std::string> items;
  std::string item;
  for (const char c : piece + " ") {
    if (!IsBlank(c)) {
      item += c;
    } else if (!item.empty()) {
      items.push_back(item);
      item.clear();
    }
  }
  return items;
}

bool InRange(int address) {
  return address >= modbus::kFirstSlaveAddress && address <= modbus::kLastSlaveAddress;
}

// Adds the addresses of one item ("17" or "1-16") to `list`; false with list.error set.
bool TakeItem(const std::string& item, AddressList& list) {
  const size_t dash = item.find('-', 1);
  int first = 0;
  int last = 0;
  const bool numbers =
      dash == std::string::npos
          ? ParseNumber(item, first) && ParseNumber(item, last)
          : ParseNumber(item.substr(0, dash), first) && ParseNumber(item.substr(dash + 1), last);
  if (!numbers) {
    list.error = "“" + item + "”不是子机地址或地址范围" + kExample;
  } else if (!InRange(first) || !InRange(last)) {
    list.error = "“" + item + "”超出范围：" + RangeText();
  } else if (first > last) {
    list.error = "范围“" + item + "”有误：起始地址大于结束地址";
  }
  if (!list.error.empty()) return false;
  for (int a = first; a <= last; ++a) {
    const auto address = static_cast<uint8_t>(a);
    if (std::ranges::find(list.addresses, address) == list.addresses.end()) {
      list.addresses.push_back(address);
    }
  }
  return true;
}

}  // namespace

AddressList ParseAddressList(const std::string& text) {
  AddressList list;
  const std::vector<std::string> pieces = Pieces(text);
  if (pieces.empty()) list.error = "请输入子机地址" + kExample;
  for (const std::string& piece : pieces) {
    const size_t equals = piece.find('=');
    if (equals == std::string::npos) {
      for (const std::string& item : Items(piece)) {
        if (!TakeItem(item, list)) return {{}, {}, list.error};
      }
      continue;
    }
    const std::string address = Trimmed(piece.substr(0, equals));
    int single = 0;
    if (!ParseNumber(address, single)) {
      return {{}, {}, "“" + piece + "”有误：名称只能给一个子机地址，例如 17=进线柜"};
    }
    if (!TakeItem(address, list)) return {{}, {}, list.error};
    list.names[static_cast<uint8_t>(single)] = Trimmed(piece.substr(equals + 1));
  }
  if (!list.error.empty()) list.addresses.clear();
  return list;
}

}  // namespace kt::bus
