#include "clips/TypeIdentifiers.h"

#include <algorithm>
#include <array>

namespace TypeIdentifiers {

namespace {

    struct AudiovisualType
    {
        QStringView identifier;
        std::array<QStringView, 3> extensions; // lower case; unused slots empty
        // The FFmpeg demuxer that reads the container, by its full name as FFmpeg and the player list it;
        // its first name is the one it is asked for by.
        const char* demuxer;
    };

    // The usual audiovisual identifiers, in the order the accepted type list gives them.
    constexpr std::array audiovisualTypes {
        AudiovisualType { u"org.smpte.mxf", { u"mxf" }, "mxf" },
        AudiovisualType { u"com.apple.quicktime-movie", { u"mov", u"qt" }, "mov,mp4,m4a,3gp,3g2,mj2" },
        AudiovisualType { u"public.mpeg-4", { u"mp4", u"mpeg4" }, "mov,mp4,m4a,3gp,3g2,mj2" },
        AudiovisualType { u"com.apple.m4v-video", { u"m4v" }, "mov,mp4,m4a,3gp,3g2,mj2" },
        AudiovisualType { u"public.3gpp", { u"3gp", u"3gpp" }, "mov,mp4,m4a,3gp,3g2,mj2" },
        AudiovisualType { u"public.3gpp2", { u"3g2", u"3gp2" }, "mov,mp4,m4a,3gp,3g2,mj2" },
        AudiovisualType { u"public.mpeg", { u"mpg", u"mpeg", u"m1v" }, "mpeg" },
        AudiovisualType { u"public.mpeg-2-video", { u"m2v" }, "mpegvideo" },
        AudiovisualType { u"public.mpeg-2-transport-stream", { u"ts" }, "mpegts" },
        AudiovisualType { u"public.avchd-mpeg-2-transport-stream", { u"mts", u"m2ts" }, "mpegts" },
        AudiovisualType { u"public.dv-movie", { u"dv", u"dif" }, "dv" },
        AudiovisualType { u"public.avi", { u"avi" }, "avi" },
        AudiovisualType { u"org.matroska.mkv", { u"mkv" }, "matroska,webm" },
        AudiovisualType { u"org.webmproject.webm", { u"webm" }, "matroska,webm" },
        AudiovisualType { u"com.apple.m4a-audio", { u"m4a" }, "mov,mp4,m4a,3gp,3g2,mj2" },
        AudiovisualType { u"com.microsoft.waveform-audio", { u"wav", u"wave", u"bwf" }, "wav" },
        AudiovisualType { u"public.aiff-audio", { u"aif", u"aiff" }, "aiff" },
        AudiovisualType { u"public.aifc-audio", { u"aifc" }, "aiff" },
        AudiovisualType { u"com.apple.coreaudio-format", { u"caf" }, "caf" },
        AudiovisualType { u"public.mp3", { u"mp3" }, "mp3" },
        AudiovisualType { u"public.aac-audio", { u"aac", u"adts" }, "aac" },
        AudiovisualType { u"public.ac3-audio", { u"ac3" }, "ac3" },
        AudiovisualType { u"public.enhanced-ac3-audio", { u"eac3", u"ec3" }, "eac3" },
        AudiovisualType { u"org.3gpp.adaptive-multi-rate-audio", { u"amr" }, "amr" },
    };

    const AudiovisualType* typeNamedBy(QStringView extension)
    {
        // Folded to lower case in place: this runs once for every file a scan meets.
        constexpr qsizetype longestExtension = 8;
        if (extension.isEmpty() || extension.size() > longestExtension)
            return nullptr;
        char16_t folded[longestExtension];
        for (qsizetype i = 0; i < extension.size(); ++i) {
            const char16_t c = extension[i].unicode();
            folded[i] = c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
        }
        const QStringView lowered(folded, extension.size());
        for (const AudiovisualType& type : audiovisualTypes) {
            for (QStringView known : type.extensions) {
                if (known.size() == lowered.size() && std::equal(known.begin(), known.end(), lowered.begin()))
                    return &type;
            }
        }
        return nullptr;
    }

    const AudiovisualType* typeOfFile(QStringView fileName)
    {
        // The extension is what follows the last dot, unless that dot starts the name (".profile").
        const qsizetype dot = fileName.lastIndexOf(u'.');
        return dot > 0 ? typeNamedBy(fileName.mid(dot + 1)) : nullptr;
    }
}

QStringView typeIdentifier(QStringView fileName, EntryKind kind)
{
    switch (kind) {
    case EntryKind::Folder:
        return u"public.folder";
    case EntryKind::Other:
        return u"public.item";
    case EntryKind::RegularFile:
        break;
    }
    const AudiovisualType* type = typeOfFile(fileName);
    return type ? type->identifier : QStringView(u"public.data");
}

std::optional<QByteArray> demuxerName(QStringView path)
{
    const AudiovisualType* type = typeOfFile(path.mid(path.lastIndexOf(u'/') + 1));
    if (!type)
        return std::nullopt;
    return QByteArray(type->demuxer).split(',').constFirst();
}

QStringList playableTypes(const QStringList& demuxers)
{
    const QString mxf = QStringLiteral("org.smpte.mxf");
    QStringList types { mxf };
    for (const AudiovisualType& type : audiovisualTypes) {
        const QString identifier = type.identifier.toString();
        if (identifier != mxf && demuxers.contains(QLatin1String(type.demuxer)))
            types.append(identifier);
    }
    return types;
}

QStringList nameFilterPatterns(const QStringList& types)
{
    QStringList patterns;
    for (const AudiovisualType& type : audiovisualTypes) {
        if (!types.contains(type.identifier.toString()))
            continue;
        for (QStringView extension : type.extensions) {
            if (extension.isEmpty())
                continue;
            // "*.[mM][xX][fF]": the dialog's own matching is case-sensitive.
            QString pattern = QStringLiteral("*.");
            for (QChar c : extension)
                pattern += c.isLetter() ? QStringLiteral("[%1%2]").arg(QString(c), QString(c.toUpper()))
                                        : QString(c);
            patterns.append(pattern);
        }
    }
    return patterns;
}

}
