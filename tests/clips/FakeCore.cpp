#include "FakeCore.h"

#include <type_traits>

namespace {

std::string number(double value)
{
    return QString::number(value, 'g', 6).toStdString();
}

}

void FakeCore::request(const CoreRequest& request)
{
    const auto [line, command] = std::visit(
        [](const auto& asked) -> std::pair<std::string, CoreCommand> {
            using Asked = std::decay_t<decltype(asked)>;
            if constexpr (std::is_same_v<Asked, Request::Pause>)
                return { asked.paused ? "pause" : "play", CoreCommand::Pause };
            else if constexpr (std::is_same_v<Asked, Request::Speed>)
                return { "speed " + number(asked.rate), CoreCommand::Speed };
            else if constexpr (std::is_same_v<Asked, Request::Direction>)
                return { asked.backward ? "backward" : "forward", CoreCommand::Direction };
            else if constexpr (std::is_same_v<Asked, Request::ExactSeek>)
                return { "seek " + number(asked.seconds), CoreCommand::Seek };
            else if constexpr (std::is_same_v<Asked, Request::FrameStep>)
                return { "frame-step", CoreCommand::FrameStep };
            else if constexpr (std::is_same_v<Asked, Request::Volume>)
                return { "volume " + std::to_string(asked.percent), CoreCommand::Volume };
            else if constexpr (std::is_same_v<Asked, Request::Mute>)
                return { asked.muted ? "mute" : "unmute", CoreCommand::Mute };
            else if constexpr (std::is_same_v<Asked, Request::SoftwareDecoding>)
                return { asked.held ? "software" : "hardware", CoreCommand::Decoder };
            else
                return { "read reach", CoreCommand::Open };
        },
        request);
    requests.push_back(line);
    if (refusing.contains(command))
        say(Report::Refused { command, QStringLiteral("error running command") });
}

std::vector<std::string> FakeCore::asked()
{
    return std::exchange(requests, {});
}

void FakeCore::showFirstPicture(double duration, double framesPerSecond)
{
    say(Report::Opened { duration, framesPerSecond });
    say(Report::Position { 0 });
    say(Report::Restarted {});
}

void FakeCore::land(double seconds)
{
    say(Report::Position { seconds });
    say(Report::Restarted {});
}
