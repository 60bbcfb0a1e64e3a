#pragma once

#include <QCoreApplication>
#include <QString>

// A file that the log form hands over, such as its notes as CSV: where it is offered to be saved, and what
// the status label says of it.
class FormDownload
{
    Q_DECLARE_TR_FUNCTIONS(FormDownload)

public:
    // The downloads folder and the name the service suggests. The suggestion is taken as a plain file name
    // (whatever folders it names are dropped), and a suggestion without one gets a name of its own.
    static QString proposedPath(const QString& downloadsFolder, const QString& suggestedName);

    // The status label's texts while the file at `path` is written, once it is there, and when it is not.
    static QString saving(const QString& path);
    static QString saved(const QString& path);
    static QString failed(const QString& path, const QString& reason);
};
