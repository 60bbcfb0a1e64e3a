#include "clips/MpvPlayer.h"
#include "clips/MpvCore.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int reverseTickMilliseconds = 40;

}

MpvPlayer::MpvPlayer(MpvCore& core, const QString& path)
    : core(core)
    , filePath(path)
{
    reverseTimer.setInterval(reverseTickMilliseconds);
    connect(&reverseTimer, &QTimer::timeout, this, &MpvPlayer::shuttleBackwards);
}

MpvPlayer::~MpvPlayer()
{
    core.release(this);
}

void MpvPlayer::start()
{
    if (!core.handle()) {
        fail(tr("the player could not be started"));
        return;
    }
    core.load(this, filePath);
}

void MpvPlayer::setRate(double rate)
{
    playRate = rate;
    if (rate < 0) {
        core.setFlag("pause", true);
        if (!reverseTimer.isActive())
            reversePosition = position;
        reverseClock.start();
        reverseTimer.start();
    } else {
        reverseTimer.stop();
        if (rate > 0)
            core.setNumber("speed", rate);
        core.setFlag("pause", rate == 0);
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
    core.command({ "seek", target.constData(), "absolute+exact" });
}

void MpvPlayer::seekBy(double seconds)
{
    const QByteArray distance = QByteArray::number(seconds, 'f', 6);
    core.command({ "seek", distance.constData(), "relative+exact" });
}

void MpvPlayer::stepFrame(int direction)
{
    if (playRate != 0)
        setRate(0);
    // Before the first picture is up, mpv would spend a step on showing it: keep the step for then.
    if (!picture) {
        pendingSteps += direction < 0 ? -1 : 1;
        return;
    }
    core.command({ direction < 0 ? "frame-back-step" : "frame-step" });
}

void MpvPlayer::setVolume(int percent)
{
    volumePercent = std::clamp(percent, 0, 100);
    core.setNumber("volume", volumePercent);
}

void MpvPlayer::setMuted(bool mute)
{
    muted = mute;
    core.setFlag("mute", mute);
}

void MpvPlayer::opened(double duration, double framesPerSecond)
{
    length = duration;
    fps = framesPerSecond;
    emit changed();
}

void MpvPlayer::positionChanged(double seconds)
{
    position = seconds;
    emit changed();
}

void MpvPlayer::durationChanged(double seconds)
{
    length = seconds;
    emit changed();
}

void MpvPlayer::framesPerSecondChanged(double framesPerSecond)
{
    fps = framesPerSecond;
    emit changed();
}

void MpvPlayer::pauseChanged(bool paused)
{
    // mpv pauses by itself after a frame step; a backwards shuttle keeps it paused on purpose.
    if (paused && playRate > 0) {
        playRate = 0;
        emit changed();
    }
}

void MpvPlayer::volumeChanged(double percent)
{
    volumePercent = int(std::lround(percent));
    emit changed();
}

void MpvPlayer::muteChanged(bool mute)
{
    muted = mute;
    emit changed();
}

void MpvPlayer::restarted()
{
    if (picture)
        return;
    picture = true;
    for (; pendingSteps > 0; --pendingSteps)
        core.command({ "frame-step" });
    for (; pendingSteps < 0; ++pendingSteps)
        core.command({ "frame-back-step" });
    emit pictureReady();
}

void MpvPlayer::ended()
{
    if (atEnd)
        return;
    atEnd = true;
    reverseTimer.stop();
    playRate = 0;
    emit reachedEnd(); // may remove this player: nothing of it is touched after this
}

void MpvPlayer::fail(const QString& reason)
{
    if (failureText)
        return;
    failureText = reason;
    reverseTimer.stop();
    playRate = 0;
    emit failed(reason);
}
