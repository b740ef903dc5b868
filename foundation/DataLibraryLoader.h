#pragma once
// Opens the data library from the program folder, looks up every export by
// name and fills a DataLibrary with typed, counted views of the tables.

#include <string>

#include "foundation/DataLibrary.h"

namespace zrv {

// The library's file in the program folder.
inline constexpr const char* kDataLibraryFile = "libZRVData.so";

// What a program says when the library cannot be loaded. The library's own
// message table is what is missing then, so this text is built in; the
// library's ErrorMessage[16] carries the same words.
inline constexpr const char* kDataLibraryLoadFailure = "データ(ZRVData.DLL)がロードできないので終了します";

class DataLibraryModule {
public:
    DataLibraryModule() = default;
    ~DataLibraryModule();
    DataLibraryModule(const DataLibraryModule&) = delete;
    DataLibraryModule& operator=(const DataLibraryModule&) = delete;

    // Opens nativePath (an absolute path; no search path is ever consulted)
    // and binds every export. False, with a reason in *error, when the file
    // cannot be opened, an export is missing or a count contradicts the
    // library's own limits; nothing is kept then.
    bool Open(const std::string& nativePath, std::string* error);

    bool IsOpen() const { return m_handle != nullptr; }
    const DataLibrary& Tables() const { return m_lib; }

private:
    void Close();

    void* m_handle = nullptr;
    DataLibrary m_lib;
};

// Sight, radar and sonar ranges and single move costs the library may hold.
inline constexpr int kMaxLibrarySensorRange = 127;
inline constexpr int kMaxLibraryMoveCost = 0x7FFF;

// The limits the programs rely on when they index the library's tables with
// its own counts and copy its world-situation values into fixed areas:
// g_nMaxUnit and g_nMaxScnr match their tables, 8 weapon slots per type, at
// most 240 world cities and 64 world nations, non-zero funds biases. False,
// with the first broken limit in *error, for a library that must be refused.
bool CheckLibraryLimits(const DataLibrary& lib, std::string* error = nullptr);

// Opens the library of the program folder and installs it with SetLib; it
// stays loaded until the program exits. Returns false (and installs nothing)
// when it cannot be used; the caller shows its own failure text, since the
// library's messages are what is missing.
bool LoadProgramDataLibrary(std::string* error = nullptr);

}  // namespace zrv
