// Window class names of widgets and the 9-character rule.
#include <QCalendarWidget>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "lexaro/controls.h"

namespace {

TEST(CheckClassName, EditsAreEditsAndNothingElseIs) {
  QLineEdit line;
  QPlainTextEdit text;
  QPushButton button;
  CButton_LX markupButton;
  CStatic_LX label;
  EXPECT_EQ(CheckClassName(&line, "Edit"), 1);
  EXPECT_EQ(CheckClassName(&text, "Edit"), 1);
  EXPECT_EQ(CheckClassName(&button, "Edit"), 0);
  EXPECT_EQ(CheckClassName(&button, "Button"), 1);
  EXPECT_EQ(CheckClassName(&markupButton, "Button"), 1);
  EXPECT_EQ(CheckClassName(&label, "Static"), 1);
  EXPECT_EQ(CheckClassName(&line, "edit"), 0);  // case matters
  EXPECT_EQ(CheckClassName(nullptr, "Edit"), 0);
  EXPECT_EQ(CheckClassName(nullptr, ""), 0);
}

TEST(CheckClassName, LongerNamesNeverMatch) {
  QFrame frame;
  QCalendarWidget calendar;
  EXPECT_EQ(CheckClassName(&frame, "QFrame"), 1);
  EXPECT_EQ(GetClassName(&calendar), "QCalendarWidget");
  EXPECT_EQ(CheckClassName(&calendar, "QCalendarWidget"), 0);
  EXPECT_EQ(CheckClassName(&calendar, "QCalendar"), 0);
}

TEST(LogFontFromQFont, SizeWeightStyleAndFace) {
  QFont font("IPAGothic");
  font.setPointSize(9);
  font.setBold(true);
  font.setItalic(true);
  LOGFONT lf = LogFontFromQFont(font, 96);
  EXPECT_EQ(lf.lfHeight, -12);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_STREQ(lf.lfFaceName, "IPAGothic");
  font.setPixelSize(20);
  EXPECT_EQ(LogFontFromQFont(font, 144).lfHeight, -20);
  font.setPointSize(9);
  EXPECT_EQ(LogFontFromQFont(font, 144).lfHeight, -18);
}

}  // namespace
