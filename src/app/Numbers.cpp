#include "app/Numbers.h"

#include <cfenv>
#include <cmath>
#include <limits>

#include "app/AppError.h"

namespace velkor {

double roundTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    // nearbyint rounds in the current mode, which is to nearest with ties to even.
    return std::nearbyint(value * scale) / scale;
}

float roundToFloat(double value, int decimals) {
    return static_cast<float>(roundTo(value, decimals));
}

std::int32_t toWhole(double value) {
    const double whole = std::nearbyint(value);
    if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
          whole <= std::numeric_limits<std::int32_t>::max())) {
        throw AppError(ErrorNumber::Overflow, "Velkor", "Overflow");
    }
    return static_cast<std::int32_t>(whole);
}

double dropFraction(double value) { return std::floor(value); }

// TODO(numbers): formatNumber, leadingNumber, parseNumber, shortestFloatText, logNumberText.

}  // namespace velkor
