#include "SecurityArguments.h"

#include <map>

const char securityUsage[]
    = "usage: tapescribe-security find-generic-password [-g] -s service\n"
      "       tapescribe-security delete-generic-password -s service\n"
      "       tapescribe-security add-generic-password [-a account] -s service [-w [password]]\n"
      "       tapescribe-security unlock-keychain\n"
      "A -w without a password reads the password from standard input.\n";

namespace {

using Operation = SecurityRequest::Operation;

const std::map<std::string, Operation> operations {
    { "find-generic-password", Operation::Find },
    { "delete-generic-password", Operation::Delete },
    { "add-generic-password", Operation::Add },
    { "unlock-keychain", Operation::Unlock },
};

ParsedArguments refused(std::string why)
{
    return { std::nullopt, std::move(why) };
}

}

ParsedArguments parseSecurityArguments(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return refused("no command given");
    const auto operation = operations.find(arguments.front());
    if (operation == operations.end())
        return refused("unknown command " + arguments.front());

    SecurityRequest request;
    request.operation = operation->second;
    bool serviceGiven = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (option == "-s" && hasValue && request.operation != Operation::Unlock) {
            request.service = arguments[++i];
            serviceGiven = true;
        } else if (option == "-g" && request.operation == Operation::Find) {
            request.showPassword = true;
        } else if (option == "-a" && hasValue && request.operation == Operation::Add) {
            request.account = arguments[++i];
        } else if (option == "-w" && request.operation == Operation::Add) {
            request.passwordFromInput = !hasValue;
            request.password = hasValue ? arguments[++i] : std::string();
        } else {
            return refused("unexpected argument " + option + " for " + arguments.front());
        }
    }
    // Without a service every item of the keyring would match: a delete could remove any of them.
    if (!serviceGiven && request.operation != Operation::Unlock)
        return refused(arguments.front() + " needs -s service");
    return { request, {} };
}
