#pragma once
// Plots and pictures are laid out in percent of their image, rounded to whole pixels.

#include <QColor>

#include <array>

namespace pulmora {

// Round(size x p / 100), the product and quotient in extended precision, halves to even.
// Values a file could hold (NaN, 1e30) are clamped to a few image sizes beyond the border.
int PercentOf(int size, float p);
inline int PercentX(int width, float p) { return PercentOf(width, p); }
inline int PercentY(int height, float p) { return PercentOf(height, p); }

// The colour of each history slot: the reference black, the runs red, green, purple, and the
// run that has left the visible history black.
extern const std::array<QColor, 5> CurveColours;

} // namespace pulmora
