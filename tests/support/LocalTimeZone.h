#pragma once

#include <QByteArray>

// The process's local time zone made `name` (an IANA name: "Europe/Berlin") while this lives; the zone
// it had comes back after. Qt works out local times with the C library, which reads TZ afresh for each
// one, so a test can expect literal local texts whatever zone it runs in. A zone without data on this
// machine fails the test: the C library would quietly take it for UTC.
//
// Made before the threads that read local times start (the player's, the web view's): the environment
// is not safe to change while another thread reads it.
class LocalTimeZone
{
public:
    explicit LocalTimeZone(const char* name);
    ~LocalTimeZone();
    LocalTimeZone(const LocalTimeZone&) = delete;
    LocalTimeZone& operator=(const LocalTimeZone&) = delete;

private:
    QByteArray previous;
    bool hadZone;
};
