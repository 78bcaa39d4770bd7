#pragma once
// Font sizes as the drawings and the layout give them: points on a 96-dpi screen. Fixing the
// pixel size keeps text the same size whatever resolution the screen reports.

#include <QFont>

#include <algorithm>

namespace pulmora {

constexpr int kDesignDpi = 96;
constexpr int kPointsPerInch = 72;

// a × b / c to the nearest integer, halves away from zero (c > 0).
constexpr int mulDivRounded(int a, int b, int c) {
    const long long num = static_cast<long long>(a) * b;
    return static_cast<int>(num >= 0 ? (num + c / 2) / c : (num - c / 2) / c);
}

constexpr int pixelsForPoints(int points) {
    return std::max(1, mulDivRounded(points, kDesignDpi, kPointsPerInch));
}

inline void setFontPoints(QFont& font, int points) {
    font.setPixelSize(pixelsForPoints(points));
}

// The size in points of a font set either way.
inline int fontPoints(const QFont& font) {
    if (font.pixelSize() > 0) return mulDivRounded(font.pixelSize(), kPointsPerInch, kDesignDpi);
    return font.pointSize();
}

} // namespace pulmora
