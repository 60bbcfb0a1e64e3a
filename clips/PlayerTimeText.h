#pragma once

#include <QDateTime>
#include <QString>

// The player's time read-outs, in the timecode form loggers read: hours, minutes, seconds and frames.
namespace PlayerTimeText {

// "HH:MM:SS:FF" for a position in seconds at `framesPerSecond`; negative positions count as 0.
QString timecode(double seconds, double framesPerSecond);

// Time still to play, as "-HH:MM:SS:FF".
QString remaining(double position, double duration, double framesPerSecond);

// Which decoder is at work, for the read-out's tooltip: `hardwareDecoder` as mpv names it ("vaapi"),
// empty while decoding in software.
QString decoding(const QString& hardwareDecoder);

// The local time of day at which the picture under the play head was recorded: "HH:mm:ss".
QString recordingTimeOfDay(const QDateTime& recordingStart, double position);

}
