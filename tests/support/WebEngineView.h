#pragma once

#include "app/AppDelegate.h"

#include <QWebEngineView>

// The application's web view as the engine's own class, for window tests that read its page or profile.
// Null until setUpWebView has made it.
inline QWebEngineView* webEngineView(const AppDelegate& delegate)
{
    return qobject_cast<QWebEngineView*>(delegate.webView.data());
}
