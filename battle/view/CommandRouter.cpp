#include "battle/view/CommandRouter.h"

namespace zrv {

void CommandRouter::Add(int id, CommandHandler handler)
{
    m_handlers[id] = std::move(handler);
}

void CommandRouter::Remove(int id)
{
    m_handlers.erase(id);
}

bool CommandRouter::Has(int id) const
{
    return m_handlers.count(id) != 0;
}

CommandState CommandRouter::State(int id) const
{
    auto it = m_handlers.find(id);
    if (it == m_handlers.end()) return {};
    const CommandHandler& h = it->second;
    CommandState s;
    s.enabled = !h.enabled || h.enabled();
    s.checked = h.checked && h.checked();
    return s;
}

bool CommandRouter::Run(int id)
{
    auto it = m_handlers.find(id);
    if (it == m_handlers.end() || !it->second.action) return false;
    // A copy: the action may replace or remove handlers, this one included.
    CommandHandler h = it->second;
    if (h.enabled && !h.enabled()) return false;
    h.action();
    return true;
}

void CommandRouter::AddDocumentCommands(CZRKGameDoc& doc)
{
    CZRKGameDoc* d = &doc;
    for (int id : CZRKGameDoc::CommandIds()) {
        Add(id, {[d, id] { return d->GetCommandState(id).enabled; },
                 [d, id] { return d->GetCommandState(id).checked; }, [d, id] { d->RunCommand(id); }});
    }
}

}  // namespace zrv
