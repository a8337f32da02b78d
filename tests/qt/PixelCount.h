// Counting pixels of a grabbed widget by colour.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
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

// Pixels of `image` within `area` whose channels differ from `colour` by less than `tolerance` in
// all (text and lines are smoothed at their edges).
inline int PixelsNear(const QImage& image, const QRect& area, const QColor& colour, int tolerance) {
  int n = 0;
  const QRect inside = area.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      n += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
               std::abs(c.blue() - colour.blue()) <
           tolerance;
    }
  }
  return n;
}

}  // namespace kt::ui::qt::test
