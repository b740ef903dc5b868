#pragma once
// The fixture library with three more unit types for the orders that need
// droppable or bombing weapons: a fighter of class 33 carrying a drop tank, a
// fighter of class 36 with the same load (its class drops nothing before air
// combat), and bombers of classes 40 and 54 with a bomb load.

#include <vector>

#include "foundation/DataLibrary.h"
#include "support/FixtureLibrary.h"

namespace zrvtest {

enum ArmsFixtureType : int {
    kArmsDropTankFighter = kFixtureTypeCount,  // gun in slot 0, drop tank in slot 1
    kArmsPlainFighter,                         // the same weapons, class 36
    kArmsBomber,                               // bombs in slot 0
    kArmsHeavyBomber,                          // class 54, bombs in slot 0
    kArmsTypeCount,
};

class ArmsFixture {
public:
    ArmsFixture()
    {
        const zrv::DataLibrary& base = FixtureLibrary();
        m_lib = base;
        m_arms.assign(base.ArmsData.begin(), base.ArmsData.end());
        m_weapons.assign(base.WeaponData.begin(), base.WeaponData.end());
        const zrv::ARMSSTRUCT fighter = m_arms[kFixtureFighter];
        const zrv::WEAPONSTRUCT gun = m_weapons[kFixtureFighter * zrv::kWeaponSlots];
        auto add = [&](int no, int cls) {
            zrv::ARMSSTRUCT a = fighter;
            a.nArmsNo = no;
            a.nClass = cls;
            m_arms.push_back(a);
            m_weapons.resize(m_arms.size() * zrv::kWeaponSlots);
            return no;
        };
        auto slot = [&](int type, int s, zrv::WEAPONSTRUCT w, uint32_t flags, int rounds) {
            w.dwWeaponFlag = flags;
            m_weapons[static_cast<size_t>(type * zrv::kWeaponSlots + s)] = w;
            m_arms[static_cast<size_t>(type)].Arm[0].nCount[s] = rounds;
        };
        for (int type : {add(kArmsDropTankFighter, 33), add(kArmsPlainFighter, 36)}) {
            slot(type, 0, gun, 0, 12);
            slot(type, 1, gun, 1u << 4, 1);  // droppable
        }
        add(kArmsBomber, 40);
        slot(kArmsBomber, 0, gun, 1u << 5, 4);  // bombing
        add(kArmsHeavyBomber, 54);
        slot(kArmsHeavyBomber, 0, gun, 1u << 5, 4);
        m_lib.ArmsData = m_arms;
        m_lib.WeaponData = m_weapons;
    }
    ArmsFixture(const ArmsFixture&) = delete;
    ArmsFixture& operator=(const ArmsFixture&) = delete;

    const zrv::DataLibrary& Library() const { return m_lib; }

private:
    std::vector<zrv::ARMSSTRUCT> m_arms;
    std::vector<zrv::WEAPONSTRUCT> m_weapons;
    zrv::DataLibrary m_lib;
};

}  // namespace zrvtest
