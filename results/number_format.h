#pragma once
// Numbers as the tables show them.

#include <string>

namespace pulmora {

// Fixed-point with `decimals` digits after the separator at `precision` significant digits: the
// value is rounded to `precision` significant digits first, then written with exactly
// `decimals` decimals (123.456 at 4 and 2 reads 123.50; 95.67 at 3 and 0 reads 96). A value with
// more integer digits than `precision` is written in exponent form, "1.235E+04". NaN and
// infinities (a damaged file can hold them) read "NAN", "INF" and "-INF".
std::string formatFixed(double value, int precision, int decimals, char separator = '.');

} // namespace pulmora
