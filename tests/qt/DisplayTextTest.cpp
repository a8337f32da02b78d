// What text widgets show for control texts with carriage returns.
#include <gtest/gtest.h>

#include "qt/DisplayText.h"

namespace kt::ui::qt {
namespace {

TEST(DisplayText, LoneCarriageReturnsVanishAndCrLfBreaksTheLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"01\r 03\r 00\r ", "01 03 00 "},  // the echo text: one row of bytes
      {"串行口: 1 \r\n\r\n波特率: 9600 \r\n", "串行口: 1 \n\n波特率: 9600 \n"},
      {"\r", ""},
      {"\r\r\n", "\n"},
      {"a\nb", "a\nb"},
      {"", ""},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(DisplayText(text).toStdString(), shown) << text;
}

TEST(DisplayText, TypedLineBreaksComeBackAsCrLf) {
  EXPECT_EQ(ControlText(QString::fromUtf8("第一行\n第二行")), "第一行\r\n第二行");
  EXPECT_EQ(ControlText(QStringLiteral("12")), "12");
}

}  // namespace
}  // namespace kt::ui::qt
