#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Why a file operation failed: a sentence for the user, and the full description for the log.
struct FileError
{
    QString localizedDescription;
    QString description;
};

// The file-system queries and operations of the move, with the user's own rights. The move makes every
// one of them through one object of this class, so a test can put a file system that refuses or grants
// what the machine it runs on would not (a test running as root may write anywhere).
class FileManager
{
public:
    virtual ~FileManager() = default;

    // The process's shared file manager.
    static FileManager& defaultManager();

    // Whether the current user may write the item at the path.
    virtual bool isWritableFileAtPath(const QString& path) const;
    // Whether a file or folder exists at the path.
    virtual bool fileExistsAtPath(const QString& path) const;
    // The names of a folder's entries (hidden ones too); none when the path cannot be listed as a folder.
    virtual std::optional<QStringList> contentsOfDirectoryAtPath(const QString& path) const;

    // Each of these answers none on success, or why it failed.
    // Moves the item into the user's Trash.
    virtual std::optional<FileError> trashItemAtPath(const QString& path);
    // Deletes a file or a whole folder tree.
    virtual std::optional<FileError> removeItemAtPath(const QString& path);
    // Copies a file or a whole folder tree (links stay links) to a path where nothing exists yet.
    virtual std::optional<FileError> copyItemAtPath(const QString& source, const QString& destination);
};
