#include "results/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pulmora {

std::string formatFixed(double value, int precision, int decimals, char separator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (precision < 1) precision = 1;
    if (precision > 17) precision = 17;
    if (decimals < 0) decimals = 0;
    if (decimals > 18) decimals = 18;

    // Round to the significant digits through the decimal form, which rounds exactly.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, value);
    const double rounded = std::strtod(buffer, nullptr);
    const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);

    std::string text;
    if (exponent + 1 > precision) {
        // More integer digits than the precision holds.
        char mantissa[64];
        std::snprintf(mantissa, sizeof mantissa, "%.*f", precision - 1,
                      rounded / std::pow(10.0, exponent));
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%+03d", exponent);
        text = std::string(mantissa) + exp;
    } else {
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, rounded);
        text = buffer;
        // No "-0.00" for a value that rounds to zero.
        if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    }
    for (char& ch : text)
        if (ch == '.') ch = separator;
    return text;
}

} // namespace pulmora
