#include "clips/FFmpegLibrary.h"
#include "clips/LoadedLibrary.h"
#include "core/Console.h"

std::optional<FFmpegLibrary> FFmpegLibrary::load(QString* error)
{
    // In the order they need each other.
    LoadedLibrary util(QStringLiteral("avutil"), LIBAVUTIL_VERSION_MAJOR);
    LoadedLibrary codec(QStringLiteral("avcodec"), LIBAVCODEC_VERSION_MAJOR);
    LoadedLibrary format(QStringLiteral("avformat"), LIBAVFORMAT_VERSION_MAJOR);
    FFmpegLibrary functions;
    format.find(functions.formatAllocContext, "avformat_alloc_context");
    format.find(functions.formatOpenInput, "avformat_open_input");
    format.find(functions.formatCloseInput, "avformat_close_input");
    format.find(functions.formatIndexGetEntriesCount, "avformat_index_get_entries_count");
    format.find(functions.formatIndexGetEntry, "avformat_index_get_entry");
    format.find(functions.findInputFormat, "av_find_input_format");
    format.find(functions.probeInputFormat3, "av_probe_input_format3");
    format.find(functions.findBestStream, "av_find_best_stream");
    format.find(functions.readFrame, "av_read_frame");
    format.find(functions.ioAllocContext, "avio_alloc_context");
    format.find(functions.ioContextFree, "avio_context_free");
    format.find(functions.ioSize, "avio_size");
    codec.find(functions.packetAlloc, "av_packet_alloc");
    codec.find(functions.packetUnref, "av_packet_unref");
    codec.find(functions.packetFree, "av_packet_free");
    codec.find(functions.codecGetName, "avcodec_get_name");
    util.find(functions.malloc, "av_malloc");
    util.find(functions.free, "av_free");
    util.find(functions.freep, "av_freep");
    util.find(functions.maxAlloc, "av_max_alloc");
    util.find(functions.dictGet, "av_dict_get");
    util.find(functions.dictSet, "av_dict_set");
    util.find(functions.dictSetInt, "av_dict_set_int");
    util.find(functions.dictFree, "av_dict_free");
    util.find(functions.timecodeInit, "av_timecode_init");
    util.find(functions.timecodeInitFromString, "av_timecode_init_from_string");
    util.find(functions.timecodeMakeString, "av_timecode_make_string");
    QStringList errors;
    for (const LoadedLibrary* library : { &util, &codec, &format })
        if (!library->error().isEmpty())
            errors.append(library->error());
    *error = errors.join(QStringLiteral("; "));
    if (!errors.isEmpty())
        return std::nullopt;
    return functions;
}

const FFmpegLibrary* ffmpegLibrary()
{
    static const std::optional<FFmpegLibrary> loaded = [] {
        QString error;
        auto functions = FFmpegLibrary::load(&error);
        if (!functions)
            consoleLine(QStringLiteral("FFmpeg could not be loaded: %1").arg(error));
        return functions;
    }();
    return loaded ? &*loaded : nullptr;
}
