#include "clips/ClipScan.h"
#include "core/DateFormatter.h"
#include "clips/TypeIdentifiers.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ClipScan {

namespace {

    QString line(bool succeeded)
    {
        return succeeded ? QStringLiteral("success? true") : QStringLiteral("success? false");
    }

    TypeIdentifiers::EntryKind entryKind(const struct statx& status)
    {
        if (S_ISREG(status.stx_mode))
            return TypeIdentifiers::EntryKind::RegularFile;
        if (S_ISDIR(status.stx_mode))
            return TypeIdentifiers::EntryKind::Folder;
        return TypeIdentifiers::EntryKind::Other;
    }

    struct Entry
    {
        QString name;
        // A name that is not valid in the file-name encoding (UTF-8) has no text path that reaches it
        // again: the player and the attribute tool could never open it, so it counts as unreadable.
        bool addressable = true;
        unsigned char listedType = DT_UNKNOWN; // the kind the listing gives, when it gives one
    };

    // The entries of a folder exactly as the kernel gives them, "." and ".." left out.
    std::optional<QList<Entry>> listFolder(int folder, QString& failure)
    {
        // fdopendir() takes over its own duplicate, so that `folder` stays usable for statx().
        const int listingDescriptor = ::dup(folder);
        DIR* listing = listingDescriptor >= 0 ? ::fdopendir(listingDescriptor) : nullptr;
        if (!listing) {
            failure = QString::fromLocal8Bit(std::strerror(errno));
            if (listingDescriptor >= 0)
                ::close(listingDescriptor);
            return std::nullopt;
        }
        QList<Entry> entries;
        errno = 0;
        while (const dirent* entry = ::readdir(listing)) {
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
                entries.append(
                    Entry { QString::fromUtf8(name), QUtf8StringView(name).isValidUtf8(), entry->d_type });
            errno = 0;
        }
        const int readError = errno;
        ::closedir(listing);
        if (readError != 0) {
            failure = QString::fromLocal8Bit(std::strerror(readError));
            return std::nullopt;
        }
        return entries;
    }

    // The kind of entry the listing names, when that is all a scan needs to know of it: a regular file
    // or a folder that can be no clip by its name. Links, and entries the file system does not type in
    // its listing, need a statx() like every clip does.
    std::optional<TypeIdentifiers::EntryKind> kindFromListing(unsigned char listedType)
    {
        switch (listedType) {
        case DT_REG:
            return TypeIdentifiers::EntryKind::RegularFile;
        case DT_DIR:
            return TypeIdentifiers::EntryKind::Folder;
        case DT_FIFO:
        case DT_SOCK:
        case DT_CHR:
        case DT_BLK:
            return TypeIdentifiers::EntryKind::Other;
        default:
            return std::nullopt;
        }
    }

    struct Context
    {
        int folder;
        const QString& folderPath;
        const QStringList& acceptedTypes;
        const ConsoleSink& console;
        QDateTime now;
        Outcome& outcome;
        // The folder's path and a slash, with the entry at hand after it: one buffer for the whole scan.
        QString path = folderPath + u'/';
    };

    // Reads one entry's type identifier and dates and, when the type is accepted, makes its record.
    // Symbolic links are followed: a link to a clip is that clip, a broken one unreadable.
    void judge(Context& context, const Entry& entry)
    {
        QString& path = context.path;
        path.truncate(context.folderPath.size() + 1);
        path += entry.name;
        context.console(path);
        const bool addressable = entry.addressable;
        const auto listedKind = kindFromListing(entry.listedType);
        if (addressable && listedKind
            && !context.acceptedTypes.contains(TypeIdentifiers::typeIdentifier(entry.name, *listedKind))) {
            context.console(line(true));
            return;
        }
        struct statx status = {};
        const bool read = addressable
            && ::statx(context.folder, QFile::encodeName(entry.name).constData(), AT_STATX_SYNC_AS_STAT,
                   STATX_TYPE | STATX_BTIME | STATX_MTIME, &status)
                == 0;
        context.console(line(read));
        if (!read || !(status.stx_mask & STATX_TYPE))
            return;
        const QStringView type = TypeIdentifiers::typeIdentifier(entry.name, entryKind(status));
        if (!context.acceptedTypes.contains(type))
            return;
        QString playable = QStringLiteral("can play this ");
        playable += type;
        playable += QLatin1String(" item");
        context.console(playable);

        std::optional<QDateTime> birthTime;
        if (status.stx_mask & STATX_BTIME)
            birthTime = QDateTime::fromSecsSinceEpoch(status.stx_btime.tv_sec, Qt::UTC);
        const QDateTime modificationTime = QDateTime::fromSecsSinceEpoch(status.stx_mtime.tv_sec, Qt::UTC);
        const RecordingStart::Choice start
            = RecordingStart::choose(std::nullopt, birthTime, modificationTime, context.now);
        // A copy of its own: shared, the scan's path buffer would be copied again for the next entry.
        context.outcome.clips.append(Clip { entry.name, QString(path.constData(), path.size()), start });
    }

}

