// Rounding, signs, angles, digits and bases, percentages and a monotonic
// clock with busy waiting.
#pragma once

#include "lexaro/cstring.h"
#include "lexaro/export.h"
#include "lexaro/types.h"

// Rounds half away from zero; clamped to the int range, NaN gives 0.
LEXARO_API int Roundoff(double x);
// Scales x to a magnitude in [1, 10) and reports the power of ten taken out
// (if exponent is not null). Zero, infinities and NaN come back unchanged
// with exponent 0.
LEXARO_API double FormalDouble(double x, int* exponent);
// Rounds to one significant digit: 1234 gives 1000, 0.0456 gives 0.05.
LEXARO_API double Roundoff_Double(double x);
// 1, 0 or -1.
LEXARO_API int Sign(double x);
LEXARO_API int Sign(int x);

// Degrees to radians and back.
LEXARO_API double ChangeRad(double degrees);
LEXARO_API double ChangeDeg(double radians);
// Removes whole turns; the result keeps the sign of r.
LEXARO_API double FormalRad(double r);

// Digit value of '0'-'9', 'a'-'z', 'A'-'Z' (0..35); -1 for anything else.
LEXARO_API int atoi_Ex(char c);
// Digit character of 0..35 ('0'-'9', 'A'-'Z'); '_' for anything else.
LEXARO_API char itoa_Ex(int value);
// Value of a digit string in a base (at least 2). Digits are not checked
// against the base; the sum wraps modulo 2^32.
LEXARO_API int ChangeValue10(int base, CString digits);
// Digits of a non-negative value in a base (at least 2); "" for negatives.
LEXARO_API CString ChangeValueN(int base, int value);

// percent % of a value, rounded (integer forms) or not (double form).
LEXARO_API int GetValueRatio(int value, int percent);
LEXARO_API double GetValueRatio(double value, int percent);
LEXARO_API CPoint GetValueRatio(int percent, const CPoint& point);
LEXARO_API CRect GetValueRatio(int percent, const CRect& rect);

// Seconds of a monotonic clock.
LEXARO_API double GetSysTime();
// Busy-wait for the given seconds from now, or until start + seconds.
LEXARO_API void Sleep(double seconds);
LEXARO_API void Sleep(double seconds, double start);
