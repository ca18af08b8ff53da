// Where a widget's image holds ink: pixels clearly darker than the
// background.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

namespace ink {

inline bool IsInk(QRgb pixel, QRgb background) {
  return qGray(pixel) + 60 < qGray(background);
}

// The bounding box of ink within area (the whole image when area is null).
inline QRect Box(const QImage& image, QRgb background, QRect area = QRect()) {
  if (area.isNull()) area = image.rect();
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (IsInk(image.pixel(x, y), background)) box |= QRect(x, y, 1, 1);
  return box;
}

inline QImage Grab(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace ink
