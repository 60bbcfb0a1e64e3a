#include "clips/MediaCapabilities.h"
#include "clips/MpvLibrary.h"

#include <mpv/client.h>

#include <array>
#include <memory>

namespace {

struct HandleDestroyer
{
    void operator()(mpv_handle* handle) const { mpvLibrary()->terminateDestroy(handle); }
};

// A string-list property, or each map's `key` entry of a list of maps.
QStringList listProperty(mpv_handle* handle, const char* property, const char* key = nullptr)
{
    mpv_node node;
    if (mpvLibrary()->getProperty(handle, property, MPV_FORMAT_NODE, &node) < 0)
        return {};
    QStringList values;
    if (node.format == MPV_FORMAT_NODE_ARRAY) {
        for (int i = 0; i < node.u.list->num; ++i) {
            const mpv_node& value = node.u.list->values[i];
            if (!key && value.format == MPV_FORMAT_STRING)
                values.append(QString::fromUtf8(value.u.string));
            if (key && value.format == MPV_FORMAT_NODE_MAP) {
                for (int j = 0; j < value.u.list->num; ++j) {
                    const mpv_node& entry = value.u.list->values[j];
                    if (qstrcmp(value.u.list->keys[j], key) == 0 && entry.format == MPV_FORMAT_STRING)
                        values.append(QString::fromUtf8(entry.u.string));
                }
            }
        }
    }
    mpvLibrary()->freeNodeContents(&node);
    return values;
}

}

std::optional<MediaCapabilities> MediaCapabilities::query()
{
    MpvLibrary* mpv = mpvLibrary();
    if (!mpv)
        return std::nullopt;
    std::unique_ptr<mpv_handle, HandleDestroyer> handle(mpv->create());
    if (!handle)
        return std::nullopt;
    mpv->setOptionString(handle.get(), "vo", "null");
    mpv->setOptionString(handle.get(), "ao", "null");
    mpv->setOptionString(handle.get(), "config", "no");
    if (mpv->initialize(handle.get()) < 0)
        return std::nullopt;
    return MediaCapabilities { listProperty(handle.get(), "demuxer-lavf-list"),
        listProperty(handle.get(), "decoder-list", "codec") };
}

const std::optional<MediaCapabilities>& MediaCapabilities::ofThisProcess()
{
    static const std::optional<MediaCapabilities> capabilities = query();
    return capabilities;
}

QStringList MediaCapabilities::missingProfessionalFormats() const
{
    struct Requirement
    {
        const QStringList& available;
        const char* name;
        const char* description;
    };
    // The descriptions stay English here; the warning puts them in the words it is written in.
    const std::array requirements { Requirement { demuxers, "mxf",
                                        QT_TRANSLATE_NOOP("FormatWarning", "the MXF demuxer") },
        Requirement { decoders, "prores", QT_TRANSLATE_NOOP("FormatWarning", "the ProRes decoder") },
        Requirement { decoders, "dnxhd", QT_TRANSLATE_NOOP("FormatWarning", "the DNxHD decoder") },
        Requirement { decoders, "mpeg2video", QT_TRANSLATE_NOOP("FormatWarning", "the MPEG-2 decoder") } };
    QStringList missing;
    for (const Requirement& requirement : requirements) {
        if (!requirement.available.contains(QLatin1String(requirement.name)))
            missing.append(QString::fromLatin1(requirement.description));
    }
    return missing;
}

QString englishWords(const char*, const char* sourceText, const char*, int)
{
    return QString::fromUtf8(sourceText);
}

std::optional<QString> professionalFormatsWarning(
    const std::optional<MediaCapabilities>& capabilities, WarningWords words)
{
    const auto text
        = [words](const char* sourceText) { return words("FormatWarning", sourceText, nullptr, -1); };
    if (!capabilities)
        return text(QT_TRANSLATE_NOOP(
            "FormatWarning", "The video player (libmpv) could not be started: no clip can be played."));
    QStringList missing = capabilities->missingProfessionalFormats();
    if (missing.isEmpty())
        return std::nullopt;
    for (QString& name : missing)
        name = text(name.toUtf8().constData());
    const QString names = missing.size() == 1
        ? missing.first()
        : text(QT_TRANSLATE_NOOP("FormatWarning", "%1 and %2"))
              .arg(missing.mid(0, missing.size() - 1).join(QStringLiteral(", ")), missing.last());
    // One sentence for one missing part and one for several: the verb agrees with the list, in English as
    // in the languages it is translated into.
    return (missing.size() == 1 ? text(QT_TRANSLATE_NOOP("FormatWarning",
                "Some professional clips will not play: %1 is missing from the video "
                "player's FFmpeg libraries. Install Debian's complete libavcodec and "
                "libavformat packages to play them."))
                                : text(QT_TRANSLATE_NOOP("FormatWarning",
                                    "Some professional clips will not play: %1 are missing from the video "
                                    "player's FFmpeg libraries. Install Debian's complete libavcodec and "
                                    "libavformat packages to play them.")))
        .arg(names);
}
