#include "core/Console.h"
#include "support/ConsoleLines.h"

#include <gtest/gtest.h>

namespace {

// A burst's lines come out whole and in order, across the batch's own flushes and around single lines
// written before and after it; nothing is left unwritten when the batch ends, and no line's bytes run
// into the next.
TEST(ConsoleBatch, WritesEveryLineInOrderAcrossItsFlushes)
{
    QStringList expected { QStringLiteral("before") };
    const QStringList lines = consoleLinesOf([&] {
        consoleLine(QStringLiteral("before"));
        {
            ConsoleBatch batch;
            // Well past one flush's worth, with lines of every length up to 2,000 characters, an empty one
            // and one outside ASCII.
            for (int i = 0; i < 400; ++i) {
                const QString line = QString(i * 5, QChar(u'a' + i % 26)) + QString::number(i);
                batch.line(line);
                expected.append(line);
            }
            batch.line(QString());
            batch.line(QStringLiteral("Ü 🎬"));
            // A line cut inside a character keeps its stub to itself.
            batch.line(QStringLiteral("🎬").left(1));
            batch.line(QStringLiteral("next"));
            expected << QString() << QStringLiteral("Ü 🎬") << QString(QChar::ReplacementCharacter)
                     << QStringLiteral("next");
        }
        consoleLine(QStringLiteral("after"));
    });
    expected.append(QStringLiteral("after"));
    EXPECT_EQ(lines, expected);
}

}
