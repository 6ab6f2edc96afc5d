#include "NiceAxisRange.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double fallbackSpan = 10.0;
constexpr double margin = 0.05;
} // namespace

NiceAxisRange NiceAxisRange::covering(double maximum, double minimum)
{
    if (!std::isfinite(maximum) || !std::isfinite(minimum))
        return NiceAxisRange();

    // A range that runs backwards (the steps of a preview can be negative)
    // still has to show both ends.
    const auto [lowest, highest] = std::minmax({ minimum, maximum });
    const double span = highest == lowest ? fallbackSpan : highest - lowest;
    const double high = highest == 0.0 ? 10.0 : highest + margin * span;
    const double low = lowest == 0.0 ? lowest : lowest - margin * span;

    const double decades = std::log10(high - low);
    const int wholeDecades = static_cast<int>(decades);
    const double fraction = decades - wholeDecades;
    double step;
    if (fraction < 0.079)
        step = 2.0 * std::pow(10.0, wholeDecades - 1);
    else if (fraction < 0.6)
        step = 5.0 * std::pow(10.0, wholeDecades - 1);
    else if (fraction < 0.845)
        step = std::pow(10.0, wholeDecades);
    else
        step = 2.0 * std::pow(10.0, wholeDecades);

    // Rounded outwards at both ends, so a negative start (a shortened
    // trigger preview) stays in view.
    const double topSteps = std::ceil(high / step);
    const double bottomSteps = std::floor(low / step);

    NiceAxisRange range;
    range.minimum = bottomSteps * step;
    range.maximum = topSteps * step;
    range.tickCount = static_cast<int>(topSteps - bottomSteps) + 1;
    return range;
}
