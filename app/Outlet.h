#pragma once

#include <QObject>

// The named view of the interface. An outlet that the interface does not provide, or provides as another
// kind of view, is a programming error: the application stops at once with a message naming it rather
// than failing later on a null view.
template <typename T>
T* requireOutlet(const QObject& root, const char* name)
{
    T* outlet = root.findChild<T*>(QString::fromLatin1(name));
    if (!outlet)
        qFatal("tapeScribe: the interface has no outlet \"%s\" of the expected kind", name);
    return outlet;
}
