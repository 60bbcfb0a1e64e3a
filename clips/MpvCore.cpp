#include "clips/MpvCore.h"
#include "clips/MpvLibrary.h"
#include "clips/MpvPlayer.h"
#include "clips/TypeIdentifiers.h"
#include "core/Heap.h"

#include <QDir>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <mpv/client.h>

#include <atomic>
#include <cstring>
#include <optional>
#include <type_traits>
#include <vector>

namespace {

enum Observed : uint64_t { TimePos = 1, Duration, ContainerFps, EofReached, Volume, Mute, HwdecCurrent };

const char* decoding(bool hardware)
{
    // "auto-safe" takes only the decoders mpv knows to work (VA-API, VDPAU, NVDEC), through the render
    // API's OpenGL interop, and decodes in software where none does, without a word.
    return hardware ? "auto-safe" : "no";
}

// A closed file's frames and packets leave free pages in the heaps of the threads that held them, and the
// heaps keep them: switching clips for a few minutes left several times more free than in use. They go
// back once a file is closed, on a pool thread so that the window never waits. One trim runs at a time
// however fast the logger switches; files closed while it runs get one more pass after it, since pages
// they free after the pass has gone over their heap would otherwise stay until some later close.
void returnPagesOfClosedFile()
{
    static std::atomic_int requests = 0;
    if (requests.fetch_add(1) > 0)
        return;
    QThreadPool::globalInstance()->start([] {
        int served = requests.load();
        do
            Heap::returnFreePages();
        while (!requests.compare_exchange_strong(served, 0));
    });
}

}

MpvCore::MpvCore(bool hardwareDecoding)
    : library(mpvLibrary())
    , mpv(library ? library->create() : nullptr)
    , hardwareDecoding(hardwareDecoding)
{
    if (!mpv)
        return;
    const std::initializer_list<std::pair<const char*, const char*>> options {
        { "vo", "libmpv" },
        { "hwdec", decoding(hardwareDecoding) },
        { "pause", "yes" },
        { "keep-open", "yes" }, // at the end, stay on the last frame: nothing advances
        { "hr-seek", "yes" }, // every seek lands on the exact frame
        { "idle", "yes" }, // between clips, and after one that fails, the core waits
        { "terminal", "no" },
        { "input-default-bindings", "no" },
        { "input-vo-keyboard", "no" },
        { "osc", "no" },
        { "audio-display", "no" },
        // Local files only. No web video site lookup; no playlist, reference file or external stream
        // named inside a file is followed; FFmpeg's demuxers open files only, never a network protocol
        // (HLS, DASH or concat lists, SDP sessions). Each clip is read by FFmpeg's demuxer for its type
        // alone (set at each load), never by mpv's own ones; no subtitle, sound or picture file beside
        // it is opened.
        { "ytdl", "no" },
        { "access-references", "no" },
        { "load-unsafe-playlists", "no" },
        { "demuxer", "lavf" },
        { "demuxer-lavf-o", "protocol_whitelist=file" },
        { "sub-auto", "no" },
        { "audio-file-auto", "no" },
        { "cover-art-auto", "no" },
        // Backward playback steps back through the packets the demuxer keeps: keep them, a bounded
        // amount. It steps back a few seconds at a time, more than a camera's group of pictures; the
        // default minute would not fit the cache at a camera's bit rates.
        { "cache", "yes" },
        { "cache-secs", "10" },
        { "demuxer-max-bytes", "64MiB" },
        { "demuxer-max-back-bytes", "64MiB" },
        { "demuxer-backward-playback-step", "4" },
        { "vd-queue-enable", "yes" },
    };
    for (const auto& [name, value] : options)
        library->setOptionString(mpv, name, value);
    if (library->initialize(mpv) < 0) {
        library->terminateDestroy(mpv);
        mpv = nullptr;
        return;
    }
    library->observeProperty(mpv, TimePos, "time-pos", MPV_FORMAT_DOUBLE);
    library->observeProperty(mpv, Duration, "duration", MPV_FORMAT_DOUBLE);
    library->observeProperty(mpv, ContainerFps, "container-fps", MPV_FORMAT_DOUBLE);
    library->observeProperty(mpv, EofReached, "eof-reached", MPV_FORMAT_FLAG);
    library->observeProperty(mpv, Volume, "volume", MPV_FORMAT_DOUBLE);
    library->observeProperty(mpv, Mute, "mute", MPV_FORMAT_FLAG);
    library->observeProperty(mpv, HwdecCurrent, "hwdec-current", MPV_FORMAT_STRING);
    // Called on one of mpv's threads; the events are read on the main thread.
    library->setWakeupCallback(
        mpv,
        [](void* core) {
            QMetaObject::invokeMethod(
                static_cast<MpvCore*>(core), &MpvCore::drainEvents, Qt::QueuedConnection);
        },
        this);
}

