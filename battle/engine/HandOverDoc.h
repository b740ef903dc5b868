#pragma once
// The battle document's side of the hand-over with the menu program: the
// block the two programs share (seen here as bytes at offsets of
// GAMEMENUSTRUCT, never as a pointer into shared memory) and the starter of
// the menu program. The program installs the real ones; tests put a block on
// the heap and a recording starter in their place.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/HandOver.h"

namespace platform {
class SharedBlock;
}

namespace zrv {

// Whole-record access to the hand-over block.
class HandOverBlock {
public:
    virtual ~HandOverBlock() = default;
    // False when the range lies outside the block or it cannot be reached.
    virtual bool Read(size_t offset, void* out, size_t length) const = 0;
    virtual bool Write(size_t offset, const void* data, size_t length) = 0;

    bool ReadAll(GAMEMENUSTRUCT& out) const { return Read(0, &out, sizeof out); }
    template <typename T>
    bool WriteField(size_t offset, const T& value)
    {
        return Write(offset, &value, sizeof value);
    }
};

// A block in ordinary memory (tests, and the fuzz target of the start command).
class HeapHandOverBlock : public HandOverBlock {
public:
    HeapHandOverBlock();
    bool Read(size_t offset, void* out, size_t length) const override;
    bool Write(size_t offset, const void* data, size_t length) override;
    GAMEMENUSTRUCT& Record() { return *m_record; }

private:
    std::unique_ptr<GAMEMENUSTRUCT> m_record;
};

// The named block the programs share; not owned.
class SharedHandOverBlock : public HandOverBlock {
public:
    explicit SharedHandOverBlock(platform::SharedBlock& block) : m_block(block) {}
    bool Read(size_t offset, void* out, size_t length) const override;
    bool Write(size_t offset, const void* data, size_t length) override;

private:
    platform::SharedBlock& m_block;
};

// Starts another program of the program folder without waiting for it.
class ProgramStarter {
public:
    struct Result {
        bool ok = false;
        std::string reason;  // why it failed (UTF-8), empty on success
    };
    virtual ~ProgramStarter() = default;
    // nativePath: the absolute path of the program.
    virtual Result Start(const std::string& nativePath) = 0;
};

// The starter of the running program: platform::Spawn, with the placement of
// the new window left to the started program.
class SpawnProgramStarter : public ProgramStarter {
public:
    Result Start(const std::string& nativePath) override;
};

// What the document needs for the hand-over: the block, the starter and the
// program folder; and what it remembers of it.
class HandOverLink {
public:
    HandOverLink(HandOverBlock& block, ProgramStarter& starter, std::string programFolderNative);

    HandOverBlock& Block() { return m_block; }
    ProgramStarter& Starter() { return m_starter; }
    // Ends in '/'.
    const std::string& ProgramFolderNative() const { return m_folder; }

    // The movies-from-disc switch of the last start command, for the map view.
    int MovieFromDisc() const { return m_nMovie; }
    void SetMovieFromDisc(int value) { m_nMovie = value; }

    // Set once the menu program has been asked to take over: from then on the
    // game must not move on (an idle step could reach an automatic save) and
    // the program only waits for the menu program's "close".
    bool HandedBack() const { return m_bHandedBack; }
    void SetHandedBack() { m_bHandedBack = true; }
    // The result of the last start of the menu program.
    bool MenuStarted() const { return m_bMenuStarted; }
    void SetMenuStarted(bool started) { m_bMenuStarted = started; }

private:
    HandOverBlock& m_block;
    ProgramStarter& m_starter;
    std::string m_folder;
    int m_nMovie = 0;
    bool m_bHandedBack = false;
    bool m_bMenuStarted = false;
};

// The program file names in the program folder.
inline constexpr const char* kMenuProgram = "ZRVMenu";
inline constexpr const char* kBattleProgram = "ZRVGame";

class CZRKGameDoc;

// Hands the game back to the menu program: the return command with its
// argument (and, for 6, the view's option word) into the block, the command
// word last; sound stopped; the menu program started. A failed start is
// reported and leaves the command in the block, so a later retry or the next
// start of the menu program still finds it.
void HandBackToMenu(CZRKGameDoc& doc, HandOverLink& link, int command, int param);

// The path bytes of a block's szPath up to the first zero, never past its 260
// bytes (a block written by a foreign or damaged program may fill it).
std::string BlockPath(const GAMEMENUSTRUCT& block);

}  // namespace zrv
