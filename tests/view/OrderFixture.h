#pragma once
// A view with two countries of one unit each on a plain map, the first in
// its phase, and a frame that keeps the command bars as the real one does.
#include <gtest/gtest.h>

#include <memory>

#include "battle/engine/UnitRules.h"
#include "view/FrameDoubles.h"
#include "view/ViewFixture.h"

namespace viewtest {

// The view with the effects it plays written down.
class SoundLogView : public zrv::CZRKGameView {
public:
    void PlaySE(int effect) override { effects.push_back(effect); }
    void ReleaseSoundEffects() override { ++releases; }
    std::vector<int> effects;
    int releases = 0;
};

class OrderTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        // The fixture's view again, as one that writes its effects down.
        doc->SetView(nullptr);
        auto logged = std::make_unique<SoundLogView>();
        sounds = logged.get();
        view = std::move(logged);
        view->SetDocument(doc.get());
        doc->SetView(view.get());
        view->SetClientSize(560, 420);
        view->OnInitialUpdate();
        frame = std::make_unique<BarFrame>(*view);
        view->SetFrameSink(frame.get());
        view->SetStatusStrip(&strip);
        GAMEDATASTRUCT& g = doc->m_GameData;
        for (int i = 0; i < 2; ++i) {
            COUNTRYSTRUCT& c = g.Country[i];
            c.dwFlag = kCountryPresent;
            c.nIndex = i;
            c.nSide = i;
            c.nUnitMax = 64;
        }
        doc->SetCurrentCountry(0);
        doc->m_pViewCountry = &g.Country[0];
        view->SetCurrentCountry(0, &g.Country[0]);
        view->m_rcMapHexes = {40, 40, 60, 60};
        own = Place(0, 0, kOwnHex, zrvtest::kFixtureTank);
        enemy = Place(1, 0, kEnemyHex, zrvtest::kFixtureTank);
        view->RebuildUnitDisplayMap();
        view->m_nCmdMode = kModeChooseUnit;
    }
    void TearDown() override
    {
        view->SetFrameSink(nullptr);
        view->SetStatusStrip(nullptr);
        ViewTest::TearDown();
    }

    UNITSTRUCT* Place(int country, int slot, HEXINDEX hex, int type)
    {
        COUNTRYSTRUCT& c = doc->m_GameData.Country[country];
        UNITSTRUCT& u = c.Unit[slot];
        InitUnitRecord(&c, u, slot, hex, type, 0, &doc->m_GameData, doc->m_GameData.CarryUnit);
        u.dwFlag &= ~kUnitActed;
        ++c.nUnit;
        if (IsMapHex(hex)) doc->m_dwHexUnit[hex] = u.refSelf;
        return &u;
    }
    // A unit carried by carrier (both of country 0).
    UNITSTRUCT* Board(int slot, UNITSTRUCT& carrier)
    {
        UNITSTRUCT* u = Place(0, slot, -1, zrvtest::kFixtureInfantry);
        u->dwFlag |= kUnitCarried;
        u->dwCargo = MakeCargo(RefSlot(carrier.refSelf), 0);
        carrier.dwFlag |= kUnitCarries;
        carrier.dwCargo = MakeCargo(kNoCarrier, CargoCount(carrier.dwCargo) + 1);
        return u;
    }

    static constexpr HEXINDEX kOwnHex = MakeHex(50, 50);
    static constexpr HEXINDEX kEnemyHex = MakeHex(50, 54);
    SoundLogView* sounds = nullptr;
    std::unique_ptr<BarFrame> frame;
    RecordingStrip strip;
    UNITSTRUCT* own = nullptr;
    UNITSTRUCT* enemy = nullptr;
};

}  // namespace viewtest
