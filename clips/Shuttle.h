#pragma once

// The J/K/L shuttle of a logger's keyboard, as play rates: 0 is paused, 1 normal speed forward, negative
// rates play backwards. Each press in the same direction doubles the rate, up to eight times normal.
namespace Shuttle {

inline constexpr double maximumRate = 8.0;

// L: from a stop or from playing backwards, normal speed forward; else twice as fast.
double forward(double rate);
// J: from a stop or from playing forwards, normal speed backwards; else twice as fast.
double backward(double rate);
// Space: pauses whatever plays, plays a paused clip at normal speed.
double toggled(double rate);

}
