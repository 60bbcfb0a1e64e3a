#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

// What the player's FFmpeg can open and decode, asked of a short-lived player core.
struct MediaCapabilities
{
    QStringList demuxers; // FFmpeg demuxer names, as "mov,mp4,m4a,3gp,3g2,mj2"
    QStringList decoders; // codec names with a decoder, as "prores"

    // Nothing when the player core cannot start.
    static std::optional<MediaCapabilities> query();
    // The answer of the process's first query, kept: what the player's libraries can do does not change
    // while the process runs, and each query starts a player core of its own.
    static const std::optional<MediaCapabilities>& ofThisProcess();

    // The professional formats a logger relies on that are missing, named for people ("the MXF
    // demuxer", "the ProRes decoder"); empty when all are there.
    QStringList missingProfessionalFormats() const;
};

// How the warning's words are put: QCoreApplication::translate for the alert, in the logger's language;
// englishWords for the console log, which other programs read in English whatever the desktop's language.
using WarningWords
    = QString (*)(const char* context, const char* sourceText, const char* disambiguation, int n);
QString englishWords(const char* context, const char* sourceText, const char* disambiguation, int n);

// What the logger is told at launch when professional clips would not play (`capabilities` is nothing
// when the player could not start at all); nothing when everything is there.
std::optional<QString> professionalFormatsWarning(
    const std::optional<MediaCapabilities>& capabilities, WarningWords words = &QCoreApplication::translate);
