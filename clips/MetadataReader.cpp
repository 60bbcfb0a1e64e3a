#include "clips/MetadataReader.h"
#include "core/Platform.h"

#include <QElapsedTimer>
#include <QMutexLocker>

#include <algorithm>

namespace {

// Header reads wait on the disk as much as on the processor: a few more threads than cores keep a
// slow card busy, and more would only contend.
constexpr int maximumWorkers = 4;
constexpr qint64 deliverySliceMilliseconds = 4;

}

MetadataReader::MetadataReader(ReadFunction read, QObject* parent)
    : QObject(parent)
    , read(std::move(read))
{
    pool.setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 2, maximumWorkers));
}

MetadataReader::~MetadataReader()
{
    cancel();
    pool.waitForDone();
}

void MetadataReader::readAll(const QList<Request>& requests)
{
    cancel();
    const quint64 current = generation; // only this thread changes it
    for (const Request& request : requests) {
        pool.start([this, current, request] {
            // The workers read headers while the logger works: the main thread must never wait for them.
            thread_local const bool yielded = (Platform::yieldToOtherThreads(), true);
            Q_UNUSED(yielded);
            {
                const QMutexLocker locker(&mutex);
                if (current != generation)
                    return;
            }
            auto reading = read(request.path);
            const QMutexLocker locker(&mutex);
            if (current != generation)
                return;
            answers.append(Answer { current, request.index, std::move(reading) });
            // One delivery carries every answer that has come in by the time the main thread gets to it.
            if (!deliveryPosted) {
                deliveryPosted = true;
                QMetaObject::invokeMethod(this, &MetadataReader::deliver, Qt::QueuedConnection);
            }
        });
    }
}

void MetadataReader::cancel()
{
    pool.clear();
    const QMutexLocker locker(&mutex);
    ++generation;
    answers.clear();
}

void MetadataReader::waitForWorkers()
{
    pool.waitForDone();
}

void MetadataReader::deliver()
{
    // Rows update in slices of at most a few milliseconds, so that a burst of answers never holds the
    // main thread for a frame's time; the rest waits for the next turn of the event loop.
    QElapsedTimer slice;
    slice.start();
    for (;;) {
        Answer answer;
        {
            const QMutexLocker locker(&mutex);
            if (answers.isEmpty()) {
                deliveryPosted = false;
                return;
            }
            if (slice.elapsed() >= deliverySliceMilliseconds) {
                QMetaObject::invokeMethod(this, &MetadataReader::deliver, Qt::QueuedConnection);
                return;
            }
            answer = answers.takeFirst();
            // A receiver may have started a new list while this one was being delivered.
            if (answer.generation != generation)
                continue;
        }
        emit metadataRead(answer.index, answer.reading);
    }
}
