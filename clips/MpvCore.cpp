#include "clips/MpvCore.h"
#include "clips/MpvPlayer.h"
#include "clips/TypeIdentifiers.h"
#include "core/Heap.h"

#include <QDir>
#include <QThreadPool>

#include <mpv/client.h>

#include <atomic>
#include <cstring>
#include <optional>
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
    : mpv(mpv_create())
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
        mpv_set_option_string(mpv, name, value);
    if (mpv_initialize(mpv) < 0) {
        mpv_terminate_destroy(mpv);
        mpv = nullptr;
        return;
    }
    mpv_observe_property(mpv, TimePos, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, Duration, "duration", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, ContainerFps, "container-fps", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, EofReached, "eof-reached", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv, Volume, "volume", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, Mute, "mute", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv, HwdecCurrent, "hwdec-current", MPV_FORMAT_STRING);
    // Called on one of mpv's threads; the events are read on the main thread.
    mpv_set_wakeup_callback(
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
    mpv_set_wakeup_callback(mpv, nullptr, nullptr);
    mpv_terminate_destroy(mpv);
}

void MpvCore::load(MpvPlayer* player, const QString& path)
{
    current = player;
    ++loads;
    currentEntry = -1;
    currentStarted = false;
    adoptNextStart = false;
    holdSoftwareDecoding(false);
    // loadfile's third argument took per-file options until mpv 0.38 (client API 2.3), which put an
    // index there; every version takes properties set before the load, so loadfile gets no options.
    setFlag("pause", true);
    setNumber("speed", 1);
    // After backward playback, even with the direction set forwards again, mpv may take the next file's
    // start from the direction it last played in, and open the clip at its end, playing backwards. A start
    // given as a time does not depend on it; it costs a seek at the load, so only while mpv may hold one.
    setText("start", backwardHeld ? "0" : "none");
    setBackward(false);
    // A relative path would be taken for a protocol if it began like "http:"; a clip is a file.
    const QByteArray file = QDir::cleanPath(QDir::current().absoluteFilePath(path)).toUtf8();
    if (!mpv)
        return;
    // The demuxer its type calls for, and no other: should it refuse the file, the load fails rather
    // than letting FFmpeg guess what the file really is.
    const std::optional<QByteArray> demuxer = TypeIdentifiers::demuxerName(path);
    if (!demuxer) {
        player->fail(MpvPlayer::tr("it is not a kind of clip tapeScribe plays"));
        return;
    }
    setText("demuxer-lavf-format", demuxer->constData());
    setText("demuxer-lavf-o", ("protocol_whitelist=file,format_whitelist=" + *demuxer).constData());
    const char* arguments[] = { "loadfile", file.constData(), "replace", nullptr };
    const uint64_t id = track(QStringLiteral("loadfile"), true);
    if (const int error = mpv_command_async(mpv, id, arguments); error < 0)
        refused(requests.extract(id).mapped(), error);
}

void MpvCore::release(MpvPlayer* player)
{
    if (player != current)
        return;
    current = nullptr;
    command({ "stop" });
}

uint64_t MpvCore::track(const QString& what, bool opensFile)
{
    requests.emplace(++lastRequest, Request { loads, what, opensFile });
    return lastRequest;
}

void MpvCore::command(std::initializer_list<const char*> arguments)
{
    if (!mpv)
        return;
    std::vector<const char*> argv(arguments);
    argv.push_back(nullptr);
    const uint64_t id = track(QString::fromUtf8(argv.front()));
    if (const int error = mpv_command_async(mpv, id, argv.data()); error < 0)
        refused(requests.extract(id).mapped(), error);
}

void MpvCore::setFlag(const char* property, bool value)
{
    if (!mpv)
        return;
    int flag = value;
    const uint64_t id = track(QStringLiteral("set ") + QString::fromUtf8(property));
    if (const int error = mpv_set_property_async(mpv, id, property, MPV_FORMAT_FLAG, &flag); error < 0)
        refused(requests.extract(id).mapped(), error);
}

void MpvCore::setNumber(const char* property, double value)
{
    if (!mpv)
        return;
    const uint64_t id = track(QStringLiteral("set ") + QString::fromUtf8(property));
    if (const int error = mpv_set_property_async(mpv, id, property, MPV_FORMAT_DOUBLE, &value); error < 0)
        refused(requests.extract(id).mapped(), error);
}

void MpvCore::setText(const char* property, const char* value)
{
    if (!mpv)
        return;
    const uint64_t id = track(QStringLiteral("set ") + QString::fromUtf8(property));
    if (const int error = mpv_set_property_async(mpv, id, property, MPV_FORMAT_STRING, &value); error < 0)
        refused(requests.extract(id).mapped(), error);
}

void MpvCore::setBackward(bool backward)
{
    playingBackward = backward;
    backwardHeld = backwardHeld || backward;
    setText("play-dir", backward ? "backward" : "forward");
}

