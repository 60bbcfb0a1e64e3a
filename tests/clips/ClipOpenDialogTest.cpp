#include "clips/ClipOpenDialog.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int waitLimitMs = 10'000;

// The panel opened inside a card's folder of two clips, a note and a subfolder.
struct OpenPanel
{
    QTemporaryDir card;
    ClipOpenDialog dialog { nullptr, { u"org.smpte.mxf"_s, u"com.apple.quicktime-movie"_s } };

    OpenPanel()
    {
        for (const QString& name : { u"A001C001.MOV"_s, u"A001C002.mxf"_s, u"notes.txt"_s })
            QFile(card.filePath(name)).open(QIODevice::WriteOnly);
        QDir(card.path()).mkdir(u"CONTENTS"_s);
        dialog.setDirectory(card.path());
        dialog.open();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        // The folder is listed in the background: the clips and the subfolder, not the note.
        EXPECT_TRUE(QTest::qWaitFor([&] { return shownEntries() == 3; }, waitLimitMs));
    }

    QAbstractItemView* view() const { return dialog.findChild<QAbstractItemView*>(u"listView"_s); }
    int shownEntries() const { return view()->model()->rowCount(view()->rootIndex()); }
    // The logger clicks an entry of the list.
    void click(const QString& name) const
    {
        const QModelIndexList found = view()->model()->match(
            view()->model()->index(0, 0, view()->rootIndex()), Qt::DisplayRole, name, 1, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualRect(found.first()).center());
    }
    QPushButton* chooseButton() const
    {
        return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    }
    // The logger presses Choose.
    std::optional<QString> choose()
    {
        EXPECT_TRUE(chooseButton()->isEnabled());
        QTest::mouseClick(chooseButton(), Qt::LeftButton);
        return dialog.chosenPath();
    }
};

TEST(ClipOpenDialog, ChooseTakesWhatIsSelectedElseTheFolderShown)
{
    for (const auto& [selected, taken] : {
             std::pair { QString(), QString() },
             std::pair { u"A001C001.MOV"_s, u"A001C001.MOV"_s },
             std::pair { u"A001C002.mxf"_s, u"A001C002.mxf"_s },
             std::pair { u"CONTENTS"_s, u"CONTENTS"_s },
         }) {
        OpenPanel panel;
        EXPECT_EQ(panel.chooseButton()->text(), u"Choose"_s);
        if (!selected.isEmpty())
            panel.click(selected);
        const QString expected = taken.isEmpty() ? panel.card.path() : panel.card.filePath(taken);
        EXPECT_EQ(panel.choose(), expected) << selected.toStdString();
        EXPECT_FALSE(panel.dialog.isVisible());
    }
}

TEST(ClipOpenDialog, ChooseIsNeverGreyedOutWhileAFolderIsShown)
{
    OpenPanel panel;
    auto* fileName = panel.dialog.findChild<QLineEdit*>(u"fileNameEdit"_s);
    // A selection made and cleared again, a name typed and erased, another folder entered.
    panel.click(u"A001C001.MOV"_s);
    EXPECT_TRUE(panel.chooseButton()->isEnabled());
    panel.view()->clearSelection();
    fileName->clear();
    EXPECT_TRUE(panel.chooseButton()->isEnabled());
    QTest::keyClicks(fileName, u"A0"_s);
    EXPECT_TRUE(panel.chooseButton()->isEnabled());
    fileName->clear();
    EXPECT_TRUE(panel.chooseButton()->isEnabled());
    panel.dialog.setDirectory(panel.card.filePath(u"CONTENTS"_s));
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.shownEntries() == 0; }, waitLimitMs));
    EXPECT_TRUE(panel.chooseButton()->isEnabled());
    EXPECT_EQ(panel.choose(), panel.card.filePath(u"CONTENTS"_s));
}

TEST(ClipOpenDialog, ANameThatIsNotThereIsNotTakenAndCancelTakesNothing)
{
    OpenPanel panel;
    panel.dialog.findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(u"A001C009.MOV"_s);
    // The logger reads the warning and closes it. What it said is checked once the panel has answered,
    // not in here: a failed check would leave the box open until the test's time-out.
    std::optional<QString> told;
    QTimer::singleShot(0, [&] {
        const auto warning = [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); };
        if (!QTest::qWaitFor(warning, waitLimitMs))
            return;
        told = warning()->text();
        warning()->accept();
    });
    EXPECT_EQ(panel.choose(), std::nullopt);
    ASSERT_TRUE(told) << "no warning came";
    EXPECT_TRUE(told->contains(u"A001C009.MOV"_s)) << told->toStdString();
    EXPECT_TRUE(panel.dialog.isVisible());

    panel.dialog.reject();
    EXPECT_EQ(panel.dialog.chosenPath(), std::nullopt);
}

}
