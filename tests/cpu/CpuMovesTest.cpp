// The route step and the move toward a hex on the fixture's open plain:
// infantry with 6 movement points pays 2 a hex, so it goes 3 hexes a turn.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "battle/cpu/CpuActionExecutor.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "battle/engine/HexGeometry.h"
#include "cpu/CpuFixture.h"
#include "cpu/RecordingOrderView.h"

namespace zrv {
namespace {

constexpr HEXINDEX kStart = MakeHex(40, 40);

class CpuMovesTest : public CpuFixture {
protected:
    void SetUp() override
    {
        CpuFixture::SetUp();
        executor = std::make_unique<CpuActionExecutor>(*doc, view);
        executor->SetMoveToward([this](UNITSTRUCT& u, HEXINDEX t, const CpuMoveFlags& f) {
            return CpuMoveUnitToward(*doc, cpu.State(), u, t, f);
        });
        doc->SetOrderExecutor(executor.get());
        // The scripted move puts the unit on its next hex.
        view.onCpuMove = [this](UNITSTRUCT& u) { MoveTo(u, u.nCpuTarget); };
        mover = &Walker(1, 0, kStart);
    }
    void TearDown() override
    {
        doc->SetOrderExecutor(nullptr);
        CpuFixture::TearDown();
    }
    UNITSTRUCT& Walker(int c, int slot, HEXINDEX h)
    {
        UNITSTRUCT& u = Unit(c, slot, h);
        u.nMove = 6;
        u.nFuel = 50;
        doc->m_GameData.Country[c].nUnit = slot + 1;
        return u;
    }
    void MoveTo(UNITSTRUCT& u, HEXINDEX h)
    {
        doc->m_dwHexUnit[u.nHex] = kNoUnit;
        u.nHex = h;
        doc->m_dwHexUnit[h] = u.refSelf;
    }
    HEXINDEX Step(HEXINDEX target, CpuMoveFlags flags = {})
    {
        return CpuRouteStep(*doc, cpu.State(), *mover, target, flags).step;
    }

