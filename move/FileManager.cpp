#include "move/FileManager.h"

#include "core/Platform.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path filePath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

FileError errorFor(const QString& operation, const QString& path, const std::error_code& error)
{
    const QString reason = QString::fromLocal8Bit(error.message().c_str());
    return { reason,
        QStringLiteral("%1 '%2' failed: %3 (%4 error %5)")
            .arg(operation, path, reason, QString::fromLatin1(error.category().name()),
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
    if (Platform::moveToTrash(path, reason))
        return std::nullopt;
    return FileError { reason, QStringLiteral("Moving '%1' to the Trash failed: %2").arg(path, reason) };
}

std::optional<FileError> FileManager::removeItemAtPath(const QString& path)
{
    std::error_code error;
    std::filesystem::remove_all(filePath(path), error);
    if (error)
        return errorFor(QStringLiteral("Deleting"), path, error);
    return std::nullopt;
}

std::optional<FileError> FileManager::copyItemAtPath(const QString& source, const QString& destination)
{
    std::error_code error;
    // Copying a folder onto an existing one would merge the two trees; the move wants a fresh copy.
    if (std::filesystem::exists(std::filesystem::symlink_status(filePath(destination), error)))
        return errorFor(
            QStringLiteral("Copying to"), destination, std::make_error_code(std::errc::file_exists));
    std::filesystem::copy(filePath(source), filePath(destination),
        std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks, error);
    if (error)
        return errorFor(QStringLiteral("Copying '%1' to").arg(source), destination, error);
    return std::nullopt;
}
