// The markup label: placement by alignment, layout kept while the text is
// unchanged, button mode and the focus rectangle.
#include <gtest/gtest.h>

#include "lexaro/controls.h"
#include "tests/controls/ink.h"

namespace {

constexpr const char* kMarkup = "<FRAC><S>1</S><S>x<SUP>2</SUP></S></FRAC>";

QFont PixelFont(int pixels) {
  QFont font("DejaVu Sans");
  font.setPixelSize(pixels);
  return font;
}

QRgb Background(const QWidget& w) { return w.palette().color(QPalette::Window).rgb(); }

TEST(StaticLX, AlignmentPlacesTheDrawingInsideItsExtent) {
  struct Case {
    Qt::Alignment align;
    UINT style;
  };
  const Case cases[] = {{Qt::AlignLeft | Qt::AlignTop, 0},
                        {Qt::AlignHCenter | Qt::AlignTop, SS_CENTER},
                        {Qt::AlignRight | Qt::AlignTop, SS_RIGHT},
                        {Qt::AlignLeft | Qt::AlignVCenter, SS_CENTERIMAGE},
                        {Qt::AlignCenter, SS_CENTER | SS_CENTERIMAGE}};
  for (const Case& c : cases) {
    CStatic_LX label(kMarkup);
    label.setFont(PixelFont(16));
    label.setAlignment(c.align);
    label.resize(201, 121);
    EXPECT_EQ(label.GetStyle(), c.style);
    QImage image = ink::Grab(&label);
    CRasterDC probe(0, 0);
    CSize size = label.Engine().GetTextExtent(&probe);
    ASSERT_GT(size.cx, 0);
    int x = c.style & SS_CENTER ? (201 - size.cx) / 2 : c.style & SS_RIGHT ? 201 - size.cx : 0;
    int y = c.style & SS_CENTERIMAGE ? (121 - size.cy) / 2 : 0;
    QRect expected(x, y, size.cx, size.cy);
    QRect box = ink::Box(image, Background(label));
    ASSERT_FALSE(box.isNull()) << "style " << c.style;
    EXPECT_TRUE(expected.adjusted(-1, -1, 1, 1).contains(box)) << "style " << c.style;
    // The drawing fills most of its extent, so it cannot sit elsewhere.
    EXPECT_GT(box.width(), size.cx / 2) << "style " << c.style;
    EXPECT_GT(box.height(), size.cy / 2) << "style " << c.style;
  }
}

TEST(StaticLX, FontIsReadOnlyWhenTheTextChanges) {
  CStatic_LX label("HHH");
  label.setFont(PixelFont(12));
  label.resize(300, 100);
  QRect small = ink::Box(ink::Grab(&label), Background(label));
  // A new font alone keeps the layout.
  label.setFont(PixelFont(40));
  EXPECT_EQ(ink::Box(ink::Grab(&label), Background(label)), small);
  // A new text is laid out in the font of the moment.
  label.setText("HHHH");
  QRect large = ink::Box(ink::Grab(&label), Background(label));
  EXPECT_GT(large.height(), 2 * small.height());
}

TEST(StaticLX, LabelsOfDifferentFontsKeepTheirSizes) {
  // The engine's default font is shared: each label must still draw in the
  // font its text was laid out with, whatever the other one did since.
  CStatic_LX small("HHH"), large("HHH");
  small.setFont(PixelFont(12));
  large.setFont(PixelFont(36));
  small.resize(300, 100);
  large.resize(300, 100);
  QRect first = ink::Box(ink::Grab(&small), Background(small));
  QRect big = ink::Box(ink::Grab(&large), Background(large));
  EXPECT_EQ(ink::Box(ink::Grab(&small), Background(small)), first);
  EXPECT_GT(big.height(), 2 * first.height());
}

TEST(StaticLX, ButtonModePaintsTheFaceAndFocusRectangleComesAndGoes) {
  CStatic_LX label("x");
  label.setFont(PixelFont(14));
  label.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label.resize(120, 40);
  label.SetButtonMode();
  EXPECT_TRUE(label.IsButtonMode());
  QImage plain = ink::Grab(&label);
  EXPECT_EQ(plain.pixel(0, 0), label.palette().color(QPalette::Button).rgb());
  EXPECT_EQ(plain.pixel(119, 39), label.palette().color(QPalette::Button).rgb());

  label.SetFocus();
  QImage focused = ink::Grab(&label);
  EXPECT_NE(focused, plain);
  // The dotted outline lies just outside the text's extent.
  CRasterDC probe(0, 0);
  CSize size = label.Engine().GetTextExtent(&probe);
  int top = 1 + (38 - size.cy) / 2 - 1;
  int dotted = 0;
  for (int x = 0; x <= size.cx + 2; ++x)
    if (focused.pixel(x, top) != plain.pixel(x, top)) ++dotted;
  EXPECT_GE(dotted, size.cx / 2 - 1);

  label.KillFocus();
  EXPECT_EQ(ink::Grab(&label), plain);
}

TEST(StaticLX, BadOrHugeMarkupPaintsWithoutHarm) {
  for (const char* text : {"<FRAC><S>", "<DIV style=\"position:2000000000 2000000000\">x</DIV>",
                           "<FONT size=100000>W</FONT>", "<<<>>>"}) {
    CStatic_LX label(text);
    label.setAlignment(Qt::AlignCenter);
    label.SetButtonMode();
    label.SetFocus();
    label.resize(80, 30);
    QImage image = ink::Grab(&label);
    EXPECT_EQ(image.size(), QSize(80, 30)) << text;
    EXPECT_EQ(image.pixel(1, 0), label.palette().color(QPalette::Button).rgb()) << text;  // off the dots
  }
}

}  // namespace

