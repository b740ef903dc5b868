#pragma once
// One router for every command of the battle program, whichever way it
// comes: the menu bar, the toolbar, the command bars, the keys and the map's
// context menu. Each id has one handler: when it is enabled, whether it shows
// a mark, and what it does. An id without a handler is greyed. The enable
// test runs again before every action, since a key reaches the router
// without a menu being shown first.

#include <functional>
#include <map>

#include "battle/engine/GameDoc.h"

namespace zrv {

struct CommandHandler {
    std::function<bool()> enabled;  // null: always enabled
    std::function<bool()> checked;  // null: no mark
    std::function<void()> action;
};

class CommandRouter {
public:
    // Gives id its handler, replacing one it had.
    void Add(int id, CommandHandler handler);
    void Remove(int id);
    bool Has(int id) const;
    // What a menu item or button shows; without a handler: greyed.
    CommandState State(int id) const;
    // Runs id when it is enabled now; false when it is not (or unknown).
    bool Run(int id);

    // Every command of the document's table, through its own enable test.
    void AddDocumentCommands(CZRKGameDoc& doc);

private:
    std::map<int, CommandHandler> m_handlers;
};

}  // namespace zrv
