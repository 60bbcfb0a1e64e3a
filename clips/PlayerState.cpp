#include "clips/PlayerState.h"

double PlayerState::rate() const
{
    return std::visit(
        [](const auto& now) -> double {
            if constexpr (requires { now.rate; })
                return now.rate;
            else
                return 0;
        },
        mode);
}

bool PlayerState::hasPicture() const
{
    if (const auto* failed = std::get_if<Mode::Failed>(&mode))
        return failed->picture;
    return !std::holds_alternative<Mode::Opening>(mode);
}

std::optional<QString> PlayerState::failure() const
{
    if (const auto* failed = std::get_if<Mode::Failed>(&mode))
        return failed->reason;
    return std::nullopt;
}
