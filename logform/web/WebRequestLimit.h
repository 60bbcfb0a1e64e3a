#pragma once

#include <QList>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <chrono>

class WebPage;

// The time limit of a request that a page is asked to load. The limit covers the request and the
// redirects it is answered with, up to the arrival of the answer's document; the images, styles and
// scripts that the document then loads take the time they take. A request that has no answer within the
// limit is stopped. Only the latest request is limited, and only its own end ends its limit: the end of
// a request that it replaced does not.
class WebRequestLimit : public QObject
{
    Q_OBJECT

public:
    explicit WebRequestLimit(WebPage* page);

    // Limits the request for `address` that the page has just been asked to load.
    void start(const QUrl& address, std::chrono::milliseconds limit);
    bool isRunning() const { return timer.isActive(); }

signals:
    // The request for `address` was stopped at its limit.
    void expired(const QUrl& address, std::chrono::milliseconds limit);

private:
    bool belongsToRequest(const QUrl& address) const;
    void end();

    WebPage* page;
    QTimer timer;
    // The requested address and those its answers redirected to.
    QList<QUrl> addresses;
};
