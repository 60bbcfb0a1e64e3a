#pragma once

#include "clips/ClipMetadata.h"
#include "clips/RecordingStart.h"

#include <QDateTime>
#include <QString>

// The texts of the clip table's cells, in the forms loggers read.
namespace ClipTableText {

// The recording start in local time, with its date: "2016-03-01 15:05:09".
QString recordingStart(const QDateTime& moment);

// Where the recording start came from, for the cell's tool tip; `pending` while the clip's own date
// has not been read yet.
QString recordingStartSource(RecordingStart::Source source, bool pending);

// A duration as timecode at the clip's frame rate ("00:01:02:12"); empty when unknown.
QString duration(double seconds, ClipMetadata::Rate rate);

// Codec, frame size and frame rate: "ProRes 1920×1080 25 fps", "H.264 3840×2160 29.97 fps"; the parts
// the header does not tell are left out.
QString format(const ClipMetadata& metadata);

// Why the file `name` shows no format: "Not a .MOV clip" when the demuxer of its type finds no clip in it.
QString failure(ClipInput::Failure failure, const QString& name);

// A codec as loggers name it: FFmpeg's "prores" is "ProRes", "dnxhd" with a DNxHR profile "DNxHR".
QString codecName(const QString& ffmpegName, int profile);

}
