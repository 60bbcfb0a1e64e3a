#include "clips/ClipInput.h"
#include "clips/FFmpegLibrary.h"
#include "clips/TypeIdentifiers.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int ioBufferSize = 64 * 1024;
// How much of a file the demuxer may look at before it must know the clip's streams, and how many
// seconds of it. A camera's container names its streams in the first kilobytes; an MPEG transport or
// program stream within a fraction of a second.
constexpr const char* probeBytes = "2000000";
constexpr int formatProbeBytes = 64 * 1024;
constexpr const char* analyzeMicroseconds = "2000000";
// A program stream names its streams only in its packets: this many are read for the first of them.
constexpr int packetsForTheFirstStream = 64;
// FFmpeg allocates what a header says it needs: a damaged MXF header of 4 KB asked for 880 MiB at once.
// Nothing a clip needs comes near this in one block (an 8K picture's plane is 66 MB, a day-long clip's
// index some 100 MB).
constexpr size_t largestBlock = 256 * 1024 * 1024;

using Clock = std::chrono::steady_clock;

}

struct ClipInput::Source
{
    const FFmpegLibrary* av = ffmpegLibrary();
    int descriptor = -1;
    qint64 size = 0;
    Clock::time_point deadline;
    bool timedOut = false;
    bool readFailed = false;
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
    std::optional<Failure> failure;

    bool pastDeadline()
    {
        timedOut = timedOut || Clock::now() >= deadline;
        return timedOut;
    }

    static int interrupt(void* opaque) { return static_cast<Source*>(opaque)->pastDeadline(); }

    static int read(void* opaque, uint8_t* buffer, int size)
    {
        auto* source = static_cast<Source*>(opaque);
        // Demuxers loop over reads without asking the interrupt callback: the deadline is kept here too.
        if (source->pastDeadline())
            return AVERROR_EXIT;
        for (;;) {
            const ssize_t count = ::read(source->descriptor, buffer, size_t(size));
            if (count > 0)
                return int(count);
            if (count == 0)
                return AVERROR_EOF;
            if (errno != EINTR) {
                source->readFailed = true;
                return AVERROR(errno);
            }
        }
    }

    static int64_t seek(void* opaque, int64_t offset, int whence)
    {
        auto* source = static_cast<Source*>(opaque);
        if (whence & AVSEEK_SIZE)
            return source->size;
        if (source->pastDeadline())
            return AVERROR_EXIT;
        const off_t position = ::lseek(source->descriptor, off_t(offset), whence & ~AVSEEK_FORCE);
        return position < 0 ? AVERROR(errno) : int64_t(position);
    }

    // A demuxer may ask for other files (a QuickTime reference movie, a playlist's segments, a URL): the
    // clip's own bytes are all that is read, so every such request is refused.
    static int refuseOtherFiles(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**)
    {
        return AVERROR(EPERM);
    }

    std::optional<Failure> open(const QString& path);
    Failure whyNotRead() const
    {
        return timedOut ? Failure::TooSlow : readFailed ? Failure::Unreadable : Failure::NotItsType;
    }
    bool findFirstStream();
    bool recognised(const AVInputFormat* input, const QByteArray& name);
};

