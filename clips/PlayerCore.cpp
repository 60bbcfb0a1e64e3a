#include "clips/PlayerCore.h"

QString commandName(CoreCommand command)
{
    switch (command) {
    case CoreCommand::Open:
        return QStringLiteral("loadfile");
    case CoreCommand::Stop:
        return QStringLiteral("stop");
    case CoreCommand::Pause:
        return QStringLiteral("set pause");
    case CoreCommand::Speed:
        return QStringLiteral("set speed");
    case CoreCommand::Direction:
        return QStringLiteral("set play-dir");
    case CoreCommand::Seek:
        return QStringLiteral("seek");
    case CoreCommand::FrameStep:
        return QStringLiteral("frame-step");
    case CoreCommand::Volume:
        return QStringLiteral("set volume");
    case CoreCommand::Mute:
        return QStringLiteral("set mute");
    case CoreCommand::Decoder:
        return QStringLiteral("set hwdec");
    case CoreCommand::StartTime:
        return QStringLiteral("set start");
    case CoreCommand::Demuxer:
        return QStringLiteral("set demuxer-lavf-format");
    case CoreCommand::DemuxerOptions:
        return QStringLiteral("set demuxer-lavf-o");
    }
    return {};
}

void PlayerCore::load(PlayerCoreListener& listener, const QString& path)
{
    current = &listener;
    ++loads;
    open(path);
}

void PlayerCore::release(PlayerCoreListener& listener)
{
    if (&listener != current)
        return;
    current = nullptr;
    stop();
}

void PlayerCore::report(qint64 load, const CoreReport& report)
{
    if (current && load == loads)
        current->report(report);
}
