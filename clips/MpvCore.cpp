#include "clips/MpvCore.h"
#include "clips/MpvPlayer.h"

#include <mpv/client.h>

#include <vector>

namespace {

enum Observed : uint64_t { TimePos = 1, Duration, ContainerFps, Pause, EofReached, Volume, Mute };

}

MpvCore::MpvCore()
    : mpv(mpv_create())
{
    if (!mpv)
        return;
    const std::initializer_list<std::pair<const char*, const char*>> options {
        { "vo", "libmpv" },
        { "hwdec", "no" },
        { "pause", "yes" },
        { "keep-open", "yes" }, // at the end, stay on the last frame: nothing advances
        { "hr-seek", "yes" }, // every seek lands on the exact frame
        { "idle", "yes" }, // between clips, and after one that fails, the core waits
        { "terminal", "no" },
        { "input-default-bindings", "no" },
        { "input-vo-keyboard", "no" },
        { "osc", "no" },
        { "ytdl", "no" },
        { "audio-display", "no" },
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
    mpv_observe_property(mpv, Pause, "pause", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv, EofReached, "eof-reached", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv, Volume, "volume", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, Mute, "mute", MPV_FORMAT_FLAG);
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
    currentStarted = false;
    // mpv numbers playlist entries from 1 in the order they are added, and only loads add entries here.
    currentEntry = ++loads;
    const QByteArray file = path.toUtf8();
    command({ "loadfile", file.constData(), "replace", "pause=yes,speed=1" });
}

void MpvCore::release(MpvPlayer* player)
{
    if (player != current)
        return;
    current = nullptr;
    command({ "stop" });
}

void MpvCore::command(std::initializer_list<const char*> arguments)
{
    if (!mpv)
        return;
    std::vector<const char*> argv(arguments);
    argv.push_back(nullptr);
    mpv_command_async(mpv, 0, argv.data());
}

void MpvCore::setFlag(const char* property, bool value)
{
    if (!mpv)
        return;
    int flag = value;
    mpv_set_property_async(mpv, 0, property, MPV_FORMAT_FLAG, &flag);
}

void MpvCore::setNumber(const char* property, double value)
{
    if (mpv)
        mpv_set_property_async(mpv, 0, property, MPV_FORMAT_DOUBLE, &value);
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
        // Re-read for every event: handling one may remove the player (the end of a clip unloads it).
        MpvPlayer* player = current;
        if (player)
            dispatch(*event, *player);
    }
}

void MpvCore::remember(uint64_t property, const mpv_event_property& change)
{
    const bool present = change.format != MPV_FORMAT_NONE;
    const double value = !present          ? 0
        : change.format == MPV_FORMAT_FLAG ? *static_cast<const int*>(change.data)
                                           : *static_cast<const double*>(change.data);
    latest[property] = value;
}

void MpvCore::dispatch(const mpv_event& event, MpvPlayer& player)
{
    switch (event.event_id) {
    case MPV_EVENT_START_FILE:
        if (static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id == currentEntry)
            currentStarted = true;
        return;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (end->playlist_entry_id != currentEntry)
            return;
        currentStarted = false;
        if (end->reason == MPV_END_FILE_REASON_ERROR)
            player.fail(QString::fromUtf8(mpv_error_string(end->error)));
        return;
    }
    case MPV_EVENT_FILE_LOADED:
        // A value that came before the file's start reports is already this file's: mpv empties them
        // when a file ends, so each file's values arrive anew.
        if (currentStarted)
            player.opened(latest[Duration], latest[ContainerFps]);
        return;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (currentStarted)
            player.restarted();
        return;
    case MPV_EVENT_PROPERTY_CHANGE: {
        if (!currentStarted)
            return;
        const double value = latest[event.reply_userdata];
        switch (event.reply_userdata) {
        case TimePos:
            player.positionChanged(value);
            break;
        case Duration:
            player.durationChanged(value);
            break;
        case ContainerFps:
            player.framesPerSecondChanged(value);
            break;
        case Pause:
            player.pauseChanged(value != 0);
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
        }
        return;
    }
    default:
        return;
    }
}
