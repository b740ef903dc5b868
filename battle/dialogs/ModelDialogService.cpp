#include "battle/dialogs/ModelDialogService.h"

#include "battle/dialogs/AttackDecisionModel.h"
#include "battle/dialogs/CargoModels.h"
#include "battle/dialogs/MergeModel.h"

namespace zrv {

bool ModelDialogService::TakePlay(DialogKind kind, std::vector<Action>& actions)
{
    auto it = m_plays.find(kind);
    if (it == m_plays.end() || it->second.empty()) return false;
    actions = std::move(it->second.front());
    it->second.pop_front();
    return true;
}

int ModelDialogService::AttackDecisionDialog(UNITSTRUCT& unit, UNITSTRUCT& target, unsigned flags,
                                             uint32_t& weaponMask)
{
    std::vector<Action> actions;
    if (!TakePlay(DialogKind::AttackDecision, actions))
        return ScriptedDialogService::AttackDecisionDialog(unit, target, flags, weaponMask);
    AttackDecisionModel model(m_doc, unit, target, flags);
    int result = kAnswerCancel;
    for (const Action& a : actions) {
        if (a.act == Act::Row) {
            model.ClickAt(AttackDecisionModel::kFirstRowY / 2,
                          AttackDecisionModel::kFirstRowY + AttackDecisionModel::kRowH * a.value + 1);
        } else if (a.act == Act::Jettison) {
            model.Jettison();
        } else if (a.act == Act::Fire && model.FireEnabled()) {
            result = kAnswerOk;
            break;
        } else if (a.act == Act::Close) {
            break;
        }
    }
    if (result == kAnswerOk)
        weaponMask = model.Mask();
    else
        model.Cancel();
    Asked asked{DialogKind::AttackDecision, {}, {}, {}};
    asked.unit = &unit;
    asked.other = &target;
    asked.flags = flags;
    asked.value = static_cast<int>(result == kAnswerOk ? model.Mask() : 0);
    asked.result = result;
    Record(std::move(asked));
    return result;
}

int ModelDialogService::MergeDialog(UNITSTRUCT& left, UNITSTRUCT& right)
{
    std::vector<Action> actions;
    if (!TakePlay(DialogKind::Merge, actions)) return ScriptedDialogService::MergeDialog(left, right);
    MergeModel model(m_doc, left, right, m_pView);
    int result = kAnswerCancel;
    for (const Action& a : actions) {
        if (a.act == Act::Left) {
            model.MoveLeft();
        } else if (a.act == Act::Right) {
            model.MoveRight();
        } else if (a.act == Act::Execute && model.ExecuteEnabled()) {
            model.Execute();
            result = kAnswerOk;
            break;
        } else if (a.act == Act::Close) {
            break;
        }
    }
    Asked asked{DialogKind::Merge, {}, {}, {}};
    asked.unit = &left;
    asked.other = &right;
    asked.value = model.Amount();
    asked.result = result;
    Record(std::move(asked));
    return result;
}

int ModelDialogService::UnloadDialog(UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo)
{
    std::vector<Action> actions;
    if (!TakePlay(DialogKind::Unload, actions)) return ScriptedDialogService::UnloadDialog(carrier, cargo);
    UnloadModel model(m_doc, carrier, cargo, m_pView);
    int result = kUnloadCancel;
    for (const Action& a : actions) {
        if (a.act == Act::Select) {
            model.Select(a.value);
        } else if (a.act == Act::Unload && model.UnloadEnabled()) {
            // 0: the unit would leave no room (the message was shown); the
            // dialog stays open.
            if (const int r = model.Unload(); r > 0) {
                result = r;
                break;
            }
        } else if (a.act == Act::CoveringFire && model.CoveringFireEnabled()) {
            result = model.CoveringFire();
            break;
        } else if (a.act == Act::Close) {
            break;
        }
    }
    Asked asked{DialogKind::Unload, {}, {}, {}};
    asked.unit = &carrier;
    asked.cargo.assign(cargo.begin(), cargo.end());
    asked.list = model.LineCargo();
    asked.result = result;
    Record(std::move(asked));
    return result;
}

int ModelDialogService::LaunchDialog(UNITSTRUCT& carrier, std::span<UNITSTRUCT* const> cargo)
{
    std::vector<Action> actions;
    if (!TakePlay(DialogKind::Launch, actions)) return ScriptedDialogService::LaunchDialog(carrier, cargo);
    LaunchModel model(m_doc, carrier, cargo, m_pView);
    int result = kLaunchCarrier;
    for (const Action& a : actions) {
        if (a.act == Act::Select) {
            model.Select(a.value);
        } else if (a.act == Act::Launch && model.LaunchEnabled()) {
            result = model.Launch();
            break;
        } else if (a.act == Act::Close) {
            break;
        }
    }
    Asked asked{DialogKind::Launch, {}, {}, {}};
    asked.unit = &carrier;
    asked.cargo.assign(cargo.begin(), cargo.end());
    asked.list = model.LineCargo();
    asked.result = result;
    Record(std::move(asked));
    return result;
}

}  // namespace zrv
