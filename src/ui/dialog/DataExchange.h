// Data exchange between dialog fields and control texts, with the standard validation prompts.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace kt::ui {

class Dialog;

// Standard prompts for a bad entry.
inline constexpr const char* kPromptInteger = "请输入一个整数。";
inline constexpr const char* kPromptUnsigned = "请输入一个正整数。";
inline constexpr const char* kPromptByte = "请输入一个介于 0 和 255 之间的整数。";
// "请输入一个介于 <min> 和 <max> 之间的整数。"
std::string RangePrompt(long long min, long long max);

// Thrown by the exchange functions in the saving direction on a bad entry; Dialog::UpdateData
// catches it, shows the prompt and reports failure.
class DataExchangeFailure : public std::runtime_error {
 public:
  explicit DataExchangeFailure(const std::string& prompt) : std::runtime_error(prompt) {}
};

class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool saveAndValidate) : dialog_(dialog), save_(saveAndValidate) {}

  bool saveAndValidate() const { return save_; }
  Dialog& dialog() const { return dialog_; }

  // Remembers how to give the field of the latest exchange its value before it, so that a
  // failed validation leaves the field at its last valid value.
  void RememberRestore(std::function<void()> restore) { restore_ = std::move(restore); }
  // Restores the latest field and throws DataExchangeFailure(prompt).
  [[noreturn]] void Fail(const std::string& prompt);

 private:
  Dialog& dialog_;
  bool save_;
  std::function<void()> restore_;
};

// Text <-> number. In the saving direction a text that is not such a number (surrounding blanks
// allowed) throws with the standard prompt and leaves the field unchanged.
void DDX_Text(DataExchange& dx, int controlId, uint8_t& value);   // 0..255
void DDX_Text(DataExchange& dx, int controlId, int32_t& value);   // signed 32-bit
void DDX_Text(DataExchange& dx, int controlId, uint32_t& value);  // unsigned 32-bit

// Range checks, in the saving direction only; on failure the field gets its value from before
// the latest DDX_Text back and the range prompt is thrown.
void DDV_MinMaxByte(DataExchange& dx, uint8_t value, uint8_t min, uint8_t max);
void DDV_MinMaxUInt(DataExchange& dx, uint32_t value, uint32_t min, uint32_t max);

// Parses a whole decimal number with optional blanks around it (and a sign for signed);
// returns false when the text is not one or does not fit.
bool ParseSigned(const std::string& text, long long min, long long max, long long& out);
bool ParseUnsigned(const std::string& text, unsigned long long max, unsigned long long& out);

}  // namespace kt::ui
