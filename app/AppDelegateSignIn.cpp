#include "app/AppDelegate.h"
#include "core/Spinner.h"
#include "logform/SignInPage.h"

#include <QTimer>

// The web view's finished page loads: the spinner, and the sign-in page's fields.

void AppDelegate::webViewDidFinishLoadForFrame(bool ok)
{
    // Whatever became of the load, nothing is loading any more: the player's libraries can be asked now.
    webSpinner->stopAnimation();
    checkProfessionalFormats();
    // A load that failed or was stopped shows no sign-in page of the service's.
    if (!ok)
        return;
    // A service that gave no notes to programs may give them once its pages have changed.
    if (notesOutcome == NotesFetch::Outcome::NoRoute) {
        notesOutcome.reset();
        notesTimer->start();
    }

    fillSignInPage();
}

void AppDelegate::fillSignInPage()
{
    if (!logForm || !isSignInPage(logForm->url(), logServiceHost))
        return;
    // The script runs in a world of its own, so that nothing the page's scripts have changed (such as
    // document.getElementById) sees the account before the fields hold it. On a page without the form it
    // does nothing.
    logForm->runScript(signInFillScript(username, password));
}
