#include "app/FontSetUp.h"

#include <gtest/gtest.h>

#include <QProcessEnvironment>
#include <QString>

using namespace Qt::StringLiterals;

namespace {

// The set-up runs beside the making of the application only where nothing writes to the environment
// meanwhile: Qt takes a desktop's start-up notice away as it connects, even an empty one.
TEST(FontSetUp, RunsBesideTheStartOnlyWithoutAStartUpNotice)
{
    QProcessEnvironment environment;
    environment.insert(u"HOME"_s, u"/home/logger"_s);
    environment.insert(u"DISPLAY"_s, u":0"_s);
    environment.insert(u"DESKTOP_SESSION"_s, u"gnome"_s);
    EXPECT_TRUE(FontSetUp::mayRunBesideStart(environment));
    EXPECT_TRUE(FontSetUp::mayRunBesideStart(QProcessEnvironment()));

    for (const QString& notice : { u"DESKTOP_STARTUP_ID"_s, u"XDG_ACTIVATION_TOKEN"_s }) {
        for (const QString& value : { u"dock-1234-host-tapescribe_TIME5678"_s, QString() }) {
            QProcessEnvironment withNotice = environment;
            withNotice.insert(notice, value);
            EXPECT_FALSE(FontSetUp::mayRunBesideStart(withNotice))
                << notice.toStdString() << '=' << value.toStdString();
        }
    }
}

}
