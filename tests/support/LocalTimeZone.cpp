#include "support/LocalTimeZone.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <ctime>

LocalTimeZone::LocalTimeZone(const char* name)
    : previous(qgetenv("TZ"))
    , hadZone(qEnvironmentVariableIsSet("TZ"))
{
    if (!QTimeZone(name).isValid())
        ADD_FAILURE() << "no data for the time zone " << name << " (Debian's tzdata)";
    qputenv("TZ", name);
    tzset();
}

LocalTimeZone::~LocalTimeZone()
{
    if (hadZone)
        qputenv("TZ", previous);
    else
        qunsetenv("TZ");
    tzset();
}
