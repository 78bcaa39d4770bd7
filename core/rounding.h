#pragma once
// Conversions to whole numbers shared by the model, the tables and the drawings.

#include <cmath>
#include <cstdint>

namespace pulmora {

// Round to the nearest integer, halves to even (50.5 -> 50, 51.5 -> 52). The default
// floating-point environment rounds to nearest-even, which nearbyint honours.
inline double roundHalfEven(double v) { return std::nearbyint(v); }

// A rounded value as an int, clamped to [lo, hi] first so that a value read from a file
// (NaN, infinity, 1e30) can never become an out-of-range integer. NaN gives lo.
inline int roundToIntClamped(double v, int lo, int hi) {
    if (!(v >= lo)) return lo; // also catches NaN
    if (v > hi) return hi;
    const double r = roundHalfEven(v);
    if (r < lo) return lo;
    if (r > hi) return hi;
    return static_cast<int>(r);
}

// a * b / c with the quotient rounded half away from zero, as the window toolkit's scaling
// does; c == 0 gives -1.
inline int mulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = (c < 0 ? -c : c) / 2;
    const bool negative = (p < 0) != (c < 0);
    const std::int64_t ap = p < 0 ? -p : p;
    const std::int64_t ac = c < 0 ? -static_cast<std::int64_t>(c) : c;
    const std::int64_t q = (ap + half) / ac;
    return static_cast<int>(negative ? -q : q);
}

} // namespace pulmora
