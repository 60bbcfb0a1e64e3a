#include "app/AppDelegate.h"
#include "app/Spinner.h"

// The log form's handlers: the finished page loads and the clock cookie.

void AppDelegate::webViewDidFinishLoadForFrame(bool ok)
{
    // A load that failed or was stopped is not a finished page: the spinner keeps turning.
    if (!ok)
        return;
    webSpinner->stopAnimation();
}

void AppDelegate::timerDidFire() { }

void AppDelegate::setTimeOffsetCookie() { }
