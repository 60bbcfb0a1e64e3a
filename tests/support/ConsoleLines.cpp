#include "support/ConsoleLines.h"

#include <gtest/gtest.h>

QStringList consoleLinesOf(const std::function<void()>& call)
{
    testing::internal::CaptureStdout();
    call();
    QString text = QString::fromStdString(testing::internal::GetCapturedStdout());
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}
