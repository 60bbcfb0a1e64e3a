#pragma once

#include <QUrl>
#include <QWebEnginePage>

// The web view's page. Besides what QWebEnginePage reports, it tells when each new document of its main
// frame is created: the moment the answer to the page's request has arrived, before the document's images,
// styles and scripts load. Qt has no signal for that moment, and its address signals stay silent when the
// new document has the address of the old one; so a script of tapeScribe's own, run in a world that the
// page's scripts cannot reach, announces every document through the console.
class WebPage : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit WebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

signals:
    // A document for `address` now stands in the main frame (an error page has an address of its own).
    void documentCreated(const QUrl& address);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
        const QString& sourceID) override;
};
