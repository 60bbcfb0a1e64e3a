#pragma once

#include <QString>

#include <chrono>
#include <memory>
#include <optional>

struct AVFormatContext;

// A clip opened for FFmpeg's demuxers the way every reader of clips in this program opens one: a regular
// file, read through a descriptor this module has checked, only by the demuxer its name's type calls for,
// never another file, URL or demuxer beside it, within a deadline and with bounded probing. The first
// clip opened holds FFmpeg's allocations to blocks of 256 MiB, for the whole process.
//
// Letting FFmpeg pick the demuxer would read a text file named ".mov" as whatever it really is: an SDP
// session binds network sockets, a playlist or concat script opens other files, a subtitle file is read
// whole into memory.
class ClipInput
{
public:
    enum class Failure {
        Unreadable, // not there, no regular file, or the file system refused to read it
        NotItsType, // the demuxer its name calls for finds no clip in it (or the name calls for none)
        TooSlow, // not read within the deadline
    };

    // How long one clip may take, from opening it to the last packet a reader looks at: a header read
    // takes milliseconds, even four at a time on a loaded machine.
    static constexpr std::chrono::milliseconds deadline { 2500 };

    explicit ClipInput(const QString& path, std::chrono::milliseconds limit = deadline);
    ~ClipInput();
    ClipInput(const ClipInput&) = delete;
    ClipInput& operator=(const ClipInput&) = delete;

    // The opened container, with at least one stream; null when it could not be opened. Reading packets
    // from it stays within the deadline: past it, reads fail.
    AVFormatContext* format() const;
    // Why it could not be opened; nothing when it was.
    std::optional<Failure> failure() const;

private:
    struct Source;
    std::unique_ptr<Source> source;
};