    RecordingOrderView view;
    std::unique_ptr<CpuActionExecutor> executor;
    CpuPlayer cpu;
    UNITSTRUCT* mover = nullptr;
};

TEST_F(CpuMovesTest, TheRouteStepGoesAsFarAsTheTurnAllowsAndNeverStays)
{
    // Ten hexes east: three hexes this turn, on the way.
    const HEXINDEX far = MakeHex(40, 50);
    const HEXINDEX step = Step(far);
    ASSERT_TRUE(IsMapHex(step));
    EXPECT_EQ(GetHexDistance(kStart, step), 3);
    EXPECT_EQ(GetHexDistance(step, far), 7);
    // The route cost is the target's distance at 2 a hex.
    EXPECT_EQ(CpuRouteStep(*doc, cpu.State(), *mover, far, {}).cost, 20);

    // At its target, or with nothing nearer, the unit has no step: never
    // its own hex.
    EXPECT_EQ(Step(kStart), kNoHex);
    // A target next to it: the target itself only when it may be the step;
    // otherwise a hex as near to it as the unit's own.
    const HEXINDEX next = MakeHex(40, 41);
    const HEXINDEX aside = Step(next);
    ASSERT_TRUE(IsMapHex(aside));
    EXPECT_NE(aside, next);
    EXPECT_EQ(GetHexDistance(aside, next), 1);
    CpuMoveFlags include;
    include.bIncludeTarget = true;
    EXPECT_EQ(Step(next, include), next);

    // A hex on the avoid list is not stepped on: the step falls back or
    // goes round it.
    const HEXINDEX avoid[] = {step, -1};
    CpuMoveFlags avoiding;
    avoiding.pAvoid = avoid;
    const HEXINDEX other = Step(far, avoiding);
    ASSERT_TRUE(IsMapHex(other));
    EXPECT_NE(other, step);
    EXPECT_LE(GetHexDistance(kStart, other), 3);
    EXPECT_LT(GetHexDistance(other, far), 10);

    // An own unit on the step's hex: the step falls back along the route.
    Walker(1, 1, step);
    const HEXINDEX back = Step(far);
    ASSERT_TRUE(IsMapHex(back));
    EXPECT_NE(back, step);
    EXPECT_LT(GetHexDistance(kStart, back), 3 + 1);
    doc->m_dwHexUnit[step] = kNoUnit;
    doc->m_GameData.Country[1].Unit[1].dwFlag = 0;

    // Without movement points there is nothing to step to.
    mover->nMove = 0;
    EXPECT_EQ(Step(far), kNoHex);
}

TEST_F(CpuMovesTest, MoveResults)
{
    const HEXINDEX far = MakeHex(40, 50);
    struct Case {
        const char* name;
        CpuMoveFlags flags;
        std::function<void()> setup;
        int result;
        std::string orders;  // the executor's operations after the flash-free move
    };
    CpuMoveFlags plain = kPlainMoveFlags;
    CpuMoveFlags ending;  // the move ends here with argument 0
    CpuMoveFlags adjacent;
    adjacent.bAdjacent = true;
    CpuMoveFlags fuel;
    fuel.bFuel = true;
    fuel.nEnd = 1;
    const HEXINDEX beside = MakeHex(40, 41);
    const Case cases[] = {
        {"a plain move: the caller ends it", plain, nullptr, kCpuMoveMoved, "ExecuteCpuMove()"},
        {"the move ends with its argument", ending, nullptr, kCpuMoveMoved, "ExecuteCpuMove() CompleteUnitMove()"},
        {"could not move", plain, [this] { view.results["ExecuteCpuMove"] = 3; }, kCpuMoveNone, "ExecuteCpuMove()"},
        {"did not leave its hex", plain, [this] { view.onCpuMove = nullptr; }, kCpuMoveNone, "ExecuteCpuMove()"},
        {"refused", plain, [this] { view.results["ExecuteCpuMove"] = -1; }, kCpuMoveFailed, "ExecuteCpuMove()"},
        {"acted in the move", plain,
         [this] {
             view.onCpuMove = [this](UNITSTRUCT& u) {
                 MoveTo(u, u.nCpuTarget);
                 u.dwFlag |= kUnitActed;
             };
         },
         kCpuMoveDone, "ExecuteCpuMove()"},
        {"ended by a carrier: it boards", plain, [this] { view.results["ExecuteCpuMove"] = 5; }, kCpuMoveDone,
         "ExecuteCpuMove() ExecuteLoad"},
        {"held back for fuel", fuel,
         [this] {
             mover->dwSupplyFlag |= kCpuUnitNeedsStock;
             mover->nFuel = 6;
         },
         kCpuMoveHeldForFuel, ""},
        {"short of fuel but the step leaves some", fuel,
         [this] {
             mover->dwSupplyFlag |= kCpuUnitNeedsStock;
             mover->nFuel = 7;
         },
         kCpuMoveMoved, "ExecuteCpuMove()"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        MoveTo(*mover, kStart);
        mover->dwFlag = kUnitInUse;
        mover->dwSupplyFlag = 0;
        mover->nFuel = 50;
        view.results.clear();
        view.onCpuMove = [this](UNITSTRUCT& u) { MoveTo(u, u.nCpuTarget); };
        if (k.setup) k.setup();
        view.calls.clear();
        EXPECT_EQ(CpuMoveUnitToward(*doc, cpu.State(), *mover, far, k.flags), k.result);
        std::string ops;
        for (const std::string& c : view.calls) {
            if (c.rfind("Execute", 0) != 0 && c != "CompleteUnitMove()") continue;
            ops += (ops.empty() ? "" : " ") + (c.rfind("ExecuteLoad", 0) == 0 ? std::string("ExecuteLoad") : c);
        }
        EXPECT_EQ(ops, k.orders);
    }

    // An occupied target next to the unit: with the adjacency option it
    // ends its action where it is.
    MoveTo(*mover, kStart);
    mover->dwFlag = kUnitInUse;
    Walker(0, 0, beside);
    view.calls.clear();
    EXPECT_EQ(CpuMoveUnitToward(*doc, cpu.State(), *mover, beside, adjacent), kCpuMoveDone);
    EXPECT_NE(view.Joined().find("ExecuteEndAction(" + std::to_string(kStart) + ")"), std::string::npos);
    EXPECT_EQ(mover->nHex, kStart);
}

TEST_F(CpuMovesTest, TheMarchStepMovesThroughTheRouteStep)
{
    // The document's move (the march step's) comes to the same move.
    const HEXINDEX far = MakeHex(40, 50);
    EXPECT_EQ(doc->CpuMoveUnitToward(*mover, far), kCpuMoveMoved);
    EXPECT_EQ(GetHexDistance(mover->nHex, far), 7);
}

TEST_F(CpuMovesTest, HeadingCountsStopAtFifteen)
{
    const HEXINDEX h = MakeHex(45, 45);
    doc->m_dwHexCpu[h] = kClaimTaking | 0x1234u;
    for (int i = 0; i < 20; ++i) CpuCountHeadingUnits(*doc, h);
    EXPECT_EQ(CpuHeadingUnits(*doc, h), 15);
    EXPECT_EQ(doc->m_dwHexCpu[h], kClaimTaking | 0x000F0000u | 0x1234u);
}

}  // namespace
}  // namespace zrv
