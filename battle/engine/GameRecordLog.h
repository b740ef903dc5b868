#pragma once
// The game's text record (.TXT): a plain log of what happened, one line per
// order or event, appended while the text-record option is on. Everything
// that writes a line goes through a sink, so tests collect the CP932 bytes
// instead of writing a file.

#include <string>
#include <string_view>

#include "foundation/GameRecords.h"

namespace zrv {

// Longest line a step writes (longer texts are cut at a character boundary).
inline constexpr size_t kRecordLineMax = 511;

class GameRecordSink {
public:
    virtual ~GameRecordSink() = default;
    // Appends CP932 text; false when it could not be written.
    virtual bool AppendGameRecord(std::string_view textSjis) = 0;
};

// The record file beside the map: the data folder's file named like the
// state's map file, with the extension ".TXT". The name is read at each
// append, so a game loaded later writes to its own record.
class FileGameRecordSink final : public GameRecordSink {
public:
    explicit FileGameRecordSink(const GAMEDATASTRUCT& game) : m_game(game) {}
    bool AppendGameRecord(std::string_view textSjis) override;
    std::string RecordPath() const;

private:
    const GAMEDATASTRUCT& m_game;
};

// Keeps every text, for tests.
class CollectingRecordSink final : public GameRecordSink {
public:
    bool AppendGameRecord(std::string_view textSjis) override
    {
        text.append(textSjis);
        return true;
    }
    std::string text;
};

}  // namespace zrv
