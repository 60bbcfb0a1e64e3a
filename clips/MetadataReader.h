#pragma once

#include "clips/ClipMetadata.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QThreadPool>

#include <functional>
#include <optional>

// Reads the metadata of a folder's clips on a small pool of worker threads, after the scan, and hands
// each answer to the main thread as it arrives. Reading a new list cancels what is pending of the last
// one: the reads not yet started are dropped, and the answers of those already running are ignored.
class MetadataReader : public QObject
{
    Q_OBJECT

public:
    using ReadFunction = std::function<ClipMetadata::Reading(const QString& path)>;
    struct Request
    {
        int index; // the clip's index in the list it belongs to
        QString path;
    };

    // `read` reads one clip; tests put a slower or a gated one in its place.
    explicit MetadataReader(ReadFunction read = &ClipMetadata::readHeader, QObject* parent = nullptr);
    ~MetadataReader() override;

    // Starts reading the clips of a new list, in the order given; the last list's reads are cancelled.
    void readAll(const QList<Request>& requests);
    // Cancels every pending read: their answers never arrive.
    void cancel();
    // Puts another reader of one clip in place; only while no list is being read.
    void setReadFunction(ReadFunction function) { read = std::move(function); }
    // Reads one clip at once, on the calling thread.
    ClipMetadata::Reading readNow(const QString& path) const { return read(path); }

    // Waits until the workers are idle (for a clean end; answers still arrive through the event loop).
    void waitForWorkers();

signals:
    // The answer for the clip at `index` of the current list: its metadata, or why there is none.
    void metadataRead(int index, const ClipMetadata::Reading& reading);

private:
    struct Answer
    {
        quint64 generation = 0;
        int index = -1;
        ClipMetadata::Reading reading;
    };

    void deliver();

    ReadFunction read;
    QThreadPool pool;
    // Shared with the workers: which list is current, and the answers waiting for the main thread.
    QMutex mutex;
    quint64 generation = 0;
    QList<Answer> answers;
    bool deliveryPosted = false;
};