namespace {

// Pixels of the image whose colour is near c.
int Near(const QImage& image, QColor c, int tolerance = 24) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      QColor p = image.pixelColor(x, y);
      count += std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) + std::abs(p.blue() - c.blue()) <=
               tolerance;
    }
  return count;
}

TEST(DisabledControls, CaptionTakesTheDisabledTextColourAndTheFaceTheDisabledButtonColour) {
  // Red markup beside text in the default (black) colour; the disabled
  // colours chosen apart from everything else.
  const QString markup = "<FONT color=#FF0000>HHH</FONT>HHH";
  const QColor text(0, 160, 0), face(150, 190, 250);
  QPalette palette;
  palette.setColor(QPalette::Disabled, QPalette::WindowText, text);
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, text);
  palette.setColor(QPalette::Disabled, QPalette::Button, face);

  QWidget parent;
  parent.setPalette(palette);
  parent.setFont(PixelFont(16));
  CStatic_LX label(markup, &parent), caption(markup, &parent);
  caption.SetButtonMode();
  CButton_LX button(markup, &parent);
  CButton_LX_Ex check(CButton_LX_Ex::CheckBox, markup, &parent);
  struct Case {
    const char* name;
    QWidget* widget;
    QWidget* drawn;  // what shows the caption
    bool hasFace;
  };
  const Case cases[] = {{"label", &label, &label, false},
                        {"button mode", &caption, &caption, true},
                        {"button", &button, &button, true},
                        {"check box", &check, &check.Caption(), true}};
  for (const Case& c : cases) {
    c.widget->resize(c.widget->sizeHint() + QSize(10, 10));
    QImage enabled = ink::Grab(c.drawn);
    ASSERT_GT(Near(enabled, Qt::red), 10) << c.name;
    ASSERT_GT(Near(enabled, Qt::black), 10) << c.name;
    c.widget->setEnabled(false);
    QImage disabled = ink::Grab(c.drawn);
    EXPECT_EQ(Near(disabled, Qt::red, 120), 0) << c.name;
    EXPECT_EQ(Near(disabled, Qt::black, 120), 0) << c.name;
    EXPECT_GT(Near(disabled, text, 0), 10) << c.name;
    if (c.hasFace) {
      EXPECT_EQ(disabled.pixelColor(c.drawn->width() / 2, 0), face) << c.name;
    }
    c.widget->setEnabled(true);
  }
}

}  // namespace
