#pragma once
// Paths. Inside the program a path is a CP932 string with '\' separators, built
// from the program folder and the fixed folders "Data\", "Scenario\" and
// "MOVIE\". Only this layer knows the file system: it converts to UTF-8 first
// (0x5C is also the trail byte of characters such as 表), then turns '\' into
// '/', and matches every element without regard to case.
//
// The native program folder never passes through CP932: a CP932 path begins
// with the folder's CP932 rendering, and that prefix is swapped back for the
// native folder here. Folders handed in from outside (file dialogs) get the
// same treatment through RegisterNativeFolder.

#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The program folder as a CP932 path ending in '\'.
const std::string& ProgramFolder();
// The same folder as the file system names it (ending in '/').
const std::string& ProgramFolderNative();
// Tests and tools point the program folder elsewhere; nativeDir need not end in '/'.
void SetProgramFolder(const std::string& nativeDir);

// ProgramFolder() + "Data\" + name, and the like.
std::string DataPath(std::string_view name);
std::string ScenarioPath(std::string_view name);
std::string MoviePath(std::string_view name);

// Gives a native folder a CP932 rendering that later resolves back to it, for
// paths that arrive from outside the program (file dialogs); returns the
// rendering, ending in '\'.
std::string RegisterNativeFolder(const std::string& nativeDir);
// A native path (UTF-8, '/') as a CP932 path the program can keep and pass back.
std::string FromNativePath(const std::string& nativePath);

// The native path for a CP932 path. Each element that does not exist as
// written is matched without regard to case against its folder, so a file
// about to be written reuses a case variant that is already there; an element
// that matches nothing is kept as written.
std::string ToNativePath(std::string_view sjisPath);

// File access by CP932 path.
bool FileExistsSjis(std::string_view sjisPath);
bool ReadWholeFile(std::string_view sjisPath, std::vector<uint8_t>& out);
// Reads the start of a regular file into the buffers in turn until they are
// full or the file ends; got receives the bytes read. False when the file
// cannot be opened or read or is not a regular file.
bool ReadFileStart(std::string_view sjisPath, std::span<const std::span<uint8_t>> into, size_t& got);
// Writes a temporary file in the same folder, checks every write and renames it
// over the target, so a failure leaves the old file as it was.
bool WriteFileAtomic(std::string_view sjisPath, std::span<const uint8_t> data);
// Modification time; false when the file cannot be found.
bool FileModTime(std::string_view sjisPath, std::time_t& out);

// The root (CP932, ending in '\') of the game disc: a folder that holds
// relPath ("ZRM\Setup.exe"). Looks in $VELMORATH_DISC, the program folder, then
// mounted media (/media, /run/media/<user>, /mnt). Empty when none.
std::string FindDiscRootWithFile(std::string_view relPath);

}  // namespace platform
