#include "lexaro/numeric.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

TEST(NumericTest, RoundoffHalvesAwayFromZeroAndClamps) {
  EXPECT_EQ(Roundoff(2.5), 3);
  EXPECT_EQ(Roundoff(-2.5), -3);
  EXPECT_EQ(Roundoff(-2.4), -2);
  EXPECT_EQ(Roundoff(0.49999), 0);
  EXPECT_EQ(Roundoff(-0.5), -1);
  EXPECT_EQ(Roundoff(2147483647.6), INT_MAX);
  EXPECT_EQ(Roundoff(-2147483648.6), INT_MIN);
  EXPECT_EQ(Roundoff(1e12), INT_MAX);
  EXPECT_EQ(Roundoff(-1e12), INT_MIN);
  EXPECT_EQ(Roundoff(INFINITY), INT_MAX);
  EXPECT_EQ(Roundoff(-INFINITY), INT_MIN);
  EXPECT_EQ(Roundoff(std::nan("")), 0);
}

TEST(NumericTest, FormalDoubleNormalises) {
  int e = 99;
  EXPECT_EQ(FormalDouble(0.0, &e), 0.0);
  EXPECT_EQ(e, 0);
  EXPECT_DOUBLE_EQ(FormalDouble(-250.0, &e), -2.5);
  EXPECT_EQ(e, 2);
  EXPECT_DOUBLE_EQ(FormalDouble(0.0456, &e), 4.56);
  EXPECT_EQ(e, -2);
  EXPECT_DOUBLE_EQ(FormalDouble(7.0, nullptr), 7.0);
  // Just below 1 the last multiplication rounds up to 10.
  double m = FormalDouble(std::nextafter(1.0, 0.0), &e);
  EXPECT_TRUE(m >= 1 && m < 10) << m;
}

TEST(NumericTest, FormalDoubleEndsOnExtremes) {
  int e = 99;
  EXPECT_TRUE(std::isinf(FormalDouble(-INFINITY, &e)));
  EXPECT_EQ(e, 0);
  e = 99;
  EXPECT_TRUE(std::isnan(FormalDouble(std::nan(""), &e)));
  EXPECT_EQ(e, 0);
  double m = FormalDouble(DBL_MAX, &e);
  EXPECT_NEAR(m, 1.797693, 1e-5);
  EXPECT_EQ(e, 308);
  m = FormalDouble(-std::numeric_limits<double>::denorm_min(), &e);
  EXPECT_NEAR(m, -4.940656, 1e-5);
  EXPECT_EQ(e, -324);
}

TEST(NumericTest, RoundoffDoubleKeepsOneDigit) {
  EXPECT_DOUBLE_EQ(Roundoff_Double(1234.0), 1000.0);
  EXPECT_DOUBLE_EQ(Roundoff_Double(0.0456), 0.05);
  EXPECT_DOUBLE_EQ(Roundoff_Double(9.6), 10.0);
  EXPECT_DOUBLE_EQ(Roundoff_Double(-250.0), -300.0);
  EXPECT_EQ(Roundoff_Double(0.0), 0.0);
  EXPECT_TRUE(std::isinf(Roundoff_Double(INFINITY)));
  EXPECT_TRUE(std::isnan(Roundoff_Double(std::nan(""))));
  // 2e308 does not exist; the nearest double is the largest.
  EXPECT_EQ(Roundoff_Double(DBL_MAX), DBL_MAX);
  EXPECT_EQ(Roundoff_Double(-DBL_MAX), -DBL_MAX);
  // 10^-324 is not a double, yet 5e-324 is.
  const double tiny = std::numeric_limits<double>::denorm_min();
  EXPECT_EQ(Roundoff_Double(tiny), tiny);
  EXPECT_DOUBLE_EQ(Roundoff_Double(3.3e-310), 3e-310);
}

TEST(NumericTest, SignAndAngles) {
  EXPECT_EQ(Sign(-0.1), -1);
  EXPECT_EQ(Sign(0.0), 0);
  EXPECT_EQ(Sign(std::nan("")), 0);
  EXPECT_EQ(Sign(INT_MIN), -1);
  EXPECT_EQ(Sign(0), 0);
  EXPECT_EQ(Sign(5), 1);

  EXPECT_DOUBLE_EQ(ChangeRad(180.0), 3.1415926535);
  EXPECT_DOUBLE_EQ(ChangeDeg(3.1415926535), 180.0);
  EXPECT_DOUBLE_EQ(FormalRad(7.0), 7.0 - 6.283185307);
  EXPECT_DOUBLE_EQ(FormalRad(-7.0), -7.0 + 6.283185307);
  EXPECT_DOUBLE_EQ(FormalRad(1.0), 1.0);
  // Far past two billion turns the remainder must still be within a turn.
  for (double r : {1e10, -1e10, 1e300, -DBL_MAX}) {
    double f = FormalRad(r);
    EXPECT_TRUE(std::fabs(f) < 6.283185307 && Sign(f) * Sign(r) >= 0) << r << " -> " << f;
  }
  EXPECT_TRUE(std::isnan(FormalRad(INFINITY)));
}

