#include "clips/ClipMetadata.h"

#include <QFile>
#include <QScopeGuard>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/mem.h>
}

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int ioBufferSize = 64 * 1024;
constexpr double maximumFrameRate = 300;

// The demuxer reads through these, from a descriptor this module has already checked.
struct Source
{
    int descriptor;
    qint64 size;
};

int readPacket(void* opaque, uint8_t* buffer, int size)
{
    const auto* source = static_cast<Source*>(opaque);
    for (;;) {
        const ssize_t count = ::read(source->descriptor, buffer, size_t(size));
        if (count > 0)
            return int(count);
        if (count == 0)
            return AVERROR_EOF;
        if (errno != EINTR)
            return AVERROR(errno);
    }
}

int64_t seekTo(void* opaque, int64_t offset, int whence)
{
    const auto* source = static_cast<Source*>(opaque);
    if (whence & AVSEEK_SIZE)
        return source->size;
    const off_t position = ::lseek(source->descriptor, off_t(offset), whence & ~AVSEEK_FORCE);
    return position < 0 ? AVERROR(errno) : int64_t(position);
}

// A demuxer may ask for other files (a QuickTime reference movie, a playlist's segments, a URL): the
// clip's own header is all that is read, so every such request is refused.
int refuseOtherFiles(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**)
{
    return AVERROR(EPERM);
}

QString tag(const AVDictionary* tags, const char* key)
{
    const AVDictionaryEntry* entry = av_dict_get(tags, key, nullptr, 0);
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
    AVPacket* packet = av_packet_alloc();
    if (!packet)
        return FF_PROFILE_UNKNOWN;
    int profile = FF_PROFILE_UNKNOWN;
    for (int i = 0; i < packetsToLookAt && av_read_frame(format, packet) >= 0; ++i) {
        const bool found = packet->stream_index == video->index;
        if (found && packet->size >= compressionIdOffset + 4) {
            const uint32_t id = AV_RB32(packet->data + compressionIdOffset);
            profile = id >= 1270 && id <= 1274 ? FF_PROFILE_DNXHR_444 - int(id - 1270) : FF_PROFILE_DNXHD;
        }
        av_packet_unref(packet);
        if (found)
            break;
    }
    av_packet_free(&packet);
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
        metadata.codec = QString::fromLatin1(avcodec_get_name(video->codecpar->codec_id));
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

struct FormatCloser
{
    void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};

struct IoCloser
{
    void operator()(AVIOContext* io) const
    {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

}

std::optional<ClipMetadata> ClipMetadata::read(const QString& path)
{
    // O_NONBLOCK: opening a FIFO for reading must not wait for a writer; the type test below then
    // refuses it before anything is read.
    const int descriptor
        = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0)
        return std::nullopt;
    const auto closeDescriptor = qScopeGuard([descriptor] { ::close(descriptor); });
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size == 0)
        return std::nullopt;

    Source source { descriptor, qint64(status.st_size) };
    auto* buffer = static_cast<unsigned char*>(av_malloc(ioBufferSize));
    if (!buffer)
        return std::nullopt;
    std::unique_ptr<AVIOContext, IoCloser> io(
        avio_alloc_context(buffer, ioBufferSize, 0, &source, readPacket, nullptr, seekTo));
    if (!io) {
        av_free(buffer);
        return std::nullopt;
    }
    AVFormatContext* opened = avformat_alloc_context();
    if (!opened)
        return std::nullopt;
    opened->pb = io.get();
    opened->flags |= AVFMT_FLAG_CUSTOM_IO;
    opened->io_open = refuseOtherFiles;
    // The name only helps the probe pick a demuxer by extension; nothing is opened by it.
    if (avformat_open_input(&opened, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return std::nullopt; // avformat_open_input frees the context when it fails
    const std::unique_ptr<AVFormatContext, FormatCloser> format(opened);
    return describe(format.get());
}
