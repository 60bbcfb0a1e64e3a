// tapescribe-security's argument list: every list is either a request or refused with a reason.
#include "FuzzInput.h"

#include "SecurityArguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ParsedArguments parsed = parseSecurityArguments(argumentsFrom(data, size));
    FUZZ_ASSERT(parsed.request.has_value() != !parsed.error.empty());
    if (parsed.request)
        FUZZ_ASSERT(!parsed.request->passwordFromInput || parsed.request->password.empty());
    return 0;
}