TEST(NumericTest, DigitConversions) {
  for (int v = 0; v < 36; ++v) EXPECT_EQ(atoi_Ex(itoa_Ex(v)), v) << v;
  EXPECT_EQ(atoi_Ex('z'), 35);
  EXPECT_EQ(atoi_Ex('a'), 10);
  EXPECT_EQ(itoa_Ex(10), 'A');
  for (char c : {'/', ':', '@', '[', '`', '{', ' ', '\0', '\xff'}) EXPECT_EQ(atoi_Ex(c), -1) << int(c);
  for (int v : {36, -1, INT_MIN, INT_MAX}) EXPECT_EQ(itoa_Ex(v), '_') << v;
}

TEST(NumericTest, ChangeValue10ReadsUncheckedDigits) {
  EXPECT_EQ(ChangeValue10(16, "ff"), 255);
  EXPECT_EQ(ChangeValue10(16, "FG"), 15 * 16 + 16);
  EXPECT_EQ(ChangeValue10(10, "1-"), 9);  // an invalid character counts -1
  EXPECT_EQ(ChangeValue10(1, "101"), 5);
  EXPECT_EQ(ChangeValue10(INT_MIN, "11"), 3);
  EXPECT_EQ(ChangeValue10(10, ""), 0);
  EXPECT_EQ(ChangeValue10(10, "2147483647"), INT_MAX);
  // Longer values wrap modulo 2^32.
  EXPECT_EQ(ChangeValue10(16, "FFFFFFFF"), -1);
  EXPECT_EQ(ChangeValue10(16, "100000000"), 0);
  EXPECT_EQ(ChangeValue10(10, std::string(5000, '9')), -1);  // 10^5000 - 1
}

TEST(NumericTest, ChangeValueNWritesDigits) {
  EXPECT_EQ(ChangeValueN(16, 255), "FF");
  EXPECT_EQ(ChangeValueN(1, 5), "101");
  EXPECT_EQ(ChangeValueN(10, -3), "");
  EXPECT_EQ(ChangeValueN(10, INT_MIN), "");
  EXPECT_EQ(ChangeValueN(7, 0), "0");
  EXPECT_EQ(ChangeValueN(2, INT_MAX), CString(std::string(31, '1')));
  EXPECT_EQ(ChangeValue10(36, ChangeValueN(36, INT_MAX)), INT_MAX);
  // Digits of 36 and above have no character.
  EXPECT_EQ(ChangeValueN(100, 150), "1_");
  EXPECT_EQ(ChangeValueN(INT_MAX, INT_MAX), "10");
}

TEST(NumericTest, GetValueRatioRoundsWithoutOverflow) {
  EXPECT_EQ(GetValueRatio(200, 50), 100);
  EXPECT_EQ(GetValueRatio(3, 50), 2);
  EXPECT_EQ(GetValueRatio(-3, 50), -2);
  EXPECT_EQ(GetValueRatio(INT_MAX, 50), 1073741824);
  EXPECT_EQ(GetValueRatio(100000, 100000), 100000000);
  EXPECT_EQ(GetValueRatio(INT_MAX, 200), INT_MAX);
  EXPECT_EQ(GetValueRatio(INT_MIN, INT_MAX), INT_MIN);
  EXPECT_DOUBLE_EQ(GetValueRatio(1.5, 50), 0.75);
  EXPECT_EQ(GetValueRatio(50, CPoint(3, -7)), CPoint(2, -4));
  EXPECT_EQ(GetValueRatio(150, CRect(1, 2, -3, 10)), CRect(2, 3, -5, 15));
}

TEST(NumericTest, ClockAndSleep) {
  double t0 = GetSysTime();
  Sleep(0.001);
  double t1 = GetSysTime();
  EXPECT_GE(t1 - t0, 0.001);
  // Waits whose end lies in the past or nowhere return at once.
  Sleep(5.0, t1 - 10.0);
  Sleep(-1.0);
  Sleep(INFINITY);
  Sleep(std::nan(""));
  Sleep(1.0, -INFINITY);
  EXPECT_LT(GetSysTime() - t1, 1.0);
}
