#pragma once

#include <optional>
#include <string>
#include <vector>

// What one run of tapescribe-security is asked to do, on one of its four command lines:
//
//   find-generic-password [-g] -s SERVICE
//   delete-generic-password -s SERVICE
//   add-generic-password [-a ACCOUNT] -s SERVICE [-w [PASSWORD]]
//   unlock-keychain
//
// A "-w" with nothing after it takes the password from standard input, so that it never has to stand in
// an argument list, which every local user can read. unlock-keychain unlocks the default keyring, which
// new items go to, through the keyring's own password prompt.
struct SecurityRequest
{
    enum class Operation { Find, Delete, Add, Unlock };

    Operation operation = Operation::Find;
    std::string service;
    std::string account;
    bool showPassword = false;
    std::string password;
    bool passwordFromInput = false;
};

struct ParsedArguments
{
    std::optional<SecurityRequest> request;
    std::string error; // why there is no request
};

// Reads the arguments that follow the program's name.
ParsedArguments parseSecurityArguments(const std::vector<std::string>& arguments);

// How the tool is used, for a wrong command line.
extern const char securityUsage[];
