// The order dialogs' calls on the scripted service: with nothing queued each
// answers as its cancel does; a queued reply gives its result and its value,
// runs its effect first, and every run is recorded with what it was given.
#include <gtest/gtest.h>

#include <functional>

#include "foundation/DialogService.h"

namespace {

using zrv::ScriptedDialogService;
using Kind = ScriptedDialogService::DialogKind;

struct Call {
    const char* name;
    Kind kind;
    int cancel;
    std::function<int(zrv::DialogService&)> run;
};

zrv::UNITSTRUCT g_a{}, g_b{};
zrv::UNITSTRUCT* g_cargo[2] = {&g_a, &g_b};
const int g_candidates[] = {12, 13, -1};

std::vector<Call> Calls()
{
    int out = 0;
    uint32_t mask = 0;
    return {
        {"attack", Kind::AttackDecision, zrv::kAnswerCancel,
         [mask](zrv::DialogService& s) mutable {
             return s.AttackDecisionDialog(g_a, g_b, zrv::kAttackOwn, mask);
         }},
        {"merge", Kind::Merge, zrv::kAnswerCancel, [](zrv::DialogService& s) { return s.MergeDialog(g_a, g_b); }},
        {"unload", Kind::Unload, zrv::kUnloadCancel,
         [](zrv::DialogService& s) { return s.UnloadDialog(g_a, g_cargo); }},
        {"launch", Kind::Launch, zrv::kLaunchCarrier,
         [](zrv::DialogService& s) { return s.LaunchDialog(g_a, g_cargo); }},
        {"march", Kind::March, zrv::kMarchClosed, [](zrv::DialogService& s) { return s.MarchDialog(g_a, true); }},
        {"route", Kind::RouteBuild, 0, [](zrv::DialogService& s) { return s.RouteBuildDialog(g_a, 300, 5, 1); }},
        {"durability", Kind::Durability, 0, [](zrv::DialogService& s) { return s.DurabilityDialog(g_a, 4); }},
        {"evolution", Kind::EvolutionTable, zrv::kAnswerCancel,
         [out](zrv::DialogService& s) mutable { return s.EvolutionTableDialog(3, &g_a, -1, true, out); }},
        {"arms", Kind::Arms, zrv::kAnswerCancel,
         [out](zrv::DialogService& s) mutable { return s.ArmsDialog(g_a, 500, out); }},
        {"improve", Kind::Improve, zrv::kAnswerCancel,
         [out](zrv::DialogService& s) mutable { return s.ImproveSheet(g_candidates, g_a, 2, out); }},
        {"force table", Kind::ForceTable, zrv::kAnswerCancel, [](zrv::DialogService& s) { return s.ForceTableDialog(); }},
        {"weapon table", Kind::WeaponTable, zrv::kAnswerCancel,
         [](zrv::DialogService& s) { return s.WeaponTableDialog(); }},
        {"bgm", Kind::BgmSettings, zrv::kAnswerCancel, [](zrv::DialogService& s) { return s.BgmSettingsDialog(); }},
    };
}

TEST(OrderDialogCalls, NobodyToAnswerMeansEachDialogsCancel)
{
    struct Plain : zrv::DialogService {
        int MessageBox(std::string_view, unsigned) override { return zrv::kAnswerOk; }
    } plain;
    ScriptedDialogService scripted;
    for (const Call& c : Calls()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.run(plain), c.cancel);
        EXPECT_EQ(c.run(scripted), c.cancel);
        ASSERT_FALSE(scripted.AskedDialogs().empty());
        EXPECT_EQ(scripted.AskedDialogs().back().kind, c.kind);
        EXPECT_EQ(scripted.AskedDialogs().back().result, c.cancel);
    }
}

TEST(OrderDialogCalls, QueuedRepliesAnswerInOrderWithTheirValues)
{
    ScriptedDialogService s;
    int effects = 0;
    s.QueueReply(Kind::AttackDecision, {zrv::kAnswerOk, 0x6u, 0, [&] { ++effects; }});
    s.QueueReply(Kind::AttackDecision, {zrv::kAnswerCancel, 0xFFu});
    s.QueueReply(Kind::Unload, {3});
    s.QueueReply(Kind::EvolutionTable, {zrv::kAnswerOk, 0, 42});

    uint32_t mask = 0;
    EXPECT_EQ(s.AttackDecisionDialog(g_a, g_b, zrv::kAttackOwn | zrv::kAttackMovedFirst, mask), zrv::kAnswerOk);
    EXPECT_EQ(mask, 0x6u);
    EXPECT_EQ(effects, 1);
    EXPECT_EQ(s.AttackDecisionDialog(g_a, g_b, zrv::kAttackCounterFire, mask), zrv::kAnswerCancel);
    EXPECT_EQ(mask, 0x6u) << "a cancelled decision leaves the caller's mask alone";
    EXPECT_EQ(s.UnloadDialog(g_a, g_cargo), 3);
    int chosen = -1;
    EXPECT_EQ(s.EvolutionTableDialog(7, nullptr, 1, true, chosen), zrv::kAnswerOk);
    EXPECT_EQ(chosen, 42);

    const auto& asked = s.AskedDialogs();
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0].unit, &g_a);
    EXPECT_EQ(asked[0].other, &g_b);
    EXPECT_EQ(asked[0].flags, zrv::kAttackOwn | zrv::kAttackMovedFirst);
    EXPECT_EQ(asked[1].flags, zrv::kAttackCounterFire);
    EXPECT_EQ(asked[2].cargo, (std::vector<zrv::UNITSTRUCT*>{&g_a, &g_b}));
    EXPECT_EQ(asked[2].result, 3);
    EXPECT_EQ(asked[3].armsType, 7);
}

}  // namespace
