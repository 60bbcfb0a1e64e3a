#include "app/ApplicationMain.h"
#include "core/Platform.h"
#include "move/AppMover.h"
#include "core/Spinner.h"
#include "support/ConsoleLines.h"
#include "support/TestApplication.h"
#include "support/WebEngineView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QLabel>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QWindow>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

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
    const QWebEngineView* view = webEngineView(delegate);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->page()->requestedUrl(), delegate.formURL);
    EXPECT_EQ(view->page()->profile()->storageName(), QStringLiteral("com.FernwrightSystem.tapeScribe"));
    EXPECT_FALSE(view->page()->profile()->isOffTheRecord());
    EXPECT_EQ(delegate.dateFormatter.format(), QStringLiteral("yyyy-MM-dd HH:mm:ss ZZZ"));
    EXPECT_TRUE(delegate.webSpinner->isAnimating());
    EXPECT_EQ(delegate.loadedAssetIndex, -1);
    EXPECT_EQ(delegate.mediaCreatedTime, QStringLiteral("stopped"));
}

// Calls `arrived` as a widget arrives in the pane it watches: the web view, the only widget that comes
// into the web view's pane after the window is made. Told as the view is being made, before it is one.
class WebViewArrival : public QObject
{
public:
    std::function<void()> arrived;

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded && static_cast<QChildEvent*>(event)->child()->isWidgetType())
            arrived();
        return false;
    }
};

// The logger sees the window before the web engine starts: when the web view arrives in its pane, the
// window is on the screen already, drawn with the form pane's spinner turning. The form is requested from
// there, before the move offer.
TEST(Startup, TheWindowIsOnScreenBeforeTheWebViewIsMade)
{
    TestApplication application;
    AppDelegate& delegate = application.delegate;
    delegate.showFormatWarning = [](const QString&) {};
    struct
    {
        bool windowExposed = false;
        bool spinnerTurning = false;
    } atWebView;
    WebViewArrival arrival;
    arrival.arrived = [&] {
        const QWindow* handle = application.window()->windowHandle();
        atWebView.windowExposed = handle && handle->isExposed();
        atWebView.spinnerTurning = delegate.webSpinner->isAnimating();
    };
    delegate.webViewPane->installEventFilter(&arrival);
    std::optional<QUrl> requestedAtMoveOffer;
    AppMover& mover = AppMover::shared();
    const auto bundlePath = std::exchange(mover.mainBundlePath, [&] {
        const QWebEngineView* view = webEngineView(delegate);
        requestedAtMoveOffer = view ? view->page()->requestedUrl() : QUrl();
        return std::optional<QString>();
    });
    const auto restoreMover = qScopeGuard([&] { mover.mainBundlePath = bundlePath; });

    bool launched = false;
    launch(delegate, application.interface, [&] { launched = true; });
    EXPECT_TRUE(application.window()->isVisible());
    EXPECT_FALSE(delegate.webView);
    ASSERT_TRUE(QTest::qWaitFor([&] { return launched; }, 30'000));

    EXPECT_TRUE(atWebView.windowExposed);
    EXPECT_TRUE(atWebView.spinnerTurning);
    ASSERT_TRUE(delegate.webView);
    EXPECT_EQ(delegate.webView->parentWidget(), delegate.webViewPane);
    EXPECT_EQ(requestedAtMoveOffer, delegate.formURL);
}

// The player's libraries are asked what they decode once the log form's first page has ended (the pane's
// spinner stops then), not while it loads: loaded beside the web engine's start, they held the form up.
TEST(Startup, TheFormatCheckWaitsForTheFormsFirstPage)
{
    TestApplication application;
    AppDelegate& delegate = application.delegate;
    delegate.showFormatWarning = [](const QString&) {};
    // A page that needs no name resolved, so that the check's patience cannot run out first.
    delegate.formURL = QUrl(QStringLiteral("data:text/html,<p>The log form</p>"));
    std::optional<bool> formLoadingAtCheck;
    QObject::connect(&delegate.professionalFormatCheck, &QFutureWatcherBase::started,
        [&] { formLoadingAtCheck = delegate.webSpinner->isAnimating(); });

    launch(delegate, application.interface, [] {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return formLoadingAtCheck.has_value(); }, 30'000));
    EXPECT_FALSE(*formLoadingAtCheck);
}

// Without the web engine's module (a damaged installation), the window still comes up and works; the pane
// stops waiting, and the logger and the console are told why no form shows.
TEST(Startup, AMissingWebViewModuleIsReportedAndTheRestStillWorks)
{
    const QTemporaryDir emptyFolder;
    Platform::setModuleFolder(emptyFolder.path());
    const auto restoreModules = qScopeGuard([] { Platform::setModuleFolder({}); });
    TestApplication application;
    AppDelegate& delegate = application.delegate;

    const QStringList lines = consoleLinesOf([&] { application.awake(); });

    EXPECT_FALSE(delegate.webView);
    EXPECT_FALSE(delegate.webSpinner->isAnimating());
    EXPECT_TRUE(delegate.label->text().contains(QStringLiteral("log form cannot be shown")));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("setUpWebView: the web view could not be loaded: ")));
    EXPECT_TRUE(lines.last().contains(QStringLiteral("tapescribe-web.so")));
    // What would reach the page does nothing.
    delegate.loadInWebView(delegate.formURL);
    delegate.setTimeOffsetCookie();
    delegate.notesTimerDidFire();
    EXPECT_TRUE(application.show());
}

// Every menu item and button, fired as the logger fires it, reaches the handler it names: a miswired
// form shows here rather than as a menu item that does nothing.
TEST(Startup, MenuItemsAndButtonsReachTheirHandlers)
{
    TestApplication application;
    AppDelegate& delegate = application.delegate;
    application.awake();
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    int openPanels = 0;
    delegate.runOpenPanel = [&](const QStringList&) {
        ++openPanels;
        return std::optional<QString>();
    };
    int alerts = 0;
    delegate.runAlert = [&](QMessageBox&) { ++alerts; };
    QStringList opened;
    Platform::setUrlOpener([&](const QUrl& url) {
        opened.append(url.path());
        return true;
    });
    const auto item = [&](const char* name) {
        auto* action = application.window()->findChild<QAction*>(QLatin1String(name));
        EXPECT_TRUE(action) << name;
        return action;
    };

    item("actionOpen")->trigger();
    EXPECT_EQ(openPanels, 1);
    delegate.chooseFolderButton->click();
    EXPECT_EQ(openPanels, 2);

    item("actionShowHelp")->trigger();
    item("actionShowGlossary")->trigger();
    item("actionEmailSupport")->trigger();
    EXPECT_EQ(opened.size(), 3);
    EXPECT_TRUE(opened.value(0).endsWith(QStringLiteral("/tapescribe.html"))) << opened.value(0).toStdString();
    EXPECT_TRUE(opened.value(1).endsWith(QStringLiteral("/glossary.html"))) << opened.value(1).toStdString();
    EXPECT_TRUE(opened.value(2).startsWith(QStringLiteral("support@"))) << opened.value(2).toStdString();
    Platform::setUrlOpener({});

    item("actionPreferences")->trigger();
    EXPECT_TRUE(delegate.preferencesWindow->isVisible());
    // Save either stores the account and closes the window, or says why it could not.
    delegate.usernameField->setText(QStringLiteral("menu-test"));
    delegate.preferencesWindow->findChild<QPushButton*>(QStringLiteral("saveButton"))->click();
    EXPECT_TRUE(!delegate.preferencesWindow->isVisible() || alerts == 1);
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
