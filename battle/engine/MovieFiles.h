#pragma once
// Where the battle program finds a movie file: in the "MOVIE" folder beside
// the program, or on the game disc, which the player is asked to insert while
// it cannot be found. Paths are CP932 with '\', as everywhere in the program.

#include <cstdint>
#include <string>
#include <string_view>

namespace zrv {

// The file whose folder is the game disc's root.
inline constexpr const char* kDiscMarkerFile = "ZRM\\Setup.exe";

// The movie of the historical event on a packed date: "Hs" and the year
// byte, month and day, two digits each (more when a damaged date holds a
// larger byte), then ".AVI".
std::string HistoryMovieName(uint32_t packedDate);

// Sets path to the movie name in the program folder's "MOVIE\" (whether or
// not such a file exists) and returns 1; with fromDisc, in the disc's
// "MOVIE\" instead, asking the player (Retry / Cancel) while no disc holds the
// marker file. 0 when the player cancelled; path is then left as it was.
int GetMovieFilePath(std::string& path, std::string_view name, bool fromDisc);

// The event movie of the date through GetMovieFilePath.
int GetHistoryMoviePath(std::string& path, uint32_t packedDate, bool fromDisc);

}  // namespace zrv
