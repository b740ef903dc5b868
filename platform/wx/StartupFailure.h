#pragma once
// The one box a program shows when it cannot start: before anything else of
// the program stands, so it goes straight to wx rather than through the
// dialog service.

#include <string_view>

namespace platform {

// Exit code of a program that could not start because its data library is
// missing or unusable.
inline constexpr int kExitNoDataLibrary = 2;

// Shows textSjis (CP932) in an error box captioned with the game's title. In an
// unattended run (VELMORATH_EXIT_AFTER_IDLE=1 or VELMORATH_LOG_STDERR=1) the
// text goes to stderr instead, since nobody would close the box. detail (for
// whoever installs the game, e.g. which file or name was missing) always goes
// to stderr.
void ReportStartupFailure(std::string_view textSjis, std::string_view detail = {});

// Tells the player something the program did on its own while starting
// (textSjis, CP932) in an information box, or on stderr in an unattended run.
void ReportStartupNotice(std::string_view textSjis);

}  // namespace platform
