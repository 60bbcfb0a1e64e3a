#include "support/ConsoleLines.h"

#include "app/AppDelegate.h"
#include "app/MainInterface.h"
#include "support/WebEngineView.h"
#include "core/Spinner.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

constexpr int waitLimitMs = 60'000;
constexpr auto requestLimit = 2s;

// A web server on the loopback interface whose answers the test holds in its hand:
//   /page       a page at once, with an image from /held;
//   /held       nothing until the test releases it, then the image;
//   /silent…    nothing, ever (a request that gets no answer);
//   otherwise   404.
class HeldServer
{
public:
    HeldServer()
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
        });
    }

    QUrl url(const QString& path) const
    {
        return QUrl(u"http://127.0.0.1:%1%2"_s.arg(server.serverPort()).arg(path));
    }
    QString host() const { return u"127.0.0.1:%1"_s.arg(server.serverPort()); }
    bool wasAskedFor(const QString& path) const { return requested.contains(path); }

    void release()
    {
        released = true;
        for (QTcpSocket* socket : std::exchange(held, {}))
            if (socket)
                answer(socket, "200 OK", "image/gif", gif());
    }

private:
    void read(QTcpSocket* socket)
    {
        QByteArray& request = partial[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromLatin1(request.split(' ').value(1));
        requested.append(path);
        if (path == u"/page"_s)
            answer(socket, "200 OK", "text/html",
                "<!DOCTYPE html><html><body><p>A page</p><img id='held' src='/held'></body></html>");
        else if (path == u"/held"_s && released)
            answer(socket, "200 OK", "image/gif", gif());
        else if (path == u"/held"_s)
            held.append(socket);
        else if (!path.startsWith(u"/silent"_s))
            answer(socket, "404 Not Found", "text/plain", "not here");
    }

    static void answer(
        QTcpSocket* socket, const QByteArray& status, const QByteArray& type, const QByteArray& body)
    {
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    // One transparent pixel.
    static QByteArray gif()
    {
        return QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7");
    }

    QTcpServer server;
    QHash<QTcpSocket*, QByteArray> partial;
    QList<QPointer<QTcpSocket>> held;
    QStringList requested;
    bool released = false;
};

// tapeScribe's window whose log form comes from the test's server, with a short request limit.
class WebLoad : public testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("HOME", QFile::encodeName(home.path()));
        qunsetenv("XDG_DATA_HOME");
        interface.connectTo(delegate);
        delegate.webRequestLimit = requestLimit;
    }

    // The interface set-up, with the log form at `form`; the spinner turns from here on.
    void start(const QUrl& form)
    {
        delegate.formURL = form;
        delegate.awakeFromNib();
        delegate.setUpWebView();
        QObject::connect(webEngineView(delegate)->page(), &QWebEnginePage::loadFinished,
            [this](bool ok) { finished.append(ok); });
        ASSERT_TRUE(delegate.webSpinner->isAnimating());
    }

    bool spinnerStops()
    {
        return QTest::qWaitFor([&] { return !delegate.webSpinner->isAnimating(); }, waitLimitMs);
    }

    // Whether the page's image has arrived and been drawn from its data.
    bool imageShown()
    {
        std::optional<QVariant> value;
        webEngineView(delegate)->page()->runJavaScript(u"document.getElementById('held')?.naturalWidth ?? 0"_s,
            QWebEngineScript::ApplicationWorld, [&](const QVariant& result) { value = result; });
        return QTest::qWaitFor([&] { return value.has_value(); }, waitLimitMs) && value->toInt() == 1;
    }

    QTemporaryDir home;
    HeldServer server;
    QList<bool> finished;
    AppDelegate delegate { server.host() };
    MainInterface interface;
};

TEST_F(WebLoad, ARequestWithoutAnAnswerIsStoppedAtItsLimitAndTheSpinnerStops)
{
    // The log service's form over https from a server that never answers.
    QStringList lines = consoleLinesOf([&] {
        start(delegate.formURL);
        ASSERT_TRUE(spinnerStops());
    });
    EXPECT_EQ(finished, QList<bool> { false });
    EXPECT_TRUE(lines.contains(
        u"loadInWebView: no answer from %1 within 2 s, stopped"_s.arg(delegate.formURL.toString())))
        << lines.join(u'\n').toStdString();
    EXPECT_EQ(delegate.label->text(), u"The log service did not answer within 2 second(s)."_s);

    // A load that fails outright stops the spinner too.
    delegate.webSpinner->startAnimation();
    delegate.loadInWebView(QUrl(u"http://127.0.0.1:1/"_s));
    EXPECT_TRUE(spinnerStops());
}

TEST_F(WebLoad, APageWhoseImageOutlastsTheLimitLoadsToTheEnd)
{
    start(server.url(u"/page"_s));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.wasAskedFor(u"/held"_s); }, waitLimitMs));
    // The page's own request was answered; its image is still on the way when the limit has long passed.
    const int limitPassedMs = int(std::chrono::milliseconds(2 * requestLimit).count());
    EXPECT_FALSE(QTest::qWaitFor([&] { return !delegate.webSpinner->isAnimating(); }, limitPassedMs));
    EXPECT_TRUE(finished.isEmpty());

    server.release();
    ASSERT_TRUE(spinnerStops());
    EXPECT_EQ(finished, QList<bool> { true });
    EXPECT_TRUE(imageShown());
    EXPECT_FALSE(delegate.label->text().contains(u"did not answer"_s));
}

TEST_F(WebLoad, TheEndOfASupersededLoadDoesNotEndTheLimitOfTheNext)
{
    start(server.url(u"/page"_s));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.wasAskedFor(u"/held"_s); }, waitLimitMs));

    const QUrl silent = server.url(u"/silent"_s);
    const QStringList lines = consoleLinesOf([&] {
        delegate.loadInWebView(silent);
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.wasAskedFor(u"/silent"_s); }, waitLimitMs));
        // The page that is being replaced finishes its last load while the next request waits.
        server.release();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return delegate.label->text().contains(u"did not answer"_s); }, waitLimitMs));
    });
    EXPECT_TRUE(
        lines.contains(u"loadInWebView: no answer from %1 within 2 s, stopped"_s.arg(silent.toString())))
        << lines.join(u'\n').toStdString();
    EXPECT_TRUE(spinnerStops());
}

}
