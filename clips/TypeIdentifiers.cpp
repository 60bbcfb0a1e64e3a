#include "clips/TypeIdentifiers.h"

#include <algorithm>
#include <array>

namespace TypeIdentifiers {

namespace {

    struct AudiovisualType
    {
        QStringView identifier;
        std::array<QStringView, 3> extensions; // lower case; unused slots empty
        QStringView demuxer; // the FFmpeg demuxer that reads the container
    };

    // The usual audiovisual identifiers, in the order the accepted type list gives them.
    constexpr std::array audiovisualTypes {
        AudiovisualType { u"org.smpte.mxf", { u"mxf" }, u"mxf" },
        AudiovisualType { u"com.apple.quicktime-movie", { u"mov", u"qt" }, u"mov,mp4,m4a,3gp,3g2,mj2" },
        AudiovisualType { u"public.mpeg-4", { u"mp4", u"mpeg4" }, u"mov,mp4,m4a,3gp,3g2,mj2" },
        AudiovisualType { u"com.apple.m4v-video", { u"m4v" }, u"mov,mp4,m4a,3gp,3g2,mj2" },
        AudiovisualType { u"public.3gpp", { u"3gp", u"3gpp" }, u"mov,mp4,m4a,3gp,3g2,mj2" },
        AudiovisualType { u"public.3gpp2", { u"3g2", u"3gp2" }, u"mov,mp4,m4a,3gp,3g2,mj2" },
        AudiovisualType { u"public.mpeg", { u"mpg", u"mpeg", u"m1v" }, u"mpeg" },
        AudiovisualType { u"public.mpeg-2-video", { u"m2v" }, u"mpegvideo" },
        AudiovisualType { u"public.mpeg-2-transport-stream", { u"ts" }, u"mpegts" },
        AudiovisualType { u"public.avchd-mpeg-2-transport-stream", { u"mts", u"m2ts" }, u"mpegts" },
        AudiovisualType { u"public.dv-movie", { u"dv", u"dif" }, u"dv" },
        AudiovisualType { u"public.avi", { u"avi" }, u"avi" },
        AudiovisualType { u"org.matroska.mkv", { u"mkv" }, u"matroska,webm" },
        AudiovisualType { u"org.webmproject.webm", { u"webm" }, u"matroska,webm" },
        AudiovisualType { u"com.apple.m4a-audio", { u"m4a" }, u"mov,mp4,m4a,3gp,3g2,mj2" },
        AudiovisualType { u"com.microsoft.waveform-audio", { u"wav", u"wave", u"bwf" }, u"wav" },
        AudiovisualType { u"public.aiff-audio", { u"aif", u"aiff" }, u"aiff" },
        AudiovisualType { u"public.aifc-audio", { u"aifc" }, u"aiff" },
        AudiovisualType { u"com.apple.coreaudio-format", { u"caf" }, u"caf" },
        AudiovisualType { u"public.mp3", { u"mp3" }, u"mp3" },
        AudiovisualType { u"public.aac-audio", { u"aac", u"adts" }, u"aac" },
        AudiovisualType { u"public.ac3-audio", { u"ac3" }, u"ac3" },
        AudiovisualType { u"public.enhanced-ac3-audio", { u"eac3", u"ec3" }, u"eac3" },
        AudiovisualType { u"org.3gpp.adaptive-multi-rate-audio", { u"amr" }, u"amr" },
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
    // The extension is what follows the last dot, unless that dot starts the name (".profile").
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const AudiovisualType* type = dot > 0 ? typeNamedBy(fileName.mid(dot + 1)) : nullptr;
    return type ? type->identifier : QStringView(u"public.data");
}

QStringList playableTypes(const QStringList& demuxers)
{
    const QString mxf = QStringLiteral("org.smpte.mxf");
    QStringList types { mxf };
    for (const AudiovisualType& type : audiovisualTypes) {
        const QString identifier = type.identifier.toString();
        if (identifier != mxf && demuxers.contains(type.demuxer.toString()))
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
