#pragma once

#include "ClipFixtures.h"
#include "support/ConsoleLines.h"
#include "support/TestApplication.h"

#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <sys/xattr.h>

constexpr int loadLimit = 30'000;
inline const QString cookiePrefix = QStringLiteral("setTimeOffsetCookie: secondsBetween = ");

// tapeScribe's window as its start builds it, shown, beside a folder holding copies of the given clips.
// Rows are named as the scan's list (`assets`) numbers them; the table may show them in another order.
struct Logger : TestApplication
{
    QTemporaryDir folder;

    explicit Logger(std::initializer_list<std::pair<const char*, ClipFixtures::Kind>> clips)
    {
        for (const auto& [name, kind] : clips)
            ClipFixtures::copy(kind, path(name));
        awake();
        EXPECT_TRUE(show());
    }

    QString path(const char* name) const { return folder.filePath(QLatin1String(name)); }
    void choose(const QString& chosen)
    {
        delegate.runOpenPanel = [chosen](const QStringList&) { return std::optional<QString>(chosen); };
        delegate.showOpenPanel();
    }
    void scan() { choose(folder.path()); }
    QTableView* table() const { return delegate.tableView; }
    MpvPlayer* player() const { return delegate.playerView->player(); }
    // Selects the clip `assets[row]`, wherever the table shows it.
    void select(int row) const { table()->selectRow(delegate.clipSortModel.viewRow(row)); }
    int row(const QString& name) const
    {
        for (int i = 0; i < delegate.assets.size(); ++i)
            if (delegate.assets[i].name == name)
                return i;
        return -1;
    }
    // The clip names in the order the table shows them.
    QStringList shownNames() const
    {
        QStringList names;
        for (int viewRow = 0; viewRow < table()->model()->rowCount(); ++viewRow)
            names.append(delegate.assets[delegate.clipSortModel.sourceRow(viewRow)].name);
        return names;
    }
    bool waitForMetadata() const
    {
        return QTest::qWaitFor(
            [this] {
                for (int row = 0; row < delegate.assets.size(); ++row)
                    if (delegate.clipModel.isMetadataPending(row))
                        return false;
                return true;
            },
            loadLimit);
    }
    bool waitUntilOpened() const
    {
        return QTest::qWaitFor([this] { return player() && player()->duration() > 0; }, loadLimit);
    }
    bool waitForTime(double seconds) const
    {
        return QTest::qWaitFor([&] { return std::abs(player()->currentTime() - seconds) < 0.01; }, loadLimit);
    }
    void expectMarks(int loaded) const
    {
        for (int row = 0; row < delegate.assets.size(); ++row)
            EXPECT_EQ(delegate.clipModel.mark(row),
                row == loaded ? ClipModel::Mark::Unavailable : ClipModel::Mark::None)
                << row;
    }
};

inline QString storedAttribute(const QString& path)
{
    char value[256] = {};
    const ssize_t size = ::getxattr(
        QFile::encodeName(path).constData(), "user.com.FernwrightSystem.logStartTime", value, sizeof value);
    return size < 0 ? QString() : QString::fromUtf8(value, size);
}

// The seconds in the last cookie line that `call` writes.
inline double cookieSecondsOf(const std::function<void()>& call)
{
    const QStringList lines = consoleLinesOf(call).filter(cookiePrefix);
    EXPECT_FALSE(lines.isEmpty());
    return lines.isEmpty() ? qQNaN() : lines.last().mid(cookiePrefix.size()).toDouble();
}