MpvCore::~MpvCore()
{
    if (!mpv)
        return;
    // After this no wakeup is under way, and queued ones die with this object.
    library->setWakeupCallback(mpv, nullptr, nullptr);
    library->terminateDestroy(mpv);
}

void MpvCore::open(const QString& path)
{
    currentPath = path;
    loads.startLoad(currentLoad());
    reachReader.reset();
    if (!mpv) {
        report(currentLoad(), Report::Failed { MpvPlayer::tr("the player could not be started") });
        return;
    }
    holdSoftwareDecoding(false);
    // loadfile's third argument took per-file options until mpv 0.38 (client API 2.3), which put an
    // index there; every version takes properties set before the load, so loadfile gets no options.
    setFlag(CoreCommand::Pause, "pause", true);
    setNumber(CoreCommand::Speed, "speed", 1);
    // After backward playback, even with the direction set forwards again, mpv may take the next file's
    // start from the direction it last played in, and open the clip at its end, playing backwards. A start
    // given as a time does not depend on it; it costs a seek at the load, so only while mpv may hold one.
    setText(CoreCommand::StartTime, "start", backwardHeld ? "0" : "none");
    setBackward(false);
    // A relative path would be taken for a protocol if it began like "http:"; a clip is a file.
    const QByteArray file = QDir::cleanPath(QDir::current().absoluteFilePath(path)).toUtf8();
    // The demuxer its type calls for, and no other: should it refuse the file, the load fails rather
    // than letting FFmpeg guess what the file really is.
    const std::optional<QByteArray> demuxer = TypeIdentifiers::demuxerName(path);
    if (!demuxer) {
        report(currentLoad(), Report::Failed { MpvPlayer::tr("it is not a kind of clip tapeScribe plays") });
        return;
    }
    setText(CoreCommand::Demuxer, "demuxer-lavf-format", demuxer->constData());
    setText(CoreCommand::DemuxerOptions, "demuxer-lavf-o",
        ("protocol_whitelist=file,format_whitelist=" + *demuxer).constData());
    command(CoreCommand::Open, { "loadfile", file.constData(), "replace" });
}

void MpvCore::stop()
{
    reachReader.reset();
    command(CoreCommand::Stop, { "stop" });
}

void MpvCore::request(const CoreRequest& request)
{
    std::visit(
        [this](const auto& asked) {
            using Asked = std::decay_t<decltype(asked)>;
            if constexpr (std::is_same_v<Asked, Request::Pause>)
                setFlag(CoreCommand::Pause, "pause", asked.paused);
            else if constexpr (std::is_same_v<Asked, Request::Speed>)
                setNumber(CoreCommand::Speed, "speed", asked.rate);
            else if constexpr (std::is_same_v<Asked, Request::Direction>)
                setBackward(asked.backward);
            else if constexpr (std::is_same_v<Asked, Request::ExactSeek>) {
                const QByteArray target = QByteArray::number(asked.seconds, 'f', 6);
                command(CoreCommand::Seek, { "seek", target.constData(), "absolute+exact" });
            } else if constexpr (std::is_same_v<Asked, Request::FrameStep>)
                command(CoreCommand::FrameStep, { "frame-step" });
            else if constexpr (std::is_same_v<Asked, Request::Volume>)
                setNumber(CoreCommand::Volume, "volume", asked.percent);
            else if constexpr (std::is_same_v<Asked, Request::Mute>)
                setFlag(CoreCommand::Mute, "mute", asked.muted);
            else if constexpr (std::is_same_v<Asked, Request::SoftwareDecoding>)
                holdSoftwareDecoding(asked.held);
            else if constexpr (std::is_same_v<Asked, Request::ReadReach>)
                readReach();
        },
        request);
}

