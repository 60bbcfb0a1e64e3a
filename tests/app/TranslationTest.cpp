#include "app/ApplicationMain.h"
#include "clips/MediaCapabilities.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QMap>
#include <QMenu>
#include <QRegularExpression>
#include <QTableView>
#include <QTranslator>

namespace {

using namespace Qt::StringLiterals;

// Every text a person reads in the main window (its menus, actions, tooltips and the clip table's
// headers, the player pane's among them) and in the preferences window, by where it is shown.
QMap<QString, QString> visibleTexts(const TestApplication& application)
{
    QMap<QString, QString> texts;
    const auto add = [&texts](const QString& place, const QString& text) {
        if (!text.isEmpty())
            texts.insert(place, text);
    };
    const QWidget* windows[] = { application.window(), application.interface.preferences() };
    for (const QWidget* window : windows) {
        add(window->objectName() + u" title"_s, window->windowTitle());
        for (const QAction* action : window->findChildren<QAction*>())
            add(action->objectName() + u" text"_s, action->text());
        for (const QMenu* menu : window->findChildren<QMenu*>())
            add(menu->objectName() + u" title"_s, menu->title());
        for (const QWidget* widget : window->findChildren<QWidget*>())
            add(widget->objectName() + u" tooltip"_s, widget->toolTip());
        for (const QLabel* label : window->findChildren<QLabel*>())
            add(label->objectName() + u" text"_s, label->text());
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
            add(button->objectName() + u" text"_s, button->text());
    }
    const QAbstractItemModel* clips = application.delegate.tableView->model();
    for (int column = 0; column < clips->columnCount(); ++column)
        add(u"clip table column %1"_s.arg(column), clips->headerData(column, Qt::Horizontal).toString());
    return texts;
}

// Texts that German writes as English does: the product's name, key names, and words German took over.
bool sameInGerman(const QString& text)
{
    static const QStringList shared { u"tapeScribe"_s, u"Name"_s, u"Format"_s, u"F1"_s, u"Ctrl+O"_s,
        u"Ctrl+,"_s, u"Ctrl+Q"_s };
    return shared.contains(text) || !text.contains(QRegularExpression(u"[A-Za-z]"_s));
}

// Defined before the German desktop's tests, and so run before them: a desktop in no language (LANG=C), in
// English, or in one tapeScribe has no catalogue for reads English, plural forms included. Each language's
// translators go again after it, and the default language comes back.
TEST(EnglishFallback, PluralMessagesReadAsEnglishWhateverTheLanguage)
{
    const QLocale desktop;
    const auto seconds = [](int n) {
        return QCoreApplication::translate(
            "AppDelegate", "The log service did not answer within %n second(s).", nullptr, n);
    };
    for (const QLocale& language :
        { QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::French) }) {
        QLocale::setDefault(language);
        installTranslations(*QCoreApplication::instance());
        EXPECT_EQ(seconds(60), u"The log service did not answer within 60 seconds."_s)
            << language.name().toStdString();
        EXPECT_EQ(seconds(1), u"The log service did not answer within 1 second."_s)
            << language.name().toStdString();
        qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly));
    }
    QLocale::setDefault(desktop);
}

// One process, one language change: the English texts are read before the German desktop's translations
// are installed, and every test after that sees German.
class GermanDesktop : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        {
            TestApplication english;
            englishTexts = new QMap<QString, QString>(visibleTexts(english));
        }
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        installTranslations(*QCoreApplication::instance());
    }
    static void TearDownTestSuite() { delete englishTexts; }

    static inline QMap<QString, QString>* englishTexts = nullptr;
};

TEST_F(GermanDesktop, TranslatesEveryTextOfTheWindowsMenusAndPlayer)
{
    TestApplication german;
    const QMap<QString, QString> germanTexts = visibleTexts(german);
    ASSERT_EQ(germanTexts.keys(), englishTexts->keys());
    // The player's tooltips, the Player menu and the preferences' labels are among them.
    for (const char* place : { "playButton tooltip", "playerMenu title", "actionHardwareDecoding text",
             "usernameLabel text", "saveButton text", "clip table column 1" })
        EXPECT_TRUE(germanTexts.contains(QString::fromLatin1(place))) << place;
    for (auto english = englishTexts->cbegin(); english != englishTexts->cend(); ++english) {
        if (!sameInGerman(english.value())) {
            EXPECT_NE(germanTexts.value(english.key()), english.value()) << english.key().toStdString();
        }
    }
}

TEST_F(GermanDesktop, CountsInGermanPluralForms)
{
    const auto clips = [](int n) {
        return QCoreApplication::translate("AppDelegate", "%n clips from “%1”", nullptr, n).arg(u"A"_s);
    };
    EXPECT_EQ(clips(1), u"1 Clip aus „A“"_s);
    EXPECT_EQ(clips(3), u"3 Clips aus „A“"_s);
}

TEST_F(GermanDesktop, QtsOwnButtonsAreGermanToo)
{
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Abbrechen"_s);
}

TEST_F(GermanDesktop, FormatWarningAlertsInGermanAndLogsInEnglish)
{
    const MediaCapabilities withoutProRes { { u"mxf"_s }, { u"dnxhd"_s, u"mpeg2video"_s } };
    EXPECT_EQ(*professionalFormatsWarning(withoutProRes),
        u"Einige professionelle Clips lassen sich nicht wiedergeben: In den FFmpeg-Bibliotheken des "
        u"Videoplayers fehlt der ProRes-Decoder. Installieren Sie Debians vollständige Pakete libavcodec und "
        u"libavformat, um sie wiederzugeben."_s);
    const MediaCapabilities withoutTwo { { u"mxf"_s }, { u"dnxhd"_s } };
    EXPECT_TRUE(professionalFormatsWarning(withoutTwo)
                    ->contains(u"fehlen der ProRes-Decoder und der MPEG-2-Decoder"_s));
    EXPECT_TRUE(professionalFormatsWarning(withoutTwo, englishWords)
                    ->contains(u"the ProRes decoder and the MPEG-2 decoder are missing"_s));
}

}
