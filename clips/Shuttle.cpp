#include "clips/Shuttle.h"

#include <algorithm>

namespace Shuttle {

double forward(double rate)
{
    return rate <= 0 ? 1.0 : std::min(rate * 2, maximumRate);
}

double backward(double rate)
{
    return rate >= 0 ? -1.0 : std::max(rate * 2, -maximumRate);
}

double toggled(double rate)
{
    return rate == 0 ? 1.0 : 0.0;
}

}
