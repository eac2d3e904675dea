#include "rounding.h"

#include <cmath>
#include <limits>

int32_t roundHalfEven(double position)
{
    if (std::isnan(position)) return 0;
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    // nearbyint rounds in the current mode, which is to-nearest-even unless
    // someone changed it; this rule does not depend on that.
    const double down = std::floor(position);
    const double diff = position - down;
    double r = diff < 0.5 ? down : diff > 0.5 ? down + 1 : (std::fmod(down, 2.0) == 0 ? down : down + 1);
    if (r < lo) r = lo;
    if (r > hi) r = hi;
    return int32_t(r);
}
