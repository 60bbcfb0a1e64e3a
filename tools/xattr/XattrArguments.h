#pragma once

#include <string>
#include <variant>
#include <vector>

// The command line of tapescribe-xattr, read without touching any file:
//   -w NAME VALUE FILE...   write an attribute
//   -p NAME FILE...         print an attribute's value and a line end
//   -d NAME FILE...         delete an attribute; with -r, throughout the folders named
namespace xattr {

enum class Action { Write, Print, Delete };

struct Invocation
{
    Action action = Action::Print;
    bool recursive = false;
    std::string name; // as the kernel knows it: a name without a namespace lies in "user."
    std::string value; // only for Write
    std::vector<std::string> files;
};

// Why the command line was refused, for the usage message.
struct UsageError
{
    std::string message;
};

std::variant<Invocation, UsageError> parseArguments(const std::vector<std::string>& arguments);

// Linux keeps every attribute in a namespace ("user.", "trusted.", "security.", "system."); a name
// outside them, such as "com.example.stamp", is a user attribute.
std::string kernelAttributeName(const std::string& name);

extern const char usageText[];

}
