// The single-instance hand-over message: any line another process sends is read without harm, and every
// list of paths a second start sends comes back exactly.
#include "FuzzInput.h"

#include "app/HandOverMessage.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    QStringList paths;
    const int count = input.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < count; ++i)
        paths.append(QLatin1Char('/') + QString::fromUtf8(input.ConsumeRandomLengthString(100)));
    const QByteArray message = HandOverMessage::encoded(paths);
    FUZZ_ASSERT(message.count('\n') == 1 && message.endsWith('\n'));
    FUZZ_ASSERT(HandOverMessage::paths(message) == paths);

    const std::string line = input.ConsumeRemainingBytesAsString();
    if (const auto received = HandOverMessage::paths(QByteArray::fromStdString(line))) {
        for (const QString& path : *received)
            FUZZ_ASSERT(!path.isEmpty());
    }
    return 0;
}
