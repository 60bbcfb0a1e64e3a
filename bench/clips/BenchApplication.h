#pragma once

#include "app/ApplicationMain.h"
#include "support/TestApplication.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

// tapeScribe's window as its start builds it, for the benchmarks that time what the logger waits for.
struct BenchApplication : TestApplication
{
    BenchApplication()
    {
        awake();
        // Shown and active: the player's keys are shortcuts, which act in the active window only.
        show();
    }

    // Runs the event loop until `done` holds or `milliseconds` have passed; whether it held.
    template <typename Condition> static bool waitFor(Condition done, int milliseconds = 30'000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > milliseconds)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }

    // Runs the event loop for `milliseconds`: the window draws and the player reports meanwhile.
    static void runFor(int milliseconds)
    {
        waitFor([] { return false; }, milliseconds);
    }
};

// A clip made by ffmpeg: `size` pixels, `seconds` long, at 25 frames a second, with the given encoder
// options. False when ffmpeg failed.
inline bool makeClip(const QString& path, const char* size, int seconds, const QStringList& encoder)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
        QStringList { QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-nostdin"),
            QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
            QStringLiteral("testsrc2=size=%1:rate=25:duration=%2").arg(QLatin1String(size)).arg(seconds) }
            + encoder + QStringList { path });
    if (!ffmpeg.waitForFinished(120'000) || ffmpeg.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed for %s: %s\n", qPrintable(path),
            ffmpeg.readAllStandardError().constData());
        return false;
    }
    return true;
}
