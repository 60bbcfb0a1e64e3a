#include "clips/MpvPlayer.h"

#include <QPointer>

#include <mpv/client.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

enum Observed : uint64_t { TimePos = 1, Duration, Pause, Speed, EofReached, Volume, Mute, ContainerFps };

constexpr int reverseTickMilliseconds = 40;

}

MpvPlayer::MpvPlayer(const QString& path, QObject* parent)
    : QObject(parent)
    , filePath(path)
    , mpv(mpv_create())
{
    reverseTimer.setInterval(reverseTickMilliseconds);
    connect(&reverseTimer, &QTimer::timeout, this, &MpvPlayer::shuttleBackwards);
    if (!mpv) {
        failureText = tr("The player could not be started.");
        return;
    }
    const std::initializer_list<std::pair<const char*, const char*>> options {
        { "vo", "libmpv" },
        { "hwdec", "no" },
        { "pause", "yes" },
        { "keep-open", "yes" }, // at the end, stay on the last frame: nothing advances
        { "hr-seek", "yes" }, // every seek lands on the exact frame
        { "idle", "yes" }, // a file that fails leaves the core waiting rather than gone
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
        failureText = tr("The player could not be started.");
        return;
    }
    mpv_observe_property(mpv, TimePos, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, Duration, "duration", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, Pause, "pause", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv, Speed, "speed", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, EofReached, "eof-reached", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv, Volume, "volume", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, Mute, "mute", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv, ContainerFps, "container-fps", MPV_FORMAT_DOUBLE);
    // Called on one of mpv's threads; the events are read on the main thread.
    mpv_set_wakeup_callback(
        mpv,
        [](void* player) {
            QMetaObject::invokeMethod(static_cast<MpvPlayer*>(player), &MpvPlayer::drainEvents, Qt::QueuedConnection);
        },
        this);
}

MpvPlayer::~MpvPlayer()
{
    if (!mpv)
        return;
    // After this no wakeup is under way, and queued ones die with this object.
    mpv_set_wakeup_callback(mpv, nullptr, nullptr);
    mpv_terminate_destroy(mpv);
}

void MpvPlayer::start()
{
    const QByteArray path = filePath.toUtf8();
    command({ "loadfile", path.constData() });
}

void MpvPlayer::command(std::initializer_list<const char*> arguments)
{
    if (!mpv)
        return;
    std::vector<const char*> argv(arguments);
    argv.push_back(nullptr);
    mpv_command_async(mpv, 0, argv.data());
}

void MpvPlayer::setFlag(const char* property, bool value)
{
    if (!mpv)
        return;
    int flag = value;
    mpv_set_property_async(mpv, 0, property, MPV_FORMAT_FLAG, &flag);
}

void MpvPlayer::setRate(double rate)
{
    playRate = rate;
    if (rate < 0) {
        setFlag("pause", true);
        if (!reverseTimer.isActive())
            reversePosition = position;
        reverseClock.start();
        reverseTimer.start();
    } else {
        reverseTimer.stop();
        if (rate > 0 && mpv) {
            mpv_set_property_async(mpv, 0, "speed", MPV_FORMAT_DOUBLE, &rate);
        }
        setFlag("pause", rate == 0);
    }
    emit changed();
}

void MpvPlayer::shuttleBackwards()
{
    // The shuttle keeps its own play head: an exact seek shows the frame at or after its target, so
    // starting each tick from the shown frame would stay on one frame when a tick is shorter than it.
    reversePosition += playRate * double(reverseClock.restart()) / 1000.0;
    if (reversePosition <= 0) {
        seek(0);
        setRate(0);
        return;
    }
    seek(reversePosition);
}

void MpvPlayer::seek(double seconds)
{
    const QByteArray target = QByteArray::number(std::max(0.0, seconds), 'f', 6);
    command({ "seek", target.constData(), "absolute+exact" });
}

void MpvPlayer::seekBy(double seconds)
{
    const QByteArray distance = QByteArray::number(seconds, 'f', 6);
    command({ "seek", distance.constData(), "relative+exact" });
}

void MpvPlayer::stepFrame(int direction)
{
    if (playRate != 0)
        setRate(0);
    command({ direction < 0 ? "frame-back-step" : "frame-step" });
}

void MpvPlayer::setVolume(int percent)
{
    if (!mpv)
        return;
    double volume = std::clamp(percent, 0, 100);
    mpv_set_property_async(mpv, 0, "volume", MPV_FORMAT_DOUBLE, &volume);
}

void MpvPlayer::setMuted(bool mute)
{
    setFlag("mute", mute);
}

void MpvPlayer::drainEvents()
{
    // Handling an event may remove this player (the end of a clip unloads it): stop at once then.
    QPointer<MpvPlayer> self(this);
    bool anyChange = false;
    while (mpv) {
        const mpv_event* event = mpv_wait_event(mpv, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        handle(*event);
        if (!self)
            return;
        anyChange = true;
    }
    if (anyChange)
        emit changed();
}

void MpvPlayer::handle(const mpv_event& event)
{
    switch (event.event_id) {
    case MPV_EVENT_PROPERTY_CHANGE: {
        const auto* property = static_cast<const mpv_event_property*>(event.data);
        const bool present = property->format != MPV_FORMAT_NONE;
        const auto number = [&] { return present ? *static_cast<const double*>(property->data) : 0.0; };
        const auto flag = [&] { return present && *static_cast<const int*>(property->data) != 0; };
        switch (event.reply_userdata) {
        case TimePos:
            position = number();
            break;
        case Duration:
            length = number();
            break;
        case ContainerFps:
            fps = number();
            break;
        case Volume:
            volumePercent = int(std::lround(number()));
            break;
        case Mute:
            muted = flag();
            break;
        case Pause:
            // mpv pauses by itself after a frame step or at the end; a backwards shuttle keeps it paused.
            if (present && flag() && playRate > 0)
                playRate = 0;
            break;
        case Speed:
            if (present && playRate > 0)
                playRate = number();
            break;
        case EofReached:
            if (flag() && !ended) {
                ended = true;
                reverseTimer.stop();
                emit reachedEnd(); // may remove this player: nothing of it is touched after this
                return;
            }
            ended = flag();
            break;
        }
        return;
    }
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (end->reason == MPV_END_FILE_REASON_ERROR && !failureText) {
            failureText = QString::fromUtf8(mpv_error_string(end->error));
            reverseTimer.stop();
            playRate = 0;
            emit failed(*failureText);
        }
        return;
    }
    default:
        return;
    }
}
