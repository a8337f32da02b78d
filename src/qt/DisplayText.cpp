// Conversion between control texts and what a Qt text widget shows.
#include "qt/DisplayText.h"

namespace kt::ui::qt {

QString DisplayText(const std::string& utf8) {
  std::string shown;
  shown.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] != '\r') {
      shown += utf8[i];
    } else if (i + 1 < utf8.size() && utf8[i + 1] == '\n') {
      shown += '\n';
      ++i;
    }
  }
  return QString::fromStdString(shown);
}

std::string ControlText(const QString& shown) {
  const std::string plain = shown.toStdString();
  std::string text;
  text.reserve(plain.size());
  for (char c : plain) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

}  // namespace kt::ui::qt
