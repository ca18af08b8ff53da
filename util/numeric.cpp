#include "lexaro/numeric.h"

#include <cfloat>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

// Angle constants, from pi taken as 3.1415926535.
constexpr double kRadPerDeg = 0.017453292519444445;
constexpr double kDegPerRad = 57.29577951471995;
constexpr double kTurn = 6.283185307;
constexpr double kTurnsPerRad = 0.15915494309644432;

// v times 10^e. 10^e alone leaves the double range below 1e-308 although the
// product may still be a subnormal; a product past the largest double stops
// at the largest double.
double ScalePow10(double v, int e) {
  if (e < -300) return v * std::pow(10.0, e + 300) * 1e-300;
  double r = v * std::pow(10.0, e);
  return std::isinf(r) ? std::copysign(DBL_MAX, v) : r;
}

}  // namespace

int Roundoff(double x) {
  // Converting a double outside the int range is undefined; clamp instead.
  if (!(x > double(INT_MIN) - 0.5 && x < double(INT_MAX) + 0.5)) return std::isnan(x) ? 0 : x > 0 ? INT_MAX : INT_MIN;
  // Within the range x +- 0.5 is rounded as -(-x + 0.5) is, and the
  // conversion truncates: halves go away from zero.
  return int(x >= 0 ? x + 0.5 : x - 0.5);
}

double FormalDouble(double x, int* exponent) {
  int e = 0;
  // Infinity and NaN never reach [1, 10): they come back as they are.
  if (x != 0 && std::isfinite(x)) {
    while (std::fabs(x) < 1) {
      x *= 10.0;
      --e;
    }
    // Values just below 1 can round up to 10 on the last step; the loop
    // below brings them back into range.
    while (std::fabs(x) >= 10) {
      x *= 0.1;
      ++e;
    }
  }
  if (exponent) *exponent = e;
  return x;
}

double Roundoff_Double(double x) {
  if (!std::isfinite(x)) return x;
  int e = 0;
  double m = FormalDouble(x, &e);
  return ScalePow10(Roundoff(m), e);
}

int Sign(double x) { return x > 0 ? 1 : x < 0 ? -1 : 0; }
int Sign(int x) { return Sign(double(x)); }

double ChangeRad(double degrees) { return degrees * kRadPerDeg; }
double ChangeDeg(double radians) { return radians * kDegPerRad; }

double FormalRad(double r) {
  double turns = std::trunc(r * kTurnsPerRad);
  // Past the int range the turns were once counted in, the subtraction
  // loses the fraction of a turn; the exact remainder keeps it.
  if (std::fabs(turns) > double(INT_MAX)) return std::fmod(r, kTurn);
  return r - turns * kTurn;
}

int atoi_Ex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return -1;
}

char itoa_Ex(int value) {
  if (value >= 0 && value <= 9) return char('0' + value);
  if (value >= 10 && value <= 35) return char('A' + value - 10);
  return '_';
}

int ChangeValue10(int base, CString digits) {
  if (base < 2) base = 2;
  // Unsigned arithmetic wraps modulo 2^32 on long strings instead of
  // overflowing; any value that fits in an int comes out exact.
  std::uint32_t sum = 0, power = 1;
  for (int i = digits.GetLength() - 1; i >= 0; --i) {
    sum += std::uint32_t(atoi_Ex(digits.GetAt(i))) * power;
    power *= std::uint32_t(base);
  }
  return int(sum);
}

CString ChangeValueN(int base, int value) {
  if (base < 2) base = 2;
  if (value < 0) return CString();
  if (value == 0) return CString("0");
  CString digits;
  for (; value > 0; value /= base) digits += itoa_Ex(value % base);
  return digits.MakeReverse();
}

int GetValueRatio(int value, int percent) {
  // The product of two ints always fits in 64 bits.
  return Roundoff(double(std::int64_t(value) * percent) * 0.01);
}

double GetValueRatio(double value, int percent) { return percent * value * 0.01; }

CPoint GetValueRatio(int percent, const CPoint& point) {
  return CPoint(GetValueRatio(point.x, percent), GetValueRatio(point.y, percent));
}

CRect GetValueRatio(int percent, const CRect& rect) {
  return CRect(GetValueRatio(rect.left, percent), GetValueRatio(rect.top, percent),
               GetValueRatio(rect.right, percent), GetValueRatio(rect.bottom, percent));
}

double GetSysTime() {
  using Seconds = std::chrono::duration<double>;
  return Seconds(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Sleep(double seconds) { Sleep(seconds, GetSysTime()); }

void Sleep(double seconds, double start) {
  double end = start + seconds;
  // An endless or undefined end time would never be reached.
  if (!std::isfinite(end)) return;
  while (GetSysTime() < end) {
  }
}