std::optional<ClipInput::Failure> ClipInput::Source::open(const QString& path)
{
    if (!av)
        return Failure::Unreadable; // why went to the console when loading failed
    const std::optional<QByteArray> demuxer = TypeIdentifiers::demuxerName(path);
    const AVInputFormat* input = demuxer ? av->findInputFormat(demuxer->constData()) : nullptr;
    if (!input)
        return Failure::NotItsType;

    // O_NONBLOCK: opening a FIFO for reading must not wait for a writer; the type test below then
    // refuses it before anything is read.
    const QByteArray name = QFile::encodeName(path);
    descriptor = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0)
        return Failure::Unreadable;
    struct stat file = {};
    if (::fstat(descriptor, &file) != 0 || !S_ISREG(file.st_mode))
        return Failure::Unreadable;
    size = qint64(file.st_size);
    if (size == 0)
        return Failure::NotItsType;

    auto* buffer = static_cast<unsigned char*>(av->malloc(ioBufferSize));
    if (!buffer)
        return Failure::Unreadable;
    io = av->ioAllocContext(buffer, ioBufferSize, 0, this, &Source::read, nullptr, &Source::seek);
    if (!io) {
        av->free(buffer);
        return Failure::Unreadable;
    }
    AVFormatContext* opened = av->formatAllocContext();
    if (!opened)
        return Failure::Unreadable;
    opened->pb = io;
    opened->flags |= AVFMT_FLAG_CUSTOM_IO;
    opened->io_open = &Source::refuseOtherFiles;
    opened->interrupt_callback = { &Source::interrupt, this };
    AVDictionary* options = nullptr;
    // The same demuxer for anything opened inside this one, and files only, should a demuxer ever
    // open something past the refusal above.
    av->dictSet(&options, "format_whitelist", demuxer->constData(), 0);
    av->dictSet(&options, "protocol_whitelist", "file", 0);
    av->dictSet(&options, "probesize", probeBytes, 0);
    av->dictSetInt(&options, "formatprobesize", formatProbeBytes, 0);
    av->dictSet(&options, "analyzeduration", analyzeMicroseconds, 0);
    // The name only names the clip in FFmpeg's messages; nothing is opened by it.
    const int status = av->formatOpenInput(&opened, name.constData(), input, &options);
    av->dictFree(&options);
    if (status < 0)
        return whyNotRead(); // avformat_open_input frees the context when it fails
    format = opened;
    if (!findFirstStream())
        return whyNotRead();
    if (!recognised(input, name))
        return pastDeadline() ? Failure::TooSlow : Failure::NotItsType;
    return std::nullopt;
}

bool ClipInput::Source::recognised(const AVInputFormat* input, const QByteArray& name)
{
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodecParameters* stream = format->streams[i]->codecpar;
        if ((stream->width > 0 && stream->height > 0) || stream->sample_rate > 0)
            return true;
    }
    // A demuxer of a bare stream (MPEG video, AC-3, MP3) takes any bytes for one, and a transport or
    // program stream names its streams' pictures only once they are decoded: such a file is the clip its
    // name says when FFmpeg, looking at its first bytes, takes it for that and not for anything else.
    QByteArray head(formatProbeBytes + AVPROBE_PADDING_SIZE, '\0');
    const ssize_t count = ::pread(descriptor, head.data(), size_t(formatProbeBytes), 0);
    if (count <= 0)
        return false;
    AVProbeData probe = {};
    probe.filename = name.constData();
    probe.buf = reinterpret_cast<unsigned char*>(head.data());
    probe.buf_size = int(count);
    int score = 0;
    return av->probeInputFormat3(&probe, 1, &score) == input;
}

bool ClipInput::Source::findFirstStream()
{
    if (format->nb_streams > 0 || !(format->ctx_flags & AVFMTCTX_NOHEADER))
        return format->nb_streams > 0;
    AVPacket* packet = av->packetAlloc();
    if (!packet)
        return false;
    for (int i = 0; i < packetsForTheFirstStream && format->nb_streams == 0; ++i) {
        if (av->readFrame(format, packet) < 0)
            break;
        av->packetUnref(packet);
    }
    av->packetFree(&packet);
    return format->nb_streams > 0;
}

ClipInput::ClipInput(const QString& path, std::chrono::milliseconds limit)
    : source(std::make_unique<Source>())
{
    // For the whole process, once: the player's FFmpeg is the same library, and reads the same files.
    static const bool limited = [] {
        if (const FFmpegLibrary* av = ffmpegLibrary())
            av->maxAlloc(largestBlock);
        return true;
    }();
    Q_UNUSED(limited);
    source->deadline = Clock::now() + limit;
    source->failure = source->open(path);
}

ClipInput::~ClipInput()
{
    if (source->format)
        source->av->formatCloseInput(&source->format);
    if (source->io) {
        source->av->freep(&source->io->buffer);
        source->av->ioContextFree(&source->io);
    }
    if (source->descriptor >= 0)
        ::close(source->descriptor);
}

AVFormatContext* ClipInput::format() const
{
    return source->failure ? nullptr : source->format;
}

std::optional<ClipInput::Failure> ClipInput::failure() const
{
    return source->failure;
}
