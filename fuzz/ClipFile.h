#pragma once

#include <QString>
#include <QTemporaryDir>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

// A clip reader takes a path, as the scan hands it one, and opens the file only with the demuxer its name's
// type calls for: the fuzzer's first byte chooses the name's extension, one of each type of
// clips/TypeIdentifiers, and the rest of the bytes become the file.
class ClipFile
{
public:
    QString write(const std::uint8_t* data, std::size_t size)
    {
        if (!folder.isValid())
            std::abort();
        const char* extension = size > 0 ? extensions[data[0] % extensions.size()] : extensions[0];
        const QString path = folder.filePath(QStringLiteral("clip.") + QLatin1String(extension));
        const int descriptor
            = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (descriptor < 0)
            std::abort();
        const std::size_t skipped = size > 0 ? 1 : 0;
        if (::write(descriptor, data + skipped, size - skipped) != ssize_t(size - skipped))
            std::abort();
        ::close(descriptor);
        return path;
    }

private:
    static constexpr std::array extensions { "mxf", "mov", "mp4", "m4v", "3gp", "3g2", "mpg", "m2v", "ts",
        "mts", "dv", "avi", "mkv", "webm", "m4a", "wav", "aif", "aifc", "caf", "mp3", "aac", "ac3", "eac3",
        "amr" };
    QTemporaryDir folder;
};

// Nothing a clip reader does may open a socket: FFmpeg's network protocols (an SDP session, an RTP or UDP
// stream, a playlist's URL) are all refused before they get to one. The executable's own socket() stands
// in for the C library's in every library it loads, so the first call is a finding.
extern "C" int socket(int, int, int) noexcept
{
    __builtin_trap();
}
