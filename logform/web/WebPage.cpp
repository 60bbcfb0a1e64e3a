#include "logform/web/WebPage.h"

#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

const QString announcementScriptName = QStringLiteral("tapescribe-document-created");
const QString announcementPrefix = QStringLiteral("tapescribe: document created ");

}

WebPage::WebPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{
    QWebEngineScript announcement;
    announcement.setName(announcementScriptName);
    announcement.setInjectionPoint(QWebEngineScript::DocumentCreation);
    announcement.setWorldId(QWebEngineScript::ApplicationWorld);
    announcement.setRunsOnSubFrames(false);
    announcement.setSourceCode(QStringLiteral("console.debug(%1 + location.href);")
                                   .arg(QStringLiteral("'%1'").arg(announcementPrefix)));
    scripts().insert(announcement);
}

void WebPage::javaScriptConsoleMessage(
    JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber, const QString& sourceID)
{
    // The engine names a script of ours after it; a page's own scripts carry the page's address instead.
    if (sourceID == QStringLiteral("userscript:") + announcementScriptName
        && message.startsWith(announcementPrefix)) {
        emit documentCreated(QUrl(message.mid(announcementPrefix.size())));
        return;
    }
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceID);
}
