// The keyring tool's output as the application reads it: any text must be read without harm, and every
// account and password the tool prints must come back exactly.
#include "FuzzInput.h"

#include "SecurityOutput.h"
#include "account/KeychainOutput.h"
#include "core/AsciiText.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string account = input.ConsumeRandomLengthString(300);
    const std::string password = input.ConsumeRandomLengthString(300);
    const bool withAccount = input.ConsumeBool();
    const std::string output = input.ConsumeRandomLengthString(2000);
    const std::string error = input.ConsumeRemainingBytesAsString();

    storedAccount(asciiText(QByteArray::fromStdString(output)), asciiText(QByteArray::fromStdString(error)));

    FoundItem item { "/org/freedesktop/secrets/collection/login", std::nullopt, "tapeScribe", "tapeScribe", 0,
        0 };
    if (withAccount)
        item.account = account;
    const auto found = storedAccount(asciiText(QByteArray::fromStdString(itemReport(item))),
        asciiText(QByteArray::fromStdString(passwordReport(password))));
    FUZZ_ASSERT(found);
    FUZZ_ASSERT(found->username == (withAccount ? QString::fromStdString(account) : QString()));
    FUZZ_ASSERT(found->password == QString::fromStdString(password));
    return 0;
}
