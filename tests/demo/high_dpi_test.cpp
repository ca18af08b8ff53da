// The demo's view on a screen of device pixel ratio 2 (the suite runs under
// QT_SCALE_FACTOR=2): drawings are made in device pixels, at the logical
// size they have at ratio 1.
#include <QTest>
#include <gtest/gtest.h>

#include "demo/app.h"
#include "demo/main_frame.h"

namespace {

// The box of the canvas's pixels that hold something drawn.
QRect Drawn(const CRasterDC& canvas) {
  QRect box;
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x)
      if (canvas.Bits()[size_t(y) * canvas.Width() + x] >> 24) box |= QRect(x, y, 1, 1);
  return box;
}

TEST(DemoHighDpi, TheViewDrawsInDevicePixels) {
  CLexaroDemoApp app;
  QString error;
  ASSERT_TRUE(app.InitInstance({}, &error)) << error.toStdString();
  CLexaroDemoView* view = app.MainFrame()->View();
  const double ratio = view->devicePixelRatioF();
  ASSERT_EQ(ratio, 2.0) << "run with QT_SCALE_FACTOR=2";
  EXPECT_EQ(view->Canvas().Width(), 2 * view->width());
  EXPECT_EQ(view->Canvas().Height(), 2 * view->height());

  // The drawing at ratio 1: the view's 20-pixel face.
  const char* text = "HHHH<FRAC><S>1</S><S>2</S></FRAC>";
  CRasterDC reference(400, 200, CLR_TRANSPARENT);
  LOGFONT lf;
  CDC* dc = &reference;
  CFontTool().SetLOGFONT(&lf, &dc, -20, "ＭＳ ゴシック", 1);
  UseEngineFont(lf);
  CLexaro engine;
  engine.SetText(&reference, text);
  engine.TextOutA(&reference, CPoint(0, 0));
  QRect logical = Drawn(reference);
  ASSERT_GT(logical.width(), 40);

  view->MarkupEdit()->setPlainText(text);
  QPoint click(100, view->height() - 120);
  QTest::mouseClick(view, Qt::LeftButton, {}, click);
  QRect drawn = Drawn(view->Canvas());
  EXPECT_NEAR(drawn.left(), 2 * (click.x() + logical.left()), 3);
  EXPECT_NEAR(drawn.top(), 2 * (click.y() + logical.top()), 3);
  EXPECT_NEAR(drawn.width(), 2 * logical.width(), 4);
  EXPECT_NEAR(drawn.height(), 2 * logical.height(), 4);
}

}  // namespace
