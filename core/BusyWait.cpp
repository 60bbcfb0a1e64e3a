#include "core/BusyWait.h"
#include "core/CommandRunner.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QThread>

namespace BusyWait {

namespace {

    // Runs that are waiting on the main thread, one inside another when an event handled during a wait
    // started a run of its own.
    int waitingRuns = 0;
    bool handlingEvents = false;

    void observe(CommandWait wait)
    {
        // Only the main thread draws the windows; without an application there is none to keep alive.
        const QCoreApplication* application = QCoreApplication::instance();
        if (!application || QThread::currentThread() != application->thread())
            return;
        switch (wait) {
        case CommandWait::Began:
            if (waitingRuns++ == 0)
                QGuiApplication::setOverrideCursor(Qt::BusyCursor);
            return;
        case CommandWait::Continues:
            // A run inside another one blocks as runs always did: events are handled by the outer wait
            // alone, so no handler is entered twice.
            if (handlingEvents)
                return;
            handlingEvents = true;
            // Neither input nor a hand-over from a second start (the single-instance socket) is taken
            // while a step waits: both could start another step in the middle of this one.
            QCoreApplication::processEvents(
                QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
            handlingEvents = false;
            return;
        case CommandWait::Ended:
            if (--waitingRuns == 0)
                QGuiApplication::restoreOverrideCursor();
            return;
        }
    }

}

void install()
{
    setCommandWaitObserver(observe);
}

}
