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

// The application tells from these why a run failed; each failure also prints its reason.
enum ExitStatus {
    Success = 0,
    NotFound = 1,
    Usage = 2,
    KeyringUnavailable = 3,
    KeyringLocked = 4,
    KeyringRefused = 5,
};

// Every keyring call of a run ends within this many seconds, or the run does; the application waits on
// the tool and may not freeze for longer.
constexpr unsigned keyringTimeLimit = 4;
// An unlock waits on the user typing the keyring's password. The prompt is dismissed after the first
// limit; the second ends the run even if the service does not take the dismissal. Both stay under the two
// minutes the application gives the run.
constexpr unsigned unlockPromptLimit = 100;
constexpr unsigned unlockTimeLimit = 110;

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
    switch (failure.kind) {
    case KeyringFailure::Kind::NotFound:
        return complain(failure.message, NotFound);
    case KeyringFailure::Kind::Locked:
        return complain(failure.message, KeyringLocked);
    case KeyringFailure::Kind::Refused:
        return complain(failure.message, KeyringRefused);
    case KeyringFailure::Kind::Unavailable:
        break;
    }
    return complain(failure.message, KeyringUnavailable);
}

int unlock(const Keyring& keyring)
{
    // The service has answered; from here on the run waits on the user.
    Deadline::start(unlockTimeLimit, KeyringUnavailable);
    if (const auto failure = keyring.unlockDefault(unlockPromptLimit))
        return reportFailure(*failure);
    return Success;
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
    case SecurityRequest::Operation::Unlock:
        return unlock(keyring);
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
