// tapescribe-xattr's argument list: every list is an invocation on at least one file, or a usage error.
#include "FuzzInput.h"

#include "XattrArguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto parsed = xattr::parseArguments(argumentsFrom(data, size));
    if (const auto* invocation = std::get_if<xattr::Invocation>(&parsed)) {
        FUZZ_ASSERT(!invocation->files.empty());
        FUZZ_ASSERT(xattr::kernelAttributeName(invocation->name).find('.') != std::string::npos);
    } else {
        FUZZ_ASSERT(!std::get<xattr::UsageError>(parsed).message.empty());
    }
    return 0;
}