void MpvCore::readReach()
{
    // A long clip's index is large: it is read on a pool thread, and its answer is dropped once the
    // logger has moved on to another clip.
    const qint64 load = currentLoad();
    reachReader = std::make_unique<QFutureWatcher<BackwardReach>>();
    connect(reachReader.get(), &QFutureWatcher<BackwardReach>::finished, this,
        [this, load] { report(load, Report::ReachRead { reachReader->result() }); });
    reachReader->setFuture(QtConcurrent::run(&BackwardReach::read, currentPath));
}

void MpvCore::command(CoreCommand what, std::initializer_list<const char*> arguments)
{
    if (!mpv)
        return;
    std::vector<const char*> argv(arguments);
    argv.push_back(nullptr);
    const uint64_t id = loads.track(what);
    if (const int error = library->commandAsync(mpv, id, argv.data()); error < 0)
        refused(*loads.answered(id), error);
}

void MpvCore::setFlag(CoreCommand what, const char* property, bool value)
{
    int flag = value;
    setProperty(what, property, MPV_FORMAT_FLAG, &flag);
}

void MpvCore::setNumber(CoreCommand what, const char* property, double value)
{
    setProperty(what, property, MPV_FORMAT_DOUBLE, &value);
}

void MpvCore::setText(CoreCommand what, const char* property, const char* value)
{
    setProperty(what, property, MPV_FORMAT_STRING, &value);
}

void MpvCore::setProperty(CoreCommand what, const char* property, int format, void* value)
{
    if (!mpv)
        return;
    const uint64_t id = loads.track(what);
    if (const int error = library->setPropertyAsync(mpv, id, property, mpv_format(format), value); error < 0)
        refused(*loads.answered(id), error);
}

void MpvCore::setBackward(bool backward)
{
    playingBackward = backward;
    backwardHeld = backwardHeld || backward;
    setText(CoreCommand::Direction, "play-dir", backward ? "backward" : "forward");
}

void MpvCore::setHardwareDecodingAllowed(bool allowed)
{
    hardwareDecoding = allowed;
    if (!softwareHeld)
        setText(CoreCommand::Decoder, "hwdec", decoding(allowed));
}

void MpvCore::holdSoftwareDecoding(bool hold)
{
    if (hold == softwareHeld)
        return;
    softwareHeld = hold;
    // Changing the decoder while a file plays restarts decoding at the frame on screen.
    if (hardwareDecoding)
        setText(CoreCommand::Decoder, "hwdec", decoding(!hold));
}

void MpvCore::refused(const MpvLoads::Request& request, int error)
{
    if (!loads.isCurrent(request))
        return; // made for a clip that is gone
    const QString reason = QString::fromUtf8(library->errorString(error));
    if (request.command == CoreCommand::Open)
        report(
            request.load, Report::Failed { MpvPlayer::tr("the player refused to open it (%1)").arg(reason) });
    else
        report(request.load, Report::Refused { request.command, reason });
}

