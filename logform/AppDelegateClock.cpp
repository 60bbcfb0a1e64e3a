#include "app/AppDelegate.h"

// The log form's clock: the time offset cookie and the timer that keeps it current.

void AppDelegate::timerDidFire() { }

void AppDelegate::setTimeOffsetCookie() { }
