#include "app/AppDelegate.h"
#include "core/Platform.h"
#include "help/MakerPages.h"
#include "help/SupportMail.h"

#include "core/BuildConfig.h"

#include <QCoreApplication>

// The Help menu's handlers.

void AppDelegate::showHelp()
{
    Platform::openUrl(MakerPages::url(MakerPages::help));
}

void AppDelegate::showGlossary()
{
    Platform::openUrl(MakerPages::url(MakerPages::glossary));
}

void AppDelegate::emailSupport()
{
    const QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty())
        qFatal("tapeScribe: the application has no version to name in the bug report");
    const QUrl mail(bugReportMailText(QLatin1String(BuildConfig::supportAddress),
                        QLatin1String(BuildConfig::executableName), version),
        QUrl::StrictMode);
    if (!mail.isValid())
        qFatal("tapeScribe: the bug report's mail link is not a valid URL");
    // Without a mail application the about page tells the logger how to reach support instead.
    if (!Platform::openUrl(mail))
        Platform::openUrl(MakerPages::url(MakerPages::about));
}
