#include "app/AppDelegate.h"
#include "app/Spinner.h"

// The web view's finished page loads: the spinner, and the sign-in page's fields.

void AppDelegate::webViewDidFinishLoadForFrame(bool ok)
{
    // A load that failed or was stopped is not a finished page: the spinner keeps turning.
    if (!ok)
        return;
    webSpinner->stopAnimation();
}
