#include "clips/MediaCapabilities.h"

#include <mpv/client.h>

#include <array>
#include <memory>

namespace {

struct HandleDestroyer
{
    void operator()(mpv_handle* handle) const { mpv_terminate_destroy(handle); }
};

// A string-list property, or each map's `key` entry of a list of maps.
QStringList listProperty(mpv_handle* handle, const char* property, const char* key = nullptr)
{
    mpv_node node;
    if (mpv_get_property(handle, property, MPV_FORMAT_NODE, &node) < 0)
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
    mpv_free_node_contents(&node);
    return values;
}

}

std::optional<MediaCapabilities> MediaCapabilities::query()
{
    std::unique_ptr<mpv_handle, HandleDestroyer> handle(mpv_create());
    if (!handle)
        return std::nullopt;
    mpv_set_option_string(handle.get(), "vo", "null");
    mpv_set_option_string(handle.get(), "ao", "null");
    mpv_set_option_string(handle.get(), "config", "no");
    if (mpv_initialize(handle.get()) < 0)
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
    const std::array requirements { Requirement { demuxers, "mxf", "the MXF demuxer" },
        Requirement { decoders, "prores", "the ProRes decoder" },
        Requirement { decoders, "dnxhd", "the DNxHD decoder" },
        Requirement { decoders, "mpeg2video", "the MPEG-2 decoder" } };
    QStringList missing;
    for (const Requirement& requirement : requirements) {
        if (!requirement.available.contains(QLatin1String(requirement.name)))
            missing.append(QString::fromLatin1(requirement.description));
    }
    return missing;
}

std::optional<QString> professionalFormatsWarning(const std::optional<MediaCapabilities>& capabilities)
{
    if (!capabilities)
        return QStringLiteral("The video player (libmpv) could not be started: no clip can be played.");
    const QStringList missing = capabilities->missingProfessionalFormats();
    if (missing.isEmpty())
        return std::nullopt;
    const QString names = missing.size() == 1 ? missing.first()
                                              : missing.mid(0, missing.size() - 1).join(QStringLiteral(", "))
            + QStringLiteral(" and ") + missing.last();
    return QStringLiteral(
        "Some professional clips will not play: %1 %2 missing from the video player's FFmpeg "
        "libraries. Install Debian's complete libavcodec and libavformat packages to play them.")
        .arg(names, missing.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
}
