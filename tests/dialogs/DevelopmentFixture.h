#pragma once
// A fixture library and country for the development dialogs: a one-column
// class with a chain of seven steps and the two-column tank classes 2 and 3.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "foundation/DataLibrary.h"
#include "platform/core/Format.h"
#include "support/FixtureLibrary.h"

namespace devtest {

using namespace zrv;

// Class 1: types 7..13 at steps 1..7. Class 2: 14..16 at steps 1..3;
// class 3: 17..19 at steps 2..4.
inline constexpr int kC1 = 7, kC2 = 14, kC3 = 17, kTypes = 20;

struct EvoLibrary {
    std::deque<std::string> texts;
    std::vector<ARMSSTRUCT> arms;
    std::vector<const char*> names, classes;
    DataLibrary lib;
    EvoLibrary()
    {
        const DataLibrary& base = zrvtest::FixtureLibrary();
        lib = base;
        arms.assign(base.ArmsData.begin(), base.ArmsData.end());
        arms.resize(kTypes, arms[zrvtest::kFixtureTank]);
        auto type = [&](int t, int cls, int step) {
            ARMSSTRUCT& a = arms[static_cast<size_t>(t)];
            a.nClass = cls;
            a.nEvolution = step;
            a.nStrengthMax = 10;
            a.nPrice = 100 * (t - 4);
            a.dwDateFrom = PackDate(40, 1, 1);
        };
        for (int i = 0; i < 7; ++i) type(kC1 + i, 1, i + 1);
        for (int i = 0; i < 3; ++i) type(kC2 + i, 2, i + 1);
        for (int i = 0; i < 3; ++i) type(kC3 + i, 3, i + 2);
        for (int i = 0; i < kTypes; ++i) {
            texts.push_back(platform::FormatText("UNITJ%d", {i}));
            names.push_back(texts.back().c_str());
        }
        for (int i = 0; i < 8; ++i) {
            texts.push_back(platform::FormatText("CLS%d", {i}));
            classes.push_back(texts.back().c_str());
        }
        lib.ArmsData = arms;
        lib.UnitNameJ = names;
        lib.MsgUnitTypeJ = classes;
    }
};

struct Fixture {
    EvoLibrary evo;
    std::unique_ptr<GAMEDATASTRUCT> game = std::make_unique<GAMEDATASTRUCT>();
    Fixture()
    {
        SetLib(&evo.lib);
        game->dwDateTime = PackDate(41, 6, 1);
        COUNTRYSTRUCT& c = Country();
        c.nIndex = 0;
        c.dwFlag = kCountryPresent;
        for (auto& list : c.dwClassList)
            for (auto& e : list) e = 0xFFFFFFFFu;
    }
    ~Fixture() { SetLib(nullptr); }
    COUNTRYSTRUCT& Country() { return game->Country[0]; }
    void SetList(int cls, std::vector<int> entries)
    {
        for (size_t e = 0; e < entries.size(); ++e) Country().dwClassList[cls][e] = static_cast<uint32_t>(entries[e]);
    }
    std::vector<int> ListOf(int cls)
    {
        std::vector<int> out;
        for (uint32_t e : Country().dwClassList[cls]) out.push_back(static_cast<int32_t>(e));
        return out;
    }
};

inline constexpr int kRejected = static_cast<int>(0x80000000u | 9u);

}  // namespace devtest
