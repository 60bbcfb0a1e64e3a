#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/mem.h>
#include <libavutil/timecode.h>
}

#include <QString>

#include <optional>

// The functions of FFmpeg (libavformat, libavcodec, libavutil) that the clips' readers call. Loading these
// libraries and theirs before the window could show took about as long as showing a bare window: the
// program does not link FFmpeg but loads it when the first clip is read. Each member is the FFmpeg function
// of its name, in camel case without the leading "av" ("avio_size" is ioSize, "av_read_frame" readFrame).
struct FFmpegLibrary
{
    // libavformat
    decltype(&::avformat_alloc_context) formatAllocContext = nullptr;
    decltype(&::avformat_open_input) formatOpenInput = nullptr;
    decltype(&::avformat_close_input) formatCloseInput = nullptr;
    decltype(&::avformat_index_get_entries_count) formatIndexGetEntriesCount = nullptr;
    decltype(&::avformat_index_get_entry) formatIndexGetEntry = nullptr;
    decltype(&::av_find_input_format) findInputFormat = nullptr;
    decltype(&::av_probe_input_format3) probeInputFormat3 = nullptr;
    decltype(&::av_find_best_stream) findBestStream = nullptr;
    decltype(&::av_read_frame) readFrame = nullptr;
    decltype(&::avio_alloc_context) ioAllocContext = nullptr;
    decltype(&::avio_context_free) ioContextFree = nullptr;
    decltype(&::avio_size) ioSize = nullptr;
    // libavcodec
    decltype(&::av_packet_alloc) packetAlloc = nullptr;
    decltype(&::av_packet_unref) packetUnref = nullptr;
    decltype(&::av_packet_free) packetFree = nullptr;
    decltype(&::avcodec_get_name) codecGetName = nullptr;
    // libavutil
    decltype(&::av_malloc) malloc = nullptr;
    decltype(&::av_free) free = nullptr;
    decltype(&::av_freep) freep = nullptr;
    decltype(&::av_max_alloc) maxAlloc = nullptr;
    decltype(&::av_dict_get) dictGet = nullptr;
    decltype(&::av_dict_set) dictSet = nullptr;
    decltype(&::av_dict_set_int) dictSetInt = nullptr;
    decltype(&::av_dict_free) dictFree = nullptr;
    decltype(&::av_timecode_init) timecodeInit = nullptr;
    decltype(&::av_timecode_init_from_string) timecodeInitFromString = nullptr;
    decltype(&::av_timecode_make_string) timecodeMakeString = nullptr;

    // Loads the three libraries of the major versions these headers describe and finds every function;
    // nothing when that fails, with `error` saying what was missing.
    static std::optional<FFmpegLibrary> load(QString* error);
};

// FFmpeg, loaded at the first call from any thread and kept until the end; nullptr when it cannot be
// loaded, which the first call writes to the console.
const FFmpegLibrary* ffmpegLibrary();
