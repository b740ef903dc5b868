#pragma once
// The test player's log: one UTF-8 line per thing a scripted run wants to
// see afterwards (dialog captions and controls, the answers the openers got,
// effects, flashes, states). Written only when $VELMORATH_PLAY_LOG names a
// file; every other run pays one test of a flag.

#include <string_view>

namespace platform {

// Whether the log is being written.
bool PlayLogEnabled();
// Appends line (UTF-8, no newline) to the log, flushed at once.
void PlayLog(std::string_view line);
// The same for CP932 text.
void PlayLogSjis(std::string_view line);

}  // namespace platform
