#include "clips/MpvPlayer.h"
#include "clips/MpvCore.h"

#include <QtConcurrent/QtConcurrentRun>

#include <cmath>

namespace {

// mpv's backward playback decodes a group of pictures or two before its first frame; on a slow machine
// with large frames that takes a second or so. Well beyond it, the playback is taken to be stuck.
constexpr int backwardStartLimitMilliseconds = 3000;
// A frame step lands in well under this; one that has not, never will (mpv refused it).
constexpr int stepLimitMilliseconds = 1000;
constexpr int steppingTickMilliseconds = 10;

}

MpvPlayer::MpvPlayer(MpvCore& core, const QString& path)
    : core(core)
    , filePath(path)
{
    backwardWatchdog.setSingleShot(true);
    backwardWatchdog.setInterval(backwardStartLimitMilliseconds);
    connect(&backwardWatchdog, &QTimer::timeout, this, &MpvPlayer::fallBackToStepping);
    stepTimer.setInterval(steppingTickMilliseconds);
    connect(&stepTimer, &QTimer::timeout, this, &MpvPlayer::stepBackwards);
    stepWatchdog.setSingleShot(true);
    stepWatchdog.setInterval(stepLimitMilliseconds);
    connect(&stepWatchdog, &QTimer::timeout, this, &MpvPlayer::stepLanded);
    connect(&reachReader, &QFutureWatcher<BackwardReach>::finished, this, [this] {
        reach = reachReader.result();
        // J pressed before the index was read plays backwards now.
        if (playRate < 0 && reverse == Reverse::None)
            startReverse();
    });
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

qint64 MpvPlayer::frameIndex() const
{
    return std::llround(currentTime() * fps);
}

void MpvPlayer::setRate(double rate)
{
    if (failureText)
        return;
    playRate = rate;
    // Playback takes over from the arrow keys.
    gate.reset();
    firstStep.reset();
    aimedFrame.reset();
    landing = Landing::None;
    stepWatchdog.stop();
    // Before the first picture mpv has no file to play: the rate is applied once it has.
    if (picture)
        applyRate();
    emit changed();
}

void MpvPlayer::applyRate()
{
    if (playRate > 0) {
        stopReverse();
        leaveBackward();
        core.setNumber("speed", playRate);
        core.setFlag("pause", false);
    } else if (playRate == 0) {
        // Paused backwards, mpv keeps the frames it has decoded: the next ← costs nothing.
        stopReverse();
        core.setFlag("pause", true);
    } else if (reverse == Reverse::Backward) {
        core.setNumber("speed", -playRate);
    } else if (reverse == Reverse::Stepping) {
        // A new speed from the frame on its way.
        stepPosition = std::max(0.0, stepPosition + playRate * double(stepClock.restart()) / 1000.0);
    } else {
        startReverse();
    }
}

void MpvPlayer::startReverse()
{
    // Without the clip's index the way back is not known yet; it starts when the index has been read.
    if (!reach)
        return;
    const ReverseRoute route = reverseRoute(*reach, currentTime());
    switch (route.way) {
    case ReverseRoute::Way::Backward:
        enterBackward();
        return;
    case ReverseRoute::Way::StepToKeyframe:
        startStepping(route.from, route.handover);
        return;
    case ReverseRoute::Way::Step:
        tell(tr("This clip cannot be played backwards: J steps back through it frame by frame."));
        startStepping(route.from, std::nullopt);
        return;
    }
}

void MpvPlayer::enterBackward()
{
    reverse = Reverse::Backward;
    stepTimer.stop();
    handover.reset();
    if (!backwardDirection) {
        // Decoded frames are held for showing in reverse: in a graphics card's memory they would
        // exhaust it. (Changing the decoder costs a restart of decoding: only when it changes.)
        if (!decoderName.isEmpty())
            core.holdSoftwareDecoding(true);
        backwardDirection = true;
        backwardWatchdog.start();
        // Changing direction seeks to the frame on screen, in the new direction.
        core.setBackward(true);
        if (reverse != Reverse::Backward)
            return; // refused at once: the player steps instead
    }
    core.setNumber("speed", -playRate);
    core.setFlag("pause", false);
}

void MpvPlayer::leaveBackward()
{
    if (!backwardDirection)
        return;
    backwardDirection = false;
    backwardWatchdog.stop();
    core.setBackward(false);
    core.holdSoftwareDecoding(false);
}

void MpvPlayer::startStepping(double from, std::optional<double> handoverAt)
{
    reverse = Reverse::Stepping;
    handover = handoverAt;
    leaveBackward();
    core.setFlag("pause", true);
    stepPosition = from;
    stepClock.start();
    stepSeekUnderWay = true;
    seekExactly(from);
    stepTimer.start();
}

void MpvPlayer::stepBackwards()
{
    if (stepSeekUnderWay)
        return;
    double target = std::max(0.0, stepPosition + playRate * double(stepClock.elapsed()) / 1000.0);
    if (handover)
        target = std::max(target, *handover);
    // The frame on screen is still the one for the clock: nothing to seek yet.
    if (std::llround(target * fps) == frameIndex() && target > 0 && !(handover && target == *handover))
        return;
    stepSeekUnderWay = true;
    seekExactly(target);
}

void MpvPlayer::stopReverse()
{
    reverse = Reverse::None;
    stepTimer.stop();
    stepSeekUnderWay = false;
    handover.reset();
}

void MpvPlayer::reachedStart()
{
    playRate = 0;
    stopReverse();
    // Forwards again at the first frame: its seek costs a single keyframe.
    leaveBackward();
    core.setFlag("pause", true);
    emit changed();
}

void MpvPlayer::fallBackToStepping()
{
    // mpv would wait for ever; a forward seek to the frame on screen replaces its backward one.
    reach = BackwardReach { BackwardReach::Index::Broken };
    leaveBackward();
    if (playRate < 0)
        startReverse();
    else
        seekExactly(currentTime());
}

void MpvPlayer::seek(double seconds)
{
    if (failureText)
        return;
    if (!picture) {
        seekWanted = seconds;
        return;
    }
    if (playRate < 0) {
        playRate = 0;
        stopReverse();
        core.setFlag("pause", true);
        emit changed();
    }
    aimedFrame.reset();
    leaveBackward();
    seekExactly(seconds);
}

void MpvPlayer::seekBy(double seconds)
{
    seek(currentTime() + seconds);
}

void MpvPlayer::seekExactly(double seconds)
{
    const double limit = length > 0 ? length : seconds;
    const QByteArray target = QByteArray::number(std::clamp(seconds, 0.0, limit), 'f', 6);
    seekUnderWay = true;
    core.command({ "seek", target.constData(), "absolute+exact" });
}

void MpvPlayer::stepFrame(int direction, bool autoRepeat)
{
    step({ direction < 0 ? -1 : 1, StepGate::Unit::Frame }, autoRepeat);
}

void MpvPlayer::stepSeconds(int direction, bool autoRepeat)
{
    step({ direction < 0 ? -1 : 1, StepGate::Unit::Second }, autoRepeat);
}

void MpvPlayer::releaseStep()
{
    gate.release();
}

void MpvPlayer::step(StepGate::Step step, bool autoRepeat)
{
    if (failureText)
        return;
    if (playRate != 0)
        setRate(0);
    const auto now = gate.press(step, autoRepeat);
    // Before the first picture is up, mpv would spend a step on showing it: keep the step for then.
    if (now && !picture)
        firstStep = now;
    else if (now)
        makeSteps(now);
}

void MpvPlayer::makeSteps(std::optional<StepGate::Step> next)
{
    // A step with nowhere to go (before the first frame, after the last) lands at once.
    while (next && !make(*next))
        next = gate.landed();
    // The run is over: the next press counts from the frame on show.
    if (!next)
        aimedFrame.reset();
}

bool MpvPlayer::make(StepGate::Step step)
{
    // The steps of one run count from where the step before aimed, not from the frame on show: a step
    // that lands late on a busy machine (after the watchdog gave up on it) would otherwise be counted from
    // the frame before it, and the run would end a frame short.
    const qint64 frame = aimedFrame.value_or(frameIndex());
    const qint64 lastFrame = std::max<qint64>(0, std::llround(length * fps) - 1);
    if (step.unit == StepGate::Unit::Second) {
        const double from = aimedFrame && fps > 0 ? double(*aimedFrame) / fps : currentTime();
        const double target = std::clamp(from + step.direction, 0.0, double(lastFrame) / fps);
        if (std::llround(target * fps) == frame)
            return false;
        leaveBackward();
        landing = Landing::Restart;
        aimedFrame = std::llround(target * fps);
        seekExactly(target);
    } else if (fps <= 0 || (step.direction < 0 ? frame <= 0 : frame >= lastFrame)) {
        return false;
    } else if ((step.direction < 0) == backwardDirection && !seekUnderWay) {
        // mpv's own step goes one frame in its direction: forwards it decodes one more frame; backwards
        // it takes the next of the frames it has decoded for showing in reverse.
        landing = Landing::NewFrame;
        landingFrom = frame;
        aimedFrame = frame + step.direction;
        core.command({ "frame-step" });
    } else {
        // Against mpv's direction, or while a seek has not landed (a step that goes ahead of a slow one):
        // an exact seek to the neighbouring frame, which decodes from the keyframe before it and takes
        // the place of a seek still under way. (mpv's own back step decodes as much, and lands off the
        // frame after B-frames.)
        leaveBackward();
        landing = Landing::Restart;
        aimedFrame = frame + step.direction;
        seekExactly(double(*aimedFrame) / fps);
    }
    stepWatchdog.start();
    return true;
}

void MpvPlayer::stepLanded()
{
    landing = Landing::None;
    stepWatchdog.stop();
    makeSteps(gate.landed());
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

void MpvPlayer::tell(const QString& text)
{
    if (steppingTold)
        return;
    steppingTold = true;
    emit notice(text);
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
    if (landing == Landing::NewFrame && frameIndex() != landingFrom)
        stepLanded();
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

void MpvPlayer::decoderChanged(const QString& hwdecCurrent)
{
    // mpv names the decoder while one is in use, and says "no" (or nothing) while it decodes in software.
    const QString name = hwdecCurrent == QLatin1String("no") ? QString() : hwdecCurrent;
    if (name == decoderName)
        return;
    decoderName = name;
    emit changed();
}

void MpvPlayer::restarted()
{
    seekUnderWay = false;
    if (!picture) {
        picture = true;
        reachReader.setFuture(QtConcurrent::run(&BackwardReach::read, filePath));
        emit pictureReady();
        if (seekWanted)
            seekExactly(*std::exchange(seekWanted, std::nullopt));
        if (playRate != 0)
            applyRate();
        if (firstStep)
            makeSteps(std::exchange(firstStep, std::nullopt));
        return;
    }
    backwardWatchdog.stop();
    if (reverse == Reverse::Stepping && stepSeekUnderWay) {
        stepSeekUnderWay = false;
        if (handover && position <= *handover + 1e-6)
            enterBackward();
        else if (position <= 0)
            reachedStart();
    }
    if (landing == Landing::Restart)
        stepLanded();
}

void MpvPlayer::ended()
{
    // Backwards, the end is the clip's first frame: the shuttle stops there.
    if (backwardDirection || playRate < 0) {
        reachedStart();
        return;
    }
    // Only playing reaches the end; a seek or a step that shows the last frame leaves the clip loaded.
    if (atEnd || playRate <= 0)
        return;
    atEnd = true;
    playRate = 0;
    emit reachedEnd(); // may remove this player: nothing of it is touched after this
}

void MpvPlayer::fail(const QString& reason)
{
    if (failureText)
        return;
    failureText = reason;
    stopReverse();
    backwardWatchdog.stop();
    stepWatchdog.stop();
    gate.reset();
    aimedFrame.reset();
    playRate = 0;
    emit failed(reason);
}

void MpvPlayer::commandFailed(const QString& what, const QString& reason)
{
    emit notice(tr("The player refused “%1”: %2.").arg(what, reason));
    // An mpv that will not play backwards: stepping takes over.
    if (what == QLatin1String("set play-dir") && backwardDirection) {
        backwardDirection = false;
        if (reverse == Reverse::Backward)
            fallBackToStepping();
    }
    // A refused step or seek will not land: the keys are free again, counting from the frame on show,
    // and stepping backwards stops where it is rather than asking again and again.
    if (landing != Landing::None) {
        aimedFrame.reset();
        stepLanded();
    }
    if (reverse == Reverse::Stepping && stepSeekUnderWay) {
        playRate = 0;
        stopReverse();
        emit changed();
    }
}
