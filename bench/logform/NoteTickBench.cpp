#include "clips/BenchApplication.h"
#include "clips/QuietConsole.h"
#include "support/LogServiceProcess.h"
#include "support/Statistics.h"
#include "support/WebEngineView.h"

#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"
#include "core/BuildConfig.h"
#include "logform/LogServiceAddress.h"
#include "logform/SignInPage.h"

#include <QWebEnginePage>
#include <QWebEngineScript>

#include <cstdio>
#include <memory>

// From the moment the logger stores a note in the form until its tick stands on the position bar: the
// form's request, the service, the program's next reading of the notes and the placing on the clip.
namespace {

constexpr int notes = 10;
const QString host = QString::fromLatin1(BuildConfig::logServiceHost);

QVariant evaluate(QWebEnginePage* page, const QString& script)
{
    const auto value = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [value](const QVariant& result) { *value = result; });
    BenchApplication::waitFor([&] { return value->has_value(); });
    return value->value_or(QVariant());
}

bool pageIs(QWebEnginePage* page, const QUrl& address)
{
    return BenchApplication::waitFor([&] { return LogServiceAddress::samePage(page->url(), address) && !page->isLoading(); }, 60'000);
}

}

int main(int argc, char** argv)
{
    prepareProcess();
    QApplication application(argc, argv);
    configureApplication();
    LogServiceProcess service;
    if (!service.start() || !service.addAccount(QStringLiteral("bench"), QStringLiteral("bench-pw"))) {
        std::fprintf(stderr, "the local log service did not start\n");
        return 1;
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", service.chromiumFlags(host));
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    const QString clip = home.filePath(QStringLiteral("A001C007.MP4"));
    const QString recorded = QDateTime::currentDateTimeUtc().addSecs(-3600).toString(Qt::ISODate);
    if (!makeClip(clip, "640x360", 60, { QStringLiteral("-metadata"), QStringLiteral("creation_time=") + recorded }))
        return 1;

    BenchApplication bench;
    AppDelegate& delegate = bench.delegate;
    QWebEnginePage* page = webEngineView(delegate)->page();
    delegate.username = QStringLiteral("bench");
    delegate.password = QStringLiteral("bench-pw");
    if (!pageIs(page, signInPageURL(host))) {
        std::fprintf(stderr, "the sign-in page did not load\n");
        return 1;
    }
    BenchApplication::runFor(500); // the account written into the fields
    evaluate(page, QStringLiteral("document.getElementById('sign_in').click()"));
    if (!pageIs(page, delegate.formURL)) {
        std::fprintf(stderr, "signing in did not lead to the log form\n");
        return 1;
    }
    delegate.openPaths({ clip });
    if (!BenchApplication::waitFor([&] { return delegate.playerView->player() && delegate.playerView->player()->duration() > 0; })) {
        std::fprintf(stderr, "the clip did not open\n");
        return 1;
    }

    std::vector<double> samples;
    std::optional<QuietConsole> quiet(std::in_place);
    for (int i = 0; i < notes; ++i) {
        // Each note at its own second of the clip, as a logger's notes are.
        delegate.playerView->player()->seek(5.0 + 4 * i);
        BenchApplication::waitFor([&] { return std::abs(delegate.playerView->player()->currentTime() - (5.0 + 4 * i)) < 0.01; });
        delegate.setTimeOffsetCookie();
        const qsizetype ticks = delegate.playerView->noteMarks().size();
        // Spread over the second, as a logger's presses are, against the program's reading once a second.
        BenchApplication::runFor(137 * i % 1000);
        const auto start = Bench::Clock::now();
        evaluate(page, QStringLiteral("document.getElementById('note').value = 'note %1';"
                                      "document.getElementById('store').click()").arg(i));
        if (!BenchApplication::waitFor([&] { return delegate.playerView->noteMarks().size() > ticks; }, 10'000)) {
            quiet.reset();
            std::fprintf(stderr, "note %d reached no tick within 10 s\n", i + 1);
            return 1;
        }
        samples.push_back(Bench::millisecondsSince(start));
    }
    quiet.reset();
    std::sort(samples.begin(), samples.end());
    std::printf("note stored in the form to its tick on the bar: median %.0f ms, fastest %.0f ms, slowest %.0f ms "
                "over %d notes (goal: median <= 2000 ms)\n",
        Bench::median(samples), samples.front(), samples.back(), notes);
    return 0;
}
