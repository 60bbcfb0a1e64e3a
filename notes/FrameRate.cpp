#include "notes/FrameRate.h"

#include <cmath>
#include <numeric>

namespace {

constexpr qint64 maximumFramesPerSecond = 1000;
// No container means a rate finer than this; a larger one is garbage, and would overflow frame arithmetic.
constexpr qint64 largestDenominator = 1'000'000;
// The nominal rates whose 1000/1001 variants video uses.
constexpr int ntscTimebases[] = { 24, 30, 48, 60, 120 };

}

std::optional<FrameRate> FrameRate::fromFraction(qint64 numerator, qint64 denominator)
{
    if (numerator <= 0 || denominator <= 0 || numerator > maximumFramesPerSecond * denominator)
        return std::nullopt;
    const qint64 divisor = std::gcd(numerator, denominator);
    FrameRate rate { numerator / divisor, denominator / divisor };
    if (rate.denominator > largestDenominator)
        return std::nullopt;
    if (rate.denominator == 1 || rate.denominator == 1001)
        return rate;
    // Containers round NTSC rates to decimals (29.97 as 2997/100); within 0.01 % it is the exact rate.
    const double perSecond = double(rate.numerator) / double(rate.denominator);
    for (int timebase : ntscTimebases) {
        const double ntsc = timebase * 1000.0 / 1001.0;
        if (std::abs(perSecond - ntsc) < ntsc * 1e-4)
            return FrameRate { timebase * 1000, 1001 };
    }
    return rate;
}

int FrameRate::timebase() const
{
    return denominator > 0 ? int((numerator + denominator / 2) / denominator) : 0;
}

bool FrameRate::allowsDropFrame() const
{
    return denominator == 1001 && (numerator == 30000 || numerator == 60000);
}
