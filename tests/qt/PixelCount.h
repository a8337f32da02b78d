// Counting pixels of a grabbed widget by colour.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdlib>
#include <functional>

namespace kt::ui::qt::test {

struct Pixels {
  int red = 0;       // text drawn in red
  int dark = 0;      // text drawn in black
  int paleCyan = 0;  // the status brush 181, 240, 249
  int grey = 0;      // text drawn in mid grey
  int total = 0;
};

inline Pixels CountPixels(QWidget& w) {
  const QImage img = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
  Pixels p;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      ++p.total;
      if (c.red() > 180 && c.green() < 90 && c.blue() < 90) ++p.red;
      if (c.red() < 70 && c.green() < 70 && c.blue() < 70) ++p.dark;
      if (c.red() == 181 && c.green() == 240 && c.blue() == 249) ++p.paleCyan;
      if (c.red() > 110 && c.red() < 150 && std::abs(c.red() - c.green()) < 10 &&
          std::abs(c.green() - c.blue()) < 10) {
        ++p.grey;
      }
    }
  }
  return p;
}

}  // namespace kt::ui::qt::test
