#pragma once

#include "clips/Clip.h"
#include "clips/ClipMetadata.h"
#include "notes/MarkerClip.h"

#include <optional>

// What the notes need to know of a clip: its recording range, its rate and its timecode. A clip dated by
// its file rather than by itself gets its notes all the same, marked approximate.
MarkerClip markerClip(const Clip& clip, const std::optional<ClipMetadata>& metadata);