Outcome scan(const QString& chosenPath, const QStringList& acceptedTypes, const ConsoleSink& console)
{
    const QByteArray nativePath = QFile::encodeName(chosenPath);
    struct statx chosen = {};
    const bool answered
        = ::statx(AT_FDCWD, nativePath.constData(), AT_STATX_SYNC_AS_STAT, STATX_TYPE, &chosen) == 0;
    console(line(answered));
    const bool isFolder = answered && (chosen.stx_mask & STATX_TYPE) && S_ISDIR(chosen.stx_mode);

    Outcome outcome;
    QString folderPath;
    QList<Entry> entries;
    int folder = -1;
    if (isFolder) {
        console(QStringLiteral("FOLDER"));
        folderPath = chosenPath;
        console(folderPath);
        folder = ::open(nativePath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QString failure;
        auto listed = folder >= 0 ? listFolder(folder, failure) : std::nullopt;
        if (folder < 0)
            failure = QString::fromLocal8Bit(std::strerror(errno));
        if (!listed) {
            console(QStringLiteral("cannot list %1: %2").arg(folderPath, failure));
            outcome.listingFailure = failure;
        } else {
            entries = std::move(*listed);
        }
    } else {
        console(QStringLiteral("MOV"));
        const qsizetype slash = chosenPath.lastIndexOf(u'/');
        // The parent of a file at the root is the root itself, so its clip's path starts with "//".
        folderPath = slash <= 0 ? QStringLiteral("/") : chosenPath.left(slash);
        const QString name = chosenPath.mid(slash + 1);
        console(folderPath);
        folder = ::open(QFile::encodeName(folderPath).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        entries.append(Entry { name });
    }

    Context context { folder, folderPath, acceptedTypes, console, QDateTime::currentDateTimeUtc(), outcome };
    for (const Entry& entry : entries)
        judge(context, entry);
    if (folder >= 0)
        ::close(folder);
    console(describeClips(outcome.clips));
    return outcome;
}

namespace {

    // JSON string syntax, written directly: the list of a big folder is one long line, and building it
    // through QJsonDocument costs more than the whole scan.
    void appendQuoted(QString& out, QStringView text)
    {
        out += u'"';
        const char16_t* const begin = text.utf16();
        const char16_t* const end = begin + text.size();
        const char16_t* plain = begin;
        for (const char16_t* c = begin; c != end; ++c) {
            if (*c >= 0x20 && *c != u'"' && *c != u'\\')
                continue;
            out.append(reinterpret_cast<const QChar*>(plain), c - plain);
            plain = c + 1;
            switch (*c) {
            case u'"':
                out += QLatin1String("\\\"");
                break;
            case u'\\':
                out += QLatin1String("\\\\");
                break;
            case u'\n':
                out += QLatin1String("\\n");
                break;
            case u'\r':
                out += QLatin1String("\\r");
                break;
            case u'\t':
                out += QLatin1String("\\t");
                break;
            default:
                out += QStringLiteral("\\u%1").arg(int(*c), 4, 16, QChar(u'0'));
            }
        }
        out.append(reinterpret_cast<const QChar*>(plain), end - plain);
        out += u'"';
    }

}

QString describeTypes(const QStringList& types)
{
    QString text = QStringLiteral("[");
    for (const QString& type : types) {
        if (text.size() > 1)
            text += u',';
        appendQuoted(text, type);
    }
    return text + u']';
}

QString describeClips(const QList<Clip>& clips)
{
    QString text;
    text.reserve(clips.size() * 128 + 2);
    text += u'[';
    for (const Clip& clip : clips) {
        if (text.size() > 1)
            text += u',';
        text += QLatin1String("{\"name\":");
        appendQuoted(text, clip.name);
        text += QLatin1String(",\"path\":");
        appendQuoted(text, clip.path);
        text += QLatin1String(",\"created\":");
        appendQuoted(text, clip.created());
        text += u'}';
    }
    text += u']';
    return text;
}

}
