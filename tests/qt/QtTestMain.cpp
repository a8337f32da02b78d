// GoogleTest main with a QApplication on the platform the environment names (offscreen in ctest).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();  // listing needs no display
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
