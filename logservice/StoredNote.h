#pragma once

#include "logservice/Note.h"

#include <QtGlobal>

// A note as the store keeps it: its id, which never changes and grows in the order notes are stored, lets a
// reader ask for the notes it has not seen yet.
struct StoredNote
{
    qint64 id = 0;
    Note note;
};
