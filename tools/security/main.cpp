#include "Deadline.h"
#include "Keyring.h"
#include "SecurityArguments.h"
#include "SecurityOutput.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

// tapescribe-security: the application's one way into the user's keyring, over the Secret Service. The
// application knows it only by its command lines and its output form.

namespace {

enum ExitStatus {
    Success = 0,
    NotFound = 1,
    Usage = 2,
    KeyringUnavailable = 3,
};

// Every keyring call of a run ends within this many seconds, or the run does; the application waits on
// the tool and may not freeze for longer.
constexpr unsigned keyringTimeLimit = 4;

// The application takes the password from the second piece of standard error cut at double quotes, so
// a message may hold none: a reason quoted from GLib could otherwise be read as a password.
int complain(const std::string& message, int status)
{
    std::string text = message;
    std::replace(text.begin(), text.end(), '"', '\'');
    std::cerr << "tapescribe-security: " << text << '\n';
    return status;
}

int reportFailure(const KeyringFailure& failure)
{
    return complain(
        failure.message, failure.kind == KeyringFailure::Kind::NotFound ? NotFound : KeyringUnavailable);
}

std::string everythingOnInput()
{
    return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
}

int perform(const SecurityRequest& request, const Keyring& keyring)
{
    switch (request.operation) {
    case SecurityRequest::Operation::Find: {
        const auto found = keyring.find(request.service);
        if (const auto* failure = std::get_if<KeyringFailure>(&found))
            return reportFailure(*failure);
        // Nothing is printed before the whole item is known, so a run that fails leaves standard output
        // empty.
        Deadline::cancel();
        const auto& stored = std::get<StoredItem>(found);
        std::cout << itemReport(stored.item) << std::flush;
        if (request.showPassword)
            std::cerr << passwordReport(stored.secret) << std::flush;
        return Success;
    }
    case SecurityRequest::Operation::Delete:
        if (const auto failure = keyring.remove(request.service))
            return reportFailure(*failure);
        return Success;
    case SecurityRequest::Operation::Add:
        if (const auto failure = keyring.add(request.service, request.account, request.password))
            return reportFailure(*failure);
        return Success;
    }
    return Usage;
}

}

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    const ParsedArguments parsed = parseSecurityArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.request) {
        complain(parsed.error, Usage);
        std::cerr << securityUsage;
        return Usage;
    }
    SecurityRequest request = *parsed.request;
    // The whole of standard input, line ends included: a password may hold them.
    if (request.passwordFromInput)
        request.password = everythingOnInput();

    Deadline::start(keyringTimeLimit, KeyringUnavailable);
    auto opened = Keyring::open();
    if (const auto* failure = std::get_if<KeyringFailure>(&opened))
        return reportFailure(*failure);
    return perform(request, std::get<Keyring>(opened));
}
