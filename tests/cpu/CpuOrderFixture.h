#pragma once
// The computer player's routines on the plain fixture map: country 1's
// orders go through the executor to a recording view whose move puts the
// unit on its next hex; its capital stands at (20, 20).

#include <algorithm>
#include <memory>

#include "battle/cpu/CpuActionExecutor.h"
#include "battle/cpu/CpuMoves.h"
#include "battle/cpu/CpuPlayer.h"
#include "cpu/CpuFixture.h"
#include "cpu/RecordingOrderView.h"

namespace zrv {

class CpuOrderFixture : public CpuFixture {
protected:
    void SetUp() override
    {
        CpuFixture::SetUp();
        executor = std::make_unique<CpuActionExecutor>(*doc, view);
        executor->SetMoveToward([this](UNITSTRUCT& u, HEXINDEX t, const CpuMoveFlags& f) {
            return CpuMoveUnitToward(*doc, cpu.State(), u, t, f);
        });
        doc->SetOrderExecutor(executor.get());
        view.onCpuMove = [this](UNITSTRUCT& u) { MoveTo(u, u.nCpuTarget); };
        COUNTRYSTRUCT& c = doc->m_GameData.Country[1];
        c.nCapital = MakeHex(20, 20);
        c.nUnitMax = 64;
    }
    void TearDown() override
    {
        doc->SetOrderExecutor(nullptr);
        CpuFixture::TearDown();
    }
    // Country 1's unit of 6 movement points and 50 fuel.
    UNITSTRUCT& Own(int slot, HEXINDEX h, int strength = 10, int type = zrvtest::kFixtureInfantry)
    {
        UNITSTRUCT& u = Unit(1, slot, h, type);
        u.nMove = 6;
        u.nFuel = 50;
        u.nStrength = strength;
        u.dwHexCell = doc->m_dwHexCell[h];
        COUNTRYSTRUCT& c = doc->m_GameData.Country[1];
        c.nUnit = std::max(c.nUnit, slot + 1);
        return u;
    }
    // A city of country 1 (the unit on it sees its new cell).
    void OwnCity(HEXINDEX h)
    {
        doc->m_dwHexCell[h] = WithOwner(WithTerrain(0, zrvtest::kFixtureCity), 1);
        if (UNITSTRUCT* u = doc->GetUnit(doc->m_dwHexUnit[h])) u->dwHexCell = doc->m_dwHexCell[h];
    }
    void MoveTo(UNITSTRUCT& u, HEXINDEX h)
    {
        doc->m_dwHexUnit[u.nHex] = kNoUnit;
        u.nHex = h;
        u.dwHexCell = doc->m_dwHexCell[h];
        doc->m_dwHexUnit[h] = u.refSelf;
    }

    RecordingOrderView view;
    std::unique_ptr<CpuActionExecutor> executor;
    CpuPlayer cpu;
};

}  // namespace zrv
