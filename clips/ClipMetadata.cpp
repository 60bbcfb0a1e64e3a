#include "clips/ClipMetadata.h"
#include "clips/ClipInput.h"
#include "clips/FFmpegLibrary.h"

extern "C" {
#include <libavutil/intreadwrite.h>
}

// Everything here reads a clip that ClipInput has opened: FFmpeg is loaded by then.
namespace {

constexpr double maximumFrameRate = 300;

QString tag(const AVDictionary* tags, const char* key)
{
    const AVDictionaryEntry* entry = ffmpegLibrary()->dictGet(tags, key, nullptr, 0);
    return entry && entry->value[0] ? QString::fromUtf8(entry->value) : QString();
}

void appendIfPresent(QStringList& list, const QString& value)
{
    if (!value.isEmpty())
        list.append(value);
}

const AVStream* videoStream(const AVFormatContext* format)
{
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO
            && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return stream;
    }
    return nullptr;
}

// DNxHD and DNxHR are one codec to FFmpeg, and no container header tells them apart: the compression ID
// at the start of the first frame does (SMPTE ST 2019-1; 1270 to 1274 are the DNxHR profiles). One
// packet is read for it, and nothing decoded.
int dnxProfile(AVFormatContext* format, const AVStream* video)
{
    constexpr int compressionIdOffset = 0x28;
    constexpr int packetsToLookAt = 16; // the video's first packet may follow a few of sound
    const FFmpegLibrary& av = *ffmpegLibrary();
    AVPacket* packet = av.packetAlloc();
    if (!packet)
        return FF_PROFILE_UNKNOWN;
    int profile = FF_PROFILE_UNKNOWN;
    for (int i = 0; i < packetsToLookAt && av.readFrame(format, packet) >= 0; ++i) {
        const bool found = packet->stream_index == video->index;
        if (found && packet->size >= compressionIdOffset + 4) {
            const uint32_t id = AV_RB32(packet->data + compressionIdOffset);
            profile = id >= 1270 && id <= 1274 ? FF_PROFILE_DNXHR_444 - int(id - 1270) : FF_PROFILE_DNXHD;
        }
        av.packetUnref(packet);
        if (found)
            break;
    }
    av.packetFree(&packet);
    return profile;
}

ClipMetadata describe(AVFormatContext* format)
{
    ClipMetadata metadata;
    const AVStream* video = videoStream(format);
    appendIfPresent(metadata.dates, tag(format->metadata, "com.apple.quicktime.creationdate"));
    appendIfPresent(metadata.dates, tag(format->metadata, "creation_time"));
    if (video)
        appendIfPresent(metadata.dates, tag(video->metadata, "creation_time"));
    appendIfPresent(metadata.dates, tag(format->metadata, "modification_date"));

    // MXF names the timecode on the file, QuickTime on the video track (copied there from its tmcd
    // track); any stream that carries one will do after those.
    metadata.timecode = tag(format->metadata, "timecode");
    if (metadata.timecode.isEmpty() && video)
        metadata.timecode = tag(video->metadata, "timecode");
    for (unsigned i = 0; i < format->nb_streams && metadata.timecode.isEmpty(); ++i)
        metadata.timecode = tag(format->streams[i]->metadata, "timecode");

    if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        metadata.duration = double(format->duration) / AV_TIME_BASE;
    else if (video && video->duration != AV_NOPTS_VALUE && video->duration > 0)
        metadata.duration = double(video->duration) * av_q2d(video->time_base);

    if (video) {
        metadata.codec = QString::fromLatin1(ffmpegLibrary()->codecGetName(video->codecpar->codec_id));
        metadata.profile = video->codecpar->profile;
        if (video->codecpar->codec_id == AV_CODEC_ID_DNXHD && metadata.profile == FF_PROFILE_UNKNOWN)
            metadata.profile = dnxProfile(format, video);
        metadata.width = video->codecpar->width;
        metadata.height = video->codecpar->height;
        AVRational rate = video->avg_frame_rate;
        if (rate.num <= 0 || rate.den <= 0)
            rate = video->r_frame_rate;
        // MXF tells its edit rate only as the track's time base, one tick a frame.
        if ((rate.num <= 0 || rate.den <= 0) && video->time_base.num > 0
            && av_q2d(video->time_base) >= 1.0 / maximumFrameRate)
            rate = av_inv_q(video->time_base);
        if (rate.num > 0 && rate.den > 0)
            metadata.frameRate = { rate.num, rate.den };
    }
    return metadata;
}

}

ClipMetadata::Reading ClipMetadata::readHeader(const QString& path)
{
    const ClipInput input(path);
    if (AVFormatContext* format = input.format())
        return { describe(format), {} };
    return { std::nullopt, *input.failure() };
}

std::optional<ClipMetadata> ClipMetadata::read(const QString& path)
{
    return readHeader(path).metadata;
}
