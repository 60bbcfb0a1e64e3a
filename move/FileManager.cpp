#include "move/FileManager.h"

#include "move/MovePlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path filePath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// The descriptions are shown in the move's alerts, so they are in the user's language.
QString text(const char* english)
{
    return QCoreApplication::translate("FileManager", english);
}

// `operation` names what failed and the path it failed on.
FileError errorFor(const QString& operation, const std::error_code& error)
{
    const QString reason = QString::fromLocal8Bit(error.message().c_str());
    return { reason,
        text(QT_TRANSLATE_NOOP("FileManager", "%1 failed: %2 (%3 error %4)"))
            .arg(operation, reason, QString::fromLatin1(error.category().name()),
                QString::number(error.value())) };
}

}

FileManager& FileManager::defaultManager()
{
    static FileManager manager;
    return manager;
}

bool FileManager::isWritableFileAtPath(const QString& path) const
{
    return QFileInfo(path).isWritable();
}

bool FileManager::fileExistsAtPath(const QString& path) const
{
    return QFileInfo::exists(path);
}

std::optional<QStringList> FileManager::contentsOfDirectoryAtPath(const QString& path) const
{
    const QFileInfo folder(path);
    if (!folder.isDir() || !folder.isReadable())
        return std::nullopt;
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

std::optional<FileError> FileManager::trashItemAtPath(const QString& path)
{
    QString reason;
    if (MovePlatform::moveToTrash(path, reason))
        return std::nullopt;
    return FileError { reason,
        text(QT_TRANSLATE_NOOP("FileManager", "Moving '%1' to the Trash failed: %2")).arg(path, reason) };
}

std::optional<FileError> FileManager::removeItemAtPath(const QString& path)
{
    std::error_code error;
    std::filesystem::remove_all(filePath(path), error);
    if (error)
        return errorFor(text(QT_TRANSLATE_NOOP("FileManager", "Deleting '%1'")).arg(path), error);
    return std::nullopt;
}

std::optional<FileError> FileManager::copyItemAtPath(const QString& source, const QString& destination)
{
    std::error_code error;
    // Copying a folder onto an existing one would merge the two trees; the move wants a fresh copy.
    if (std::filesystem::exists(std::filesystem::symlink_status(filePath(destination), error)))
        return errorFor(text(QT_TRANSLATE_NOOP("FileManager", "Copying to '%1'")).arg(destination),
            std::make_error_code(std::errc::file_exists));
    std::filesystem::copy(filePath(source), filePath(destination),
        std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks, error);
    if (error)
        return errorFor(
            text(QT_TRANSLATE_NOOP("FileManager", "Copying '%1' to '%2'")).arg(source, destination), error);
    return std::nullopt;
}