void MpvCore::drainEvents()
{
    // Never ask mpv anything synchronously here: while it changes the video format, its core waits for
    // this thread to render, and a synchronous call would wait for the core.
    while (mpv) {
        const mpv_event* event = library->waitEvent(mpv, 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        if (event->event_id == MPV_EVENT_PROPERTY_CHANGE)
            remember(event->reply_userdata, *static_cast<const mpv_event_property*>(event->data));
        if (event->event_id == MPV_EVENT_END_FILE)
            returnPagesOfClosedFile();
        if (event->event_id == MPV_EVENT_COMMAND_REPLY || event->event_id == MPV_EVENT_SET_PROPERTY_REPLY)
            reply(*event);
        else
            dispatch(*event);
    }
}

void MpvCore::remember(uint64_t property, const mpv_event_property& change)
{
    if (property == HwdecCurrent) {
        latestDecoder = change.format == MPV_FORMAT_STRING
            ? QString::fromUtf8(*static_cast<const char* const*>(change.data))
            : QString();
        return;
    }
    const bool present = change.format != MPV_FORMAT_NONE;
    const double value = !present          ? 0
        : change.format == MPV_FORMAT_FLAG ? *static_cast<const int*>(change.data)
                                           : *static_cast<const double*>(change.data);
    latest[property] = value;
}

void MpvCore::reply(const mpv_event& event)
{
    const std::optional<MpvLoads::Request> request = loads.answered(event.reply_userdata);
    if (!request)
        return;
    if (event.error < 0) {
        refused(*request, event.error);
        return;
    }
    if (request->command != CoreCommand::Open || !loads.isCurrent(*request))
        return;
    const auto* answer = static_cast<const mpv_event_command*>(event.data);
    std::optional<qint64> entry;
    if (answer && answer->result.format == MPV_FORMAT_NODE_MAP) {
        const mpv_node_list& fields = *answer->result.u.list;
        for (int i = 0; i < fields.num; ++i) {
            if (std::strcmp(fields.keys[i], "playlist_entry_id") == 0
                && fields.values[i].format == MPV_FORMAT_INT64)
                entry = fields.values[i].u.int64;
        }
    }
    loads.opened(entry);
}

void MpvCore::dispatch(const mpv_event& event)
{
    const qint64 load = currentLoad();
    switch (event.event_id) {
    case MPV_EVENT_START_FILE:
        loads.fileStarted(static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id);
        return;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (!loads.fileEnded(end->playlist_entry_id))
            return;
        if (end->reason == MPV_END_FILE_REASON_ERROR)
            report(load, Report::Failed { QString::fromUtf8(library->errorString(end->error)) });
        else if (end->reason == MPV_END_FILE_REASON_REDIRECT) {
            // A list of other files: whatever it names stays unopened.
            command(CoreCommand::Stop, { "stop" });
            report(load, Report::Failed { MpvPlayer::tr("it is a list of other files, not a clip") });
        }
        return;
    }
    case MPV_EVENT_FILE_LOADED:
        // A value that came before the file's start reports is already this file's: mpv empties them
        // when a file ends, so each file's values arrive anew.
        if (loads.started()) {
            report(load, Report::Decoder { latestDecoder });
            report(load, Report::Opened { latest[Duration], latest[ContainerFps] });
        }
        return;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (!playingBackward)
            backwardHeld = false;
        if (loads.started())
            report(load, Report::Restarted {});
        return;
    case MPV_EVENT_PROPERTY_CHANGE:
        if (loads.started())
            propertyChanged(event);
        return;
    default:
        return;
    }
}

void MpvCore::propertyChanged(const mpv_event& event)
{
    const qint64 load = currentLoad();
    const double value = latest[event.reply_userdata];
    switch (event.reply_userdata) {
    case TimePos:
        // Unknown for a moment while a seek changes direction: the play head stays where it is.
        if (static_cast<const mpv_event_property*>(event.data)->format != MPV_FORMAT_NONE)
            report(load, Report::Position { value });
        break;
    case Duration:
        report(load, Report::Duration { value });
        break;
    case ContainerFps:
        report(load, Report::FramesPerSecond { value });
        break;
    case Volume:
        report(load, Report::Volume { value });
        break;
    case Mute:
        report(load, Report::Mute { value != 0 });
        break;
    case EofReached:
        if (value != 0)
            report(load, Report::Ended {});
        break;
    case HwdecCurrent:
        report(load, Report::Decoder { latestDecoder });
        break;
    }
}
