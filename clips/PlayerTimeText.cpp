#include "clips/PlayerTimeText.h"

#include <QCoreApplication>

#include <cmath>

namespace PlayerTimeText {

QString timecode(double seconds, double framesPerSecond)
{
    const double fps = framesPerSecond > 0 ? framesPerSecond : 25.0;
    const qint64 wholeFps = std::max<qint64>(1, std::llround(fps));
    // A frame's position is its start: a hair below a frame boundary (floating-point noise) still names
    // that boundary's frame.
    const qint64 frames = std::max<qint64>(0, qint64(std::floor(seconds * fps + 1e-6)));
    const qint64 totalSeconds = frames / wholeFps;
    return QStringLiteral("%1:%2:%3:%4")
        .arg(totalSeconds / 3600, 2, 10, QChar(u'0'))
        .arg(totalSeconds / 60 % 60, 2, 10, QChar(u'0'))
        .arg(totalSeconds % 60, 2, 10, QChar(u'0'))
        .arg(frames % wholeFps, 2, 10, QChar(u'0'));
}

QString remaining(double position, double duration, double framesPerSecond)
{
    return u'-' + timecode(std::max(0.0, duration - position), framesPerSecond);
}

QString decoding(const QString& hardwareDecoder)
{
    return hardwareDecoder.isEmpty()
        ? QCoreApplication::translate("PlayerView", "Decoding: software")
        : QCoreApplication::translate("PlayerView", "Decoding: hardware (%1)").arg(hardwareDecoder);
}

QString recordingTimeOfDay(const QDateTime& recordingStart, double position)
{
    if (!recordingStart.isValid())
        return {};
    return recordingStart.addMSecs(qint64(std::floor(position * 1000)))
        .toLocalTime()
        .toString(QStringLiteral("HH:mm:ss"));
}

}