void MpvCore::setHardwareDecodingAllowed(bool allowed)
{
    hardwareDecoding = allowed;
    if (!softwareHeld)
        setText("hwdec", decoding(allowed));
}

void MpvCore::holdSoftwareDecoding(bool hold)
{
    if (hold == softwareHeld)
        return;
    softwareHeld = hold;
    // Changing the decoder while a file plays restarts decoding at the frame on screen.
    if (hardwareDecoding)
        setText("hwdec", decoding(!hold));
}

void MpvCore::refused(const Request& request, int error)
{
    MpvPlayer* player = current;
    if (!player || request.load != loads)
        return; // made for a clip that is gone
    const QString reason = QString::fromUtf8(mpv_error_string(error));
    if (request.opensFile)
        player->fail(MpvPlayer::tr("the player refused to open it (%1)").arg(reason));
    else
        player->commandFailed(request.what, reason);
}

void MpvCore::drainEvents()
{
    // Never ask mpv anything synchronously here: while it changes the video format, its core waits for
    // this thread to render, and a synchronous call would wait for the core.
    while (mpv) {
        const mpv_event* event = mpv_wait_event(mpv, 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        if (event->event_id == MPV_EVENT_PROPERTY_CHANGE)
            remember(event->reply_userdata, *static_cast<const mpv_event_property*>(event->data));
        if (event->event_id == MPV_EVENT_END_FILE)
            returnPagesOfClosedFile();
        if (event->event_id == MPV_EVENT_COMMAND_REPLY || event->event_id == MPV_EVENT_SET_PROPERTY_REPLY) {
            reply(*event);
            continue;
        }
        // Re-read for every event: handling one may remove the player (the end of a clip unloads it).
        MpvPlayer* player = current;
        if (player)
            dispatch(*event, *player);
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
    const auto found = requests.find(event.reply_userdata);
    if (found == requests.end())
        return;
    const Request request = found->second;
    requests.erase(found);
    if (event.error < 0) {
        refused(request, event.error);
        return;
    }
    if (!request.opensFile || request.load != loads)
        return;
    const auto* answer = static_cast<const mpv_event_command*>(event.data);
    adoptNextStart = true;
    if (answer && answer->result.format == MPV_FORMAT_NODE_MAP) {
        const mpv_node_list& fields = *answer->result.u.list;
        for (int i = 0; i < fields.num; ++i) {
            if (std::strcmp(fields.keys[i], "playlist_entry_id") == 0
                && fields.values[i].format == MPV_FORMAT_INT64) {
                currentEntry = fields.values[i].u.int64;
                adoptNextStart = false;
            }
        }
    }
}

void MpvCore::dispatch(const mpv_event& event, MpvPlayer& player)
{
    switch (event.event_id) {
    case MPV_EVENT_START_FILE: {
        const qint64 entry = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
        if (adoptNextStart) {
            currentEntry = entry;
            adoptNextStart = false;
        }
        if (entry == currentEntry)
            currentStarted = true;
        return;
    }
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (end->playlist_entry_id != currentEntry)
            return;
        currentStarted = false;
        if (end->reason == MPV_END_FILE_REASON_ERROR)
            player.fail(QString::fromUtf8(mpv_error_string(end->error)));
        else if (end->reason == MPV_END_FILE_REASON_REDIRECT) {
            // A list of other files: whatever it names stays unopened.
            command({ "stop" });
            player.fail(MpvPlayer::tr("it is a list of other files, not a clip"));
        }
        return;
    }
    case MPV_EVENT_FILE_LOADED:
        // A value that came before the file's start reports is already this file's: mpv empties them
        // when a file ends, so each file's values arrive anew.
        if (currentStarted) {
            player.decoderChanged(latestDecoder);
            player.opened(latest[Duration], latest[ContainerFps]);
        }
        return;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (!playingBackward)
            backwardHeld = false;
        if (currentStarted)
            player.restarted();
        return;
    case MPV_EVENT_PROPERTY_CHANGE: {
        if (!currentStarted)
            return;
        const double value = latest[event.reply_userdata];
        switch (event.reply_userdata) {
        case TimePos:
            // Unknown for a moment while a seek changes direction: the play head stays where it is.
            if (static_cast<const mpv_event_property*>(event.data)->format != MPV_FORMAT_NONE)
                player.positionChanged(value);
            break;
        case Duration:
            player.durationChanged(value);
            break;
        case ContainerFps:
            player.framesPerSecondChanged(value);
            break;
        case Volume:
            player.volumeChanged(value);
            break;
        case Mute:
            player.muteChanged(value != 0);
            break;
        case EofReached:
            if (value != 0)
                player.ended();
            break;
        case HwdecCurrent:
            player.decoderChanged(latestDecoder);
            break;
        }
        return;
    }
    default:
        return;
    }
}
