#include "XattrArguments.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <ftw.h>
#include <sys/xattr.h>

// tapescribe-xattr: reads, writes and deletes one extended attribute of files. It stays on the C library
// alone so that it starts in about a millisecond: the application runs it twice for every clip it loads.

namespace {

constexpr int failureStatus = 1;
constexpr int usageStatus = 2;

void reportFailure(const std::string& file, const std::string& reason)
{
    std::fprintf(stderr, "tapescribe-xattr: %s: %s\n", file.c_str(), reason.c_str());
}

std::string missingAttribute(const std::string& name)
{
    return "No such xattr: " + name;
}

bool writeAttribute(const std::string& file, const std::string& name, const std::string& value)
{
    if (::setxattr(file.c_str(), name.c_str(), value.data(), value.size(), 0) == 0)
        return true;
    reportFailure(file, std::strerror(errno));
    return false;
}

bool printAttribute(const std::string& file, const std::string& name, bool withFileName)
{
    std::vector<char> value;
    for (;;) {
        const ssize_t size = ::getxattr(file.c_str(), name.c_str(), nullptr, 0);
        if (size >= 0) {
            value.resize(size_t(size));
            const ssize_t read = ::getxattr(file.c_str(), name.c_str(), value.data(), value.size());
            if (read >= 0) {
                value.resize(size_t(read));
                break;
            }
        }
        // The value grew between the two calls: ask again.
        if (errno == ERANGE)
            continue;
        reportFailure(file, errno == ENODATA ? missingAttribute(name) : std::strerror(errno));
        return false;
    }
    if (withFileName)
        std::fprintf(stdout, "%s: ", file.c_str());
    // An empty value has no buffer, and the C library may not be handed a null one, even for no bytes.
    if (!value.empty())
        std::fwrite(value.data(), 1, value.size(), stdout);
    std::fputc('\n', stdout);
    return true;
}

bool deleteAttribute(const std::string& file, const std::string& name)
{
    if (::removexattr(file.c_str(), name.c_str()) == 0)
        return true;
    reportFailure(file, errno == ENODATA ? missingAttribute(name) : std::strerror(errno));
    return false;
}

// The walk of -d -r: nftw() takes no context pointer, so the name and the outcome live here.
std::string walkAttributeName;
bool walkSucceeded = true;

int deleteDuringWalk(const char* path, const struct stat*, int kind, struct FTW*)
{
    if (kind == FTW_DNR || kind == FTW_NS) {
        reportFailure(path, std::strerror(EACCES));
        walkSucceeded = false;
        return 0;
    }
    // Symbolic links are neither followed nor changed: Linux keeps no user attributes on them.
    if (kind == FTW_SL)
        return 0;
    // Across a tree, an entry without the attribute is what the removal aims at, not a failure.
    if (::removexattr(path, walkAttributeName.c_str()) != 0 && errno != ENODATA) {
        reportFailure(path, std::strerror(errno));
        walkSucceeded = false;
    }
    return 0;
}

bool deleteAttributeThroughout(const std::string& root, const std::string& name)
{
    walkAttributeName = name;
    walkSucceeded = true;
    constexpr int openFolders = 32;
    if (::nftw(root.c_str(), deleteDuringWalk, openFolders, FTW_PHYS) != 0) {
        reportFailure(root, std::strerror(errno));
        return false;
    }
    return walkSucceeded;
}

}

int main(int argc, char** argv)
{
    const auto parsed = xattr::parseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<xattr::UsageError>(&parsed)) {
        std::fprintf(stderr, "tapescribe-xattr: %s\n%s", error->message.c_str(), xattr::usageText);
        return usageStatus;
    }
    const auto& invocation = std::get<xattr::Invocation>(parsed);

    bool succeeded = true;
    for (const std::string& file : invocation.files) {
        switch (invocation.action) {
        case xattr::Action::Write:
            succeeded &= writeAttribute(file, invocation.name, invocation.value);
            break;
        case xattr::Action::Print:
            succeeded &= printAttribute(file, invocation.name, invocation.files.size() > 1);
            break;
        case xattr::Action::Delete:
            succeeded &= invocation.recursive ? deleteAttributeThroughout(file, invocation.name)
                                              : deleteAttribute(file, invocation.name);
            break;
        }
    }
    return succeeded ? 0 : failureStatus;
}
