#include "app/AppDelegate.h"
#include "core/Spinner.h"
#include "logform/SignInPage.h"

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

// The web view's finished page loads: the spinner, and the sign-in page's fields.

void AppDelegate::webViewDidFinishLoadForFrame(bool ok)
{
    // A load that failed or was stopped is not a finished page: the spinner keeps turning.
    if (!ok)
        return;
    webSpinner->stopAnimation();

    // The whole address must match: a query, a fragment or a trailing slash makes it another page.
    QWebEnginePage* page = webView->page();
    if (page->url().toString(QUrl::FullyEncoded) != signInPageURL())
        return;
    // The script runs in a world of its own, so that nothing the page's scripts have changed (such as
    // document.getElementById) sees the account before the fields hold it.
    page->runJavaScript(signInFillScript(username, password), QWebEngineScript::ApplicationWorld);
}
