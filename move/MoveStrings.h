#pragma once

#include <QString>

// The texts of the move offer and its failure alert, in the user's language: each English text is looked
// up in the translation context "MoveApplication"; where no translation is loaded, the English text stands.
struct MoveStrings
{
    QString couldNotMove;
    QString couldNotRelaunch;
    QString questionTitle;
    QString questionTitleHome;
    QString questionMessage;
    QString buttonMove;
    QString buttonStay;
    QString infoNeedsPassword;
    QString infoInDownloads;
    QString suppressCheckbox;

    static MoveStrings localized();
};
