#pragma once
// The turn and phase machine. It has no thread and no timer: the program's
// idle hook (or a test loop) calls RunIdlePass, which runs at most one step
// of the state kept in GAMEDATASTRUCT::nFlowState and names the state of the
// next pass. While a human gives orders or the map waits for a click a pass
// does nothing, and the program just handles its messages.
//
// The machine keeps the application's copy of the state: the document writes
// it through its mirror on every change, so both copies are always equal.

#include <cstdint>
#include <functional>

namespace zrv {

class CZRKGameDoc;

class TurnMachine {
public:
    TurnMachine() = default;
    ~TurnMachine();
    TurnMachine(const TurnMachine&) = delete;
    TurnMachine& operator=(const TurnMachine&) = delete;

    // The battle the machine runs (null: none). It takes the document's state
    // and becomes its mirror, keeping the copy in flowState when given (the
    // application object's member) or in a member of its own. A document must
    // not go away while the machine still runs it: detach it first
    // (SetDocument(nullptr)).
    void SetDocument(CZRKGameDoc* doc, int32_t* flowState = nullptr);
    // What asks the main window to close once no step is running; without
    // one, a close request waits.
    void SetCloseHandler(std::function<void()> close) { m_close = std::move(close); }

    // One idle pass. True when the machine wants another pass at once (the
    // idle hook then asks the framework for more idle time); false when it
    // waits for the player, has no battle, or is already running further up
    // the stack (a modal dialog or a wait inside a step also sends idle).
    bool RunIdlePass();

    // The application's copy of the state (0 until a game is built or loaded).
    int FlowState() const { return *m_pFlowState; }

private:
    bool RunStep();
    void SetState(int state);

    CZRKGameDoc* m_pDoc = nullptr;
    int32_t m_nOwnFlowState = 0;
    int32_t* m_pFlowState = &m_nOwnFlowState;
    bool m_bRunning = false;
    std::function<void()> m_close;
};

}  // namespace zrv
