#pragma once
// The program's view of the data library: every exported table as a typed span
// with its element count, so that an index taken from a file or a record can
// always be bounded. The loader fills one from the shared library; tests
// install a small fixture of their own.

#include <cstdint>
#include <span>
#include <string>

namespace zrv {

// An entry of the sound and music lists: file name and description.
struct NamePair {
    const char* name;
    const char* description;
};

struct DataLibrary {
    // Message tables (CP932 texts).
    std::span<const char* const> ErrorMessage;
    std::span<const char* const> MsgCommon;

    // Sound effects and music tracks.
    std::span<const NamePair> WaveFileList;
    std::span<const NamePair> CDAudioFileList;

    // Single values.
    const char* g_szUnitVersion = "";
    int g_nMaxUnit = 0;
    int g_nMaxScnr = 0;
};

// The library in use. Before anything is installed this is an empty library:
// every table has no entries.
const DataLibrary& Lib();
// Installs lib (not owned; it must outlive its use). nullptr goes back to empty.
void SetLib(const DataLibrary* lib);

// Entry i of a text table, or "" when i is outside it.
const char* TableText(std::span<const char* const> table, int i);
// ErrorMessage[code]; a code outside the table gets a text that names it, so a
// message is never lost.
std::string ErrorText(int code);

}  // namespace zrv
