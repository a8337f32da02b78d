// Counting pixels of a grabbed widget by colour.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <cstdlib>

namespace kt::ui::qt::test {

struct Pixels {
  int red = 0;       // text drawn in red
  int dark = 0;      // text drawn in black
  int paleCyan = 0;  // the status brush 181, 240, 249
  int total = 0;
};

inline Pixels CountPixels(QWidget& w) {
  const QImage img = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
  Pixels p;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      ++p.total;
      p.red += c.red() > 180 && c.green() < 90 && c.blue() < 90;
      p.dark += c.red() < 70 && c.green() < 70 && c.blue() < 70;
      p.paleCyan += c == QColor(181, 240, 249);
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
