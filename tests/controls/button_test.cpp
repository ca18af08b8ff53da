// The markup buttons: the owner-drawn face in its states, check boxes and
// radio buttons that toggle, and the caption's focus rectangle.
#include <QButtonGroup>
#include <QLineEdit>
#include <QVBoxLayout>
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

namespace {

TEST(ButtonLXEx, RadioButtonsAreExclusiveWithinTheirGroupOrElseTheirParent) {
  // a1 a2 in group A, b1 b2 in group B, p1 p2 plain: all children of one
  // parent; n1 n2 plain, put in the layout of a widget inside it.
  QWidget parent;
  QWidget* nested = new QWidget(&parent);
  QButtonGroup groupA, groupB;
  auto radio = [](QWidget* owner, QButtonGroup* group) {
    return new CButton_LX_Ex(CButton_LX_Ex::RadioButton, "r", owner, group);
  };
  CButton_LX_Ex* buttons[] = {radio(&parent, &groupA), radio(&parent, &groupA), radio(&parent, &groupB),
                              radio(&parent, &groupB), radio(&parent, nullptr), radio(&parent, nullptr),
                              radio(nullptr, nullptr), radio(nullptr, nullptr)};
  auto* layout = new QVBoxLayout(nested);
  layout->addWidget(buttons[6]);
  layout->addWidget(buttons[7]);
  EXPECT_EQ(buttons[0]->group(), &groupA);
  struct Step {
    int click;
    const char* checked;  // a1 a2 b1 b2 p1 p2 n1 n2
  };
  const Step steps[] = {
      {0, "10000000"}, {2, "10100000"}, {4, "10101000"}, {6, "10101010"},
      {1, "01101010"}, {5, "01100110"}, {7, "01100101"}, {3, "01010101"},
  };
  for (const Step& s : steps) {
    buttons[s.click]->click();
    std::string checked;
    for (CButton_LX_Ex* b : buttons) checked += b->isChecked() ? '1' : '0';
    EXPECT_EQ(checked, s.checked) << "after clicking " << s.click;
  }
}

}  // namespace
