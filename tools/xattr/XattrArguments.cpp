#include "XattrArguments.h"

#include <array>
#include <optional>
#include <string_view>

namespace xattr {

const char usageText[] = "usage: tapescribe-xattr -w NAME VALUE FILE...\n"
                         "       tapescribe-xattr -p NAME FILE...\n"
                         "       tapescribe-xattr -d [-r] NAME FILE...\n";

std::string kernelAttributeName(const std::string& name)
{
    constexpr std::array<std::string_view, 4> namespaces { "user.", "trusted.", "security.", "system." };
    for (std::string_view prefix : namespaces) {
        if (std::string_view(name).starts_with(prefix))
            return name;
    }
    return "user." + name;
}

std::variant<Invocation, UsageError> parseArguments(const std::vector<std::string>& arguments)
{
    std::optional<Action> action;
    bool recursive = false;
    size_t index = 0;
    for (; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (argument == "--") {
            ++index;
            break;
        }
        if (argument.size() < 2 || argument[0] != '-')
            break;
        // Options may be given apart or together ("-d -r", "-rd").
        for (char letter : std::string_view(argument).substr(1)) {
            std::optional<Action> named;
            switch (letter) {
            case 'w':
                named = Action::Write;
                break;
            case 'p':
                named = Action::Print;
                break;
            case 'd':
                named = Action::Delete;
                break;
            case 'r':
                recursive = true;
                break;
            default:
                return UsageError { std::string("unknown option -") + letter };
            }
            if (named) {
                if (action && *action != *named)
                    return UsageError { "choose one of -w, -p and -d" };
                action = named;
            }
        }
    }
    if (!action)
        return UsageError { "one of -w, -p and -d is required" };
    if (recursive && *action != Action::Delete)
        return UsageError { "-r is only used with -d" };

    Invocation invocation;
    invocation.action = *action;
    invocation.recursive = recursive;
    const size_t operandsBeforeFiles = *action == Action::Write ? 2 : 1;
    if (arguments.size() - index < operandsBeforeFiles + 1)
        return UsageError { "missing operands" };
    if (arguments[index].empty())
        return UsageError { "the attribute name is empty" };
    invocation.name = kernelAttributeName(arguments[index++]);
    if (*action == Action::Write)
        invocation.value = arguments[index++];
    invocation.files.assign(arguments.begin() + std::ptrdiff_t(index), arguments.end());
    return invocation;
}

}
