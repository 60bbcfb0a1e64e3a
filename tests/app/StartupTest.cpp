#include "core/Spinner.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <memory>

namespace {

QSplitter* splitView(const TestApplication& application)
{
    return application.window()->findChild<QSplitter*>(QStringLiteral("splitView"));
}

TEST(Startup, InterfaceSetUpRequestsTheLogFormAtOnce)
{
    TestApplication application;
    AppDelegate& delegate = application.delegate;
    application.awake();

    // The request is issued by the interface set-up itself, before the launch steps run.
    EXPECT_EQ(delegate.webView->page()->requestedUrl(), delegate.formURL);
    EXPECT_EQ(delegate.webView->page()->profile(), delegate.webProfile());
    EXPECT_EQ(delegate.webProfile()->storageName(), QStringLiteral("com.FernwrightSystem.tapeScribe"));
    EXPECT_FALSE(delegate.webProfile()->isOffTheRecord());
    EXPECT_EQ(delegate.dateFormatter.format(), QStringLiteral("yyyy-MM-dd HH:mm:ss ZZZ"));
    EXPECT_TRUE(delegate.webSpinner->isAnimating());
    EXPECT_EQ(delegate.loadedAssetIndex, -1);
    EXPECT_EQ(delegate.mediaCreatedTime, QStringLiteral("stopped"));
}

void dragHandle(QSplitter* splitter, int toX)
{
    QSplitterHandle* handle = splitter->handle(1);
    const QPoint start = handle->rect().center();
    // The handle keeps the grip point under the pointer: move by the distance from the divider's edge.
    const QPoint target = handle->mapFromParent(QPoint(toX, 0)) + start;
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, handle->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(handle, &event);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, target, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, target, Qt::NoButton);
}

int divider(const QSplitter* splitter)
{
    return splitter->sizes().at(0);
}

TEST(SplitView, DividerStaysBetweenItsLimitsHoweverItIsMoved)
{
    TestApplication application;
    QMainWindow* window = application.window();
    QSplitter* splitter = splitView(application);
    window->resize(1800, 800);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    for (const auto& [wanted, expected] : { std::pair { 100, 480 }, { 479, 480 }, { 700, 700 }, { 911, 910 },
                                             { 1700, 910 }, { 0, 480 } }) {
        dragHandle(splitter, wanted);
        EXPECT_EQ(divider(splitter), expected) << "dragged to " << wanted;
    }

    // A double click on the divider collapses nothing.
    dragHandle(splitter, 600);
    QTest::mouseDClick(splitter->handle(1), Qt::LeftButton);
    EXPECT_EQ(divider(splitter), 600);

    // Window resizes push the divider, but never past its limits, and the log pane keeps its room.
    for (const int width : { 2400, 1000, 1300, 3000 }) {
        window->resize(width, 800);
        ASSERT_TRUE(QTest::qWaitFor([&] { return splitter->width() == width; })) << "window width " << width;
        EXPECT_GE(divider(splitter), 480) << "window width " << width;
        EXPECT_LE(divider(splitter), 910) << "window width " << width;
        EXPECT_GT(splitter->sizes().at(1), 0) << "window width " << width;
    }
    dragHandle(splitter, 2000);
    EXPECT_EQ(divider(splitter), 910);

    // Asked directly, the split view refuses to collapse either pane.
    splitter->setSizes({ 0, 3000 });
    EXPECT_EQ(divider(splitter), 480);
    splitter->setSizes({ 3000, 0 });
    EXPECT_EQ(divider(splitter), 910);
    EXPECT_GT(splitter->sizes().at(1), 0);
}

}
