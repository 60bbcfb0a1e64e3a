#include "move/MoveStrings.h"

#include <QCoreApplication>

namespace {
// The strings are marked where they stand, so that lupdate finds them in their context.
QString text(const char* english)
{
    return QCoreApplication::translate("MoveApplication", english);
}
}

MoveStrings MoveStrings::localized()
{
    return {
        .couldNotMove = text(QT_TRANSLATE_NOOP("MoveApplication", "Could not move to Applications folder")),
        .couldNotRelaunch = text(QT_TRANSLATE_NOOP("MoveApplication",
            "Could not start the copy in the Applications folder; this copy goes on running.")),
        .questionTitle = text(QT_TRANSLATE_NOOP("MoveApplication", "Move to Applications folder?")),
        .questionTitleHome
        = text(QT_TRANSLATE_NOOP("MoveApplication", "Move to Applications folder in your Home folder?")),
        .questionMessage = text(QT_TRANSLATE_NOOP(
            "MoveApplication", "I can move myself to the Applications folder if you'd like.")),
        .buttonMove = text(QT_TRANSLATE_NOOP("MoveApplication", "Move to Applications Folder")),
        .buttonStay = text(QT_TRANSLATE_NOOP("MoveApplication", "Do Not Move")),
        .infoNeedsPassword = text(
            QT_TRANSLATE_NOOP("MoveApplication", "Note that this will require an administrator password.")),
        .infoInDownloads
        = text(QT_TRANSLATE_NOOP("MoveApplication", "This will keep your Downloads folder uncluttered.")),
        .suppressCheckbox = text(QT_TRANSLATE_NOOP("MoveApplication", "Do not show this message again")),
    };
}
