// The time-offset text: the log service reads whatever a time_offset cookie holds, and reads back exactly
// every offset the application writes.
#include "FuzzInput.h"

#include "logform/TimeOffset.h"
#include "logservice/RecordingTime.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // What the application sends: whole seconds, within the ten digits the service takes.
    const double seconds
        = std::round(input.ConsumeFloatingPointInRange<double>(-9'999'999'999.0, 9'999'999'999.0));
    const QByteArray written = TimeOffset::text(seconds).toLatin1();
    const auto read = timeOffsetSeconds(written);
    FUZZ_ASSERT(read && *read == seconds);

    const std::string cookie = input.ConsumeRemainingBytesAsString();
    const QByteArray value(cookie.data(), static_cast<qsizetype>(cookie.size()));
    if (const auto offset = timeOffsetSeconds(value))
        FUZZ_ASSERT(std::isfinite(*offset) && std::fabs(*offset) < 1e10);
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1714572490, Qt::UTC);
    if (const auto recorded = recordingTime(now, value))
        FUZZ_ASSERT(recorded->isValid());
    return 0;
}
