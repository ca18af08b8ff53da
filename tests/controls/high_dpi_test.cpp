// The markup controls on a screen of device pixel ratio above 1 (the suite
// runs under QT_SCALE_FACTOR): captions are drawn in device pixels, sharp,
// at the size they have in logical pixels.
#include <QApplication>
#include <cmath>
#include <gtest/gtest.h>

#include "lexaro/controls.h"
#include "tests/controls/ink.h"

namespace {

constexpr const char* kMarkup = "<FRAC><S>1</S><S>x<SUP>2</SUP></S></FRAC><SQRT>ab</SQRT>";

// Aligned 2 x 2 blocks of the image that are not of one colour.
int MixedBlocks(const QImage& image) {
  int mixed = 0;
  for (int y = 0; y + 1 < image.height(); y += 2)
    for (int x = 0; x + 1 < image.width(); x += 2) {
      QRgb p = image.pixel(x, y);
      mixed += image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p || image.pixel(x + 1, y + 1) != p;
    }
  return mixed;
}

TEST(HighDpi, CaptionsAreDrawnInDevicePixelsAtTheirLogicalSize) {
  const double ratio = qApp->devicePixelRatio();
  ASSERT_GT(ratio, 1.0) << "run with QT_SCALE_FACTOR above 1";
  QFont font("DejaVu Sans");
  font.setPixelSize(16);

  // The extent in logical pixels, as a surface at the widget's resolution
  // lays it out.
  CStatic_LX label(kMarkup);
  label.setFont(font);
  CRasterDC probe(0, 0);
  probe.SetResolution(label.logicalDpiY());
  UseEngineFont(LogFontFromQFont(font, label.logicalDpiY()));
  CLexaro engine;
  engine.SetText(&probe, kMarkup);
  CSize logical = engine.GetTextExtent(&probe);
  ASSERT_GT(logical.cx, 10);
  EXPECT_EQ(label.sizeHint(), QSize(logical.cx, logical.cy));

  CButton_LX button(kMarkup);
  button.setFont(font);
  QWidget parent;
  CButton_LX_Ex radio(CButton_LX_Ex::RadioButton, kMarkup, &parent);
  radio.setFont(font);
  radio.Caption().setFont(font);
  struct Case {
    const char* name;
    QWidget* widget;
    QSize size;
    int edge;  // logical pixels of face edges around the caption
  };
  const Case cases[] = {{"label", &label, QSize(logical.cx, logical.cy), 0},
                        {"button", &button, QSize(logical.cx + 16, logical.cy + 12), 3},
                        {"check", &radio, QSize(logical.cx + 2 + CButton_LX_Ex::kIndicatorWidth, logical.cy + 2), 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.widget->sizeHint(), c.size) << c.name;
    c.widget->resize(c.size);
    QWidget* drawn = c.widget == &radio ? &radio.Caption() : c.widget;
    QPixmap grab = drawn->grab();
    EXPECT_EQ(grab.devicePixelRatio(), ratio) << c.name;
    QImage image = grab.toImage().convertToFormat(QImage::Format_RGB32);
    // The ink spans most of the logical extent, scaled to device pixels.
    int edge = int(std::ceil(c.edge * ratio));
    QRect box = ink::Box(image, image.pixel(image.width() / 2, edge), image.rect().adjusted(edge, edge, -edge, -edge));
    EXPECT_NEAR(box.width(), logical.cx * ratio, 2 + logical.cx * ratio / 4) << c.name;
    EXPECT_NEAR(box.height(), logical.cy * ratio, 2 + logical.cy * ratio / 4) << c.name;
    // Not a logical drawing magnified: many 2 x 2 blocks hold detail.
    if (ratio >= 2) {
      EXPECT_GT(MixedBlocks(image), box.width() * box.height() / 40) << c.name;
    }
  }
}

}  // namespace
