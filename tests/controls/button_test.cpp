// The markup buttons: the owner-drawn face in its states, check boxes and
// radio buttons that toggle, and the caption's focus rectangle.
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "lexaro/controls.h"
#include "tests/controls/ink.h"

namespace {

COLORREF Ref(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

struct Face {
  CRasterDC dc{100, 40, RGB(255, 255, 255)};
  void Draw(CButton_LX& button, UINT state) {
    DRAWITEMSTRUCT item{state, &dc, CRect(0, 0, 100, 40)};
    button.DrawItem(&item);
  }
  COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
};

TEST(ButtonLX, FaceEdgesAndFocusFollowTheState) {
  CButton_LX button("<B>OK</B>");
  const QPalette& p = button.palette();
  Face raised, pressed, focused;
  raised.Draw(button, 0);
  pressed.Draw(button, ODS_SELECTED);
  focused.Draw(button, ODS_FOCUS);

  // Raised: face to the border, light edge top-left, shadow bottom-right.
  EXPECT_EQ(raised.At(0, 0), Ref(p.color(QPalette::Button)));
  EXPECT_EQ(raised.At(1, 5), Ref(p.color(QPalette::Light)));
  EXPECT_EQ(raised.At(2, 5), Ref(p.color(QPalette::Midlight)));
  EXPECT_EQ(raised.At(98, 5), Ref(p.color(QPalette::Shadow)));
  EXPECT_EQ(raised.At(97, 5), Ref(p.color(QPalette::Dark)));
  // Pressed: a flat shadow outline instead of the edges.
  EXPECT_EQ(pressed.At(1, 5), Ref(p.color(QPalette::Dark)));
  EXPECT_EQ(pressed.At(98, 5), Ref(p.color(QPalette::Dark)));
  EXPECT_EQ(pressed.At(2, 5), Ref(p.color(QPalette::Button)));
  // Focused: a black frame and a dotted rectangle 4 pixels in.
  EXPECT_EQ(focused.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(focused.At(99, 39), RGB(0, 0, 0));
  EXPECT_NE(focused.At(4, 10), raised.At(4, 10));
  EXPECT_EQ(focused.At(1, 5), Ref(p.color(QPalette::Light)));

  // The caption is centred and does not move when pressed.
  CSize size = button.Engine().GetTextExtent(&raised.dc);
  CRect caption((100 - size.cx) / 2, (40 - size.cy) / 2, (100 + size.cx) / 2 + 1, (40 + size.cy) / 2 + 1);
  int inkRaised = 0, inkPressed = 0;
  for (int y = caption.top; y < caption.bottom; ++y)
    for (int x = caption.left; x < caption.right; ++x) {
      inkRaised += GetRValue(raised.At(x, y)) < 80;
      inkPressed += GetRValue(pressed.At(x, y)) < 80 && raised.At(x, y) == pressed.At(x, y);
    }
  EXPECT_GT(inkRaised, 10);
  EXPECT_EQ(inkPressed, inkRaised);
}

TEST(ButtonLX, WidgetPaintsThePressedState) {
  CButton_LX button("x");
  button.resize(60, 30);
  QImage up = ink::Grab(&button);
  button.setDown(true);
  QImage down = ink::Grab(&button);
  EXPECT_EQ(up.pixel(1, 10), button.palette().color(QPalette::Light).rgb());
  EXPECT_EQ(down.pixel(1, 10), button.palette().color(QPalette::Dark).rgb());
}

TEST(ButtonLXEx, CaptionMovesToTheChildOnce) {
  QWidget parent;
  CButton_LX_Ex check(CButton_LX_Ex::CheckBox, "<I>a</I>", &parent);
  check.resize(120, 30);
  parent.show();
  EXPECT_TRUE(check.text().isEmpty());
  EXPECT_EQ(check.Caption().text(), "<I>a</I>");
  EXPECT_TRUE(check.Caption().IsButtonMode());
  EXPECT_EQ(check.Caption().geometry(), QRect(17, 0, 103, 30));
  check.setText("later");
  EXPECT_EQ(check.Caption().text(), "<I>a</I>");
  // Narrower than the indicator: the caption gets no width.
  check.resize(10, 30);
  EXPECT_EQ(check.Caption().geometry(), QRect(10, 0, 0, 30));
}

TEST(ButtonLXEx, CheckBoxAndExclusiveRadioButtonsToggleByMouseAndKey) {
  QWidget parent;
  CButton_LX_Ex check(CButton_LX_Ex::CheckBox, "c", &parent);
  CButton_LX_Ex r1(CButton_LX_Ex::RadioButton, "1", &parent), r2(CButton_LX_Ex::RadioButton, "2", &parent);
  check.setGeometry(0, 0, 100, 24);
  r1.setGeometry(0, 30, 100, 24);
  r2.setGeometry(0, 60, 100, 24);
  parent.show();

  // A click on the caption reaches the button.
  QTest::mouseClick(&check, Qt::LeftButton, {}, QPoint(60, 12));
  EXPECT_TRUE(check.isChecked());
  QTest::mouseClick(&check, Qt::LeftButton, {}, QPoint(5, 12));
  EXPECT_FALSE(check.isChecked());
  QTest::keyClick(&check, Qt::Key_Space);
  EXPECT_TRUE(check.isChecked());

  QTest::mouseClick(&r1, Qt::LeftButton, {}, QPoint(60, 12));
  EXPECT_TRUE(r1.isChecked());
  QTest::keyClick(&r2, Qt::Key_Space);
  EXPECT_TRUE(r2.isChecked());
  EXPECT_FALSE(r1.isChecked());
  EXPECT_TRUE(check.isChecked());  // not part of the radio group
}

TEST(ButtonLXEx, FocusShowsAndHidesTheCaptionsFocusRectangle) {
  QWidget window;
  CButton_LX_Ex radio(CButton_LX_Ex::RadioButton, "<FRAC><S>1</S><S>2</S></FRAC>", &window);
  QLineEdit other(&window);
  radio.setGeometry(0, 0, 120, 40);
  other.setGeometry(0, 50, 100, 20);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  other.setFocus();
  EXPECT_FALSE(radio.Caption().HasFocusRect());
  QImage before = ink::Grab(&radio.Caption());

  radio.setFocus();
  EXPECT_TRUE(radio.Caption().HasFocusRect());
  EXPECT_NE(ink::Grab(&radio.Caption()), before);
  other.setFocus();
  EXPECT_FALSE(radio.Caption().HasFocusRect());
  EXPECT_EQ(ink::Grab(&radio.Caption()), before);
}

}  // namespace
