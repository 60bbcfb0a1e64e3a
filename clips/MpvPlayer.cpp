#include "clips/MpvPlayer.h"

#include <QPointer>

#include <type_traits>

MpvPlayer::MpvPlayer(PlayerCore& core, const QString& path, std::unique_ptr<PlayerClock> playerClock)
    : core(core)
    , filePath(path)
    , clock(playerClock ? std::move(playerClock) : std::make_unique<QtPlayerClock>())
{
    clock->timedOut = [this](PlayerTimer timer) { handle(Timeout { timer }); };
}

MpvPlayer::~MpvPlayer()
{
    clock->timedOut = nullptr;
    core.release(*this);
}

void MpvPlayer::start()
{
    core.load(*this, filePath);
}

void MpvPlayer::setRate(double rate)
{
    handle(PlayerCommand { Command::SetRate { rate } });
}

void MpvPlayer::seek(double seconds)
{
    handle(PlayerCommand { Command::Seek { seconds } });
}

void MpvPlayer::seekBy(double seconds)
{
    seek(currentTime() + seconds);
}

void MpvPlayer::stepFrame(int direction, bool autoRepeat)
{
    handle(PlayerCommand { Command::Step { { direction < 0 ? -1 : 1, StepGate::Unit::Frame }, autoRepeat } });
}

void MpvPlayer::stepSeconds(int direction, bool autoRepeat)
{
    handle(
        PlayerCommand { Command::Step { { direction < 0 ? -1 : 1, StepGate::Unit::Second }, autoRepeat } });
}

void MpvPlayer::releaseStep()
{
    handle(PlayerCommand { Command::ReleaseStep {} });
}

void MpvPlayer::setVolume(int percent)
{
    handle(PlayerCommand { Command::SetVolume { percent } });
}

void MpvPlayer::setMuted(bool mute)
{
    handle(PlayerCommand { Command::SetMuted { mute } });
}

void MpvPlayer::report(const CoreReport& report)
{
    handle(report);
}

void MpvPlayer::handle(const PlayerEvent& event)
{
    pending.push_back(event);
    if (pending.size() > 1)
        return;
    while (!pending.empty()) {
        for (const PlayerEffect& effect : machine.handle(pending.front(), clock->now())) {
            if (!perform(effect))
                return;
        }
        pending.pop_front();
    }
}

bool MpvPlayer::perform(const PlayerEffect& effect)
{
    if (const auto* request = std::get_if<CoreRequest>(&effect)) {
        core.request(*request);
    } else if (const auto* order = std::get_if<TimerOrder>(&effect)) {
        order->run ? clock->start(order->timer) : clock->stop(order->timer);
    } else {
        // Whoever hears the end of a clip may remove its player: nothing of it is touched after that.
        const QPointer<MpvPlayer> alive(this);
        emitOutput(std::get<PlayerOutput>(effect));
        return !alive.isNull();
    }
    return true;
}

void MpvPlayer::emitOutput(const PlayerOutput& output)
{
    std::visit(
        [this](const auto& said) {
            using Said = std::decay_t<decltype(said)>;
            if constexpr (std::is_same_v<Said, Output::Changed>)
                emit changed();
            else if constexpr (std::is_same_v<Said, Output::ReachedEnd>)
                emit reachedEnd();
            else if constexpr (std::is_same_v<Said, Output::PictureReady>)
                emit pictureReady();
            else if constexpr (std::is_same_v<Said, Output::Failed>)
                emit failed(said.reason);
            else if constexpr (std::is_same_v<Said, Output::SteppingBack>)
                emit notice(
                    tr("This clip cannot be played backwards: J steps back through it frame by frame."));
            else if constexpr (std::is_same_v<Said, Output::Refused>)
                emit notice(tr("The player refused “%1”: %2.").arg(commandName(said.command), said.reason));
        },
        output);
}
