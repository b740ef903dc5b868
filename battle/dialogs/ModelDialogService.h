#pragma once
// A dialog service that plays the order dialogs' own models, without a
// window, under actions queued as a player would give them: the rows clicked
// and 投棄 of the attack decision, the arrows and 実行 of the merge, the lines
// and buttons of the cargo dialogs. What a dialog does to the records (a
// jettison, the merge's commit, the restore of 中止) happens as in the real
// dialog, so a headless order test sees its effect. A dialog with nothing
// queued answers from the scripted queues; every run is recorded.

#include <deque>
#include <vector>

#include "battle/engine/DialogView.h"
#include "battle/engine/GameDoc.h"
#include "foundation/DialogService.h"

namespace zrv {

class ModelDialogService : public ScriptedDialogService {
public:
    // What the player does. A press of a disabled button does nothing; a run
    // whose actions end with the dialog still open is closed by its close box.
    enum class Act {
        Row,           // attack decision: a click on the row of slot value
        Jettison,      // 投棄
        Fire,          // 攻撃開始
        Left,          // merge: ←
        Right,         // merge: →
        Execute,       // merge: 実行
        Select,        // cargo dialogs: the list line value
        Unload,        // 降車
        CoveringFire,  // 援護射撃
        Launch,        // 発進
        Close,         // 中止, 母艦, 終了 or the close box
    };
    struct Action {
        Act act;
        int value = 0;
    };

    // doc holds the units; view (may be null) gets the sounds, the status
    // strip, the target hexes and the cargo unit.
    explicit ModelDialogService(CZRKGameDoc& doc, DialogView* view = nullptr) : m_doc(doc), m_pView(view) {}

    // The actions of the next run of a dialog of that kind (AttackDecision,
    // Merge, Unload, Launch).
    void QueuePlay(DialogKind kind, std::vector<Action> actions) { m_plays[kind].push_back(std::move(actions)); }

    int AttackDecisionDialog(UNITSTRUCT& unit, UNITSTRUCT& target, unsigned flags, uint32_t& weaponMask) override;
    int MergeDialog(UNITSTRUCT& left, UNITSTRUCT& right) override;
    int UnloadDialog(UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo) override;
    int LaunchDialog(UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo) override;

private:
    // Takes the next queued actions of kind; false when none are queued.
    bool TakePlay(DialogKind kind, std::vector<Action>& actions);

    CZRKGameDoc& m_doc;
    DialogView* m_pView;
    std::map<DialogKind, std::deque<std::vector<Action>>> m_plays;
};

}  // namespace zrv
