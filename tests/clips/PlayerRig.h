#pragma once

#include "FakeCore.h"
#include "ManualClock.h"

#include "clips/MpvPlayer.h"

#include <memory>
#include <string>
#include <vector>

// A player on the fake engine and the manual clock, and what it told its owner.
struct PlayerRig
{
    explicit PlayerRig(const QString& path = QStringLiteral("A001.mp4"))
    {
        auto manual = std::make_unique<ManualClock>();
        clock = manual.get();
        player = std::make_unique<MpvPlayer>(core, path, std::move(manual));
        QObject::connect(player.get(), &MpvPlayer::changed, [this] { ++changes; });
        QObject::connect(player.get(), &MpvPlayer::reachedEnd, [this] { ++ends; });
        QObject::connect(player.get(), &MpvPlayer::pictureReady, [this] { ++pictures; });
        QObject::connect(
            player.get(), &MpvPlayer::failed, [this](const QString& why) { failures.append(why); });
        QObject::connect(
            player.get(), &MpvPlayer::notice, [this](const QString& text) { notices.append(text); });
        player->start();
    }

    // Opened, 10 s at 25 frames a second, paused at the start, and everything asked so far forgotten.
    void open(double duration = 10, double framesPerSecond = 25)
    {
        core.showFirstPicture(duration, framesPerSecond);
        core.asked();
    }
    // Paused at `seconds`, as a seek leaves it.
    void parkAt(double seconds)
    {
        player->seek(seconds);
        core.land(seconds);
        core.asked();
    }
    std::vector<std::string> asked() { return core.asked(); }
    qint64 frame() const { return std::llround(player->currentTime() * player->framesPerSecond()); }

    FakeCore core;
    ManualClock* clock = nullptr;
    std::unique_ptr<MpvPlayer> player;
    int changes = 0;
    int ends = 0;
    int pictures = 0;
    QStringList failures;
    QStringList notices;
};

using Asked = std::vector<std::string>;
