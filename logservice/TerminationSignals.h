#pragma once

#include <QObject>

class QSocketNotifier;

// Ends the event loop on SIGTERM or SIGINT, so that the service closes its database and sockets and exits
// with status 0. The signal handler only writes a byte into a pipe; the rest runs in the event loop.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the pipe or the handlers could not be set up.
    bool install();

private:
    QSocketNotifier* m_notifier = nullptr;
};
