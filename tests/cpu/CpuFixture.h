#pragma once
// A battle document for the computer player's tests: a plain map, country 1
// (computer-run, side 1) current, country 0 (side 0) its enemy.

#include <algorithm>

#include "battle/engine/UnitRules.h"
#include "engine/DocFixture.h"

namespace zrv {

class CpuFixture : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        std::fill(std::begin(doc->m_dwHexCell), std::end(doc->m_dwHexCell),
                  static_cast<MAPCELL>(zrvtest::kFixturePlain));
        doc->SetCurrentCountry(1);
    }
    // A fresh unit of 10 strength in country c's slot at h (serial 100 c + slot).
    UNITSTRUCT& Unit(int c, int slot, HEXINDEX h, int type = zrvtest::kFixtureInfantry)
    {
        UNITSTRUCT& u = doc->m_GameData.Country[c].Unit[slot];
        u = UNITSTRUCT{};
        u.dwFlag = kUnitInUse;
        u.nArms = type;
        u.nHex = h;
        u.nStrength = 10;
        u.nSerial = 100 * c + slot;
        u.refSelf = MakeUnitRef(c, slot);
        u.refTarget = kNoUnit;
        u.dwCargo = MakeCargo(kNoCarrier, 0);
        doc->m_dwHexUnit[h] = u.refSelf;
        return u;
    }
};

}  // namespace zrv
