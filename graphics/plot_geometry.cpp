#include "graphics/plot_geometry.h"

#include <cmath>

namespace pulmora {

int PercentOf(int size, float p) {
    const long double v = static_cast<long double>(size) * p / 100.0L;
    // Far outside the image nothing is visible; keep the pixel a valid int.
    const long double limit = 4.0L * (size < 1 ? 1 : size) + 1000.0L;
    if (!(v >= -limit)) return static_cast<int>(-limit);
    if (v > limit) return static_cast<int>(limit);
    return static_cast<int>(std::nearbyint(v));
}

const std::array<QColor, 5> CurveColours{QColor(0x00, 0x00, 0x00), QColor(0xFF, 0x00, 0x00),
                                         QColor(0x00, 0x80, 0x00), QColor(0x80, 0x00, 0x80),
                                         QColor(0x00, 0x00, 0x00)};

} // namespace pulmora
