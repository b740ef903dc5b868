// The attack decision, merge, unload and launch dialogs without a window, on
// the fixture library's units in a document with no display: what each shows,
// what the player's clicks change and what reaches the records.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "battle/dialogs/AttackDecisionModel.h"
#include "battle/dialogs/CargoModels.h"
#include "battle/dialogs/MergeModel.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "engine/DocFixture.h"
#include "engine/RuleFixture.h"

namespace zrv {
namespace {

using zrvtest::RuleLibrary;

struct RecordingDialogView : DialogView {
    std::vector<int> sounds;
    std::vector<HEXINDEX> targets;
    UNITSTRUCT* cargo = nullptr;
    UNITSTRUCT* status = nullptr;
    void PlayDialogSound(int e) override { sounds.push_back(e); }
    void SetTargetHexes(std::span<const HEXINDEX> h) override { targets.assign(h.begin(), h.end()); }
    void SetCurrentCargoUnit(UNITSTRUCT* u) override { cargo = u; }
    void ShowUnitInStatus(UNITSTRUCT& u) override { status = &u; }
};

class DialogModelTest : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        rules = std::make_unique<RuleLibrary>();
        // The tank: a gun of group 0 and two guns of group 1; slot 3 a
        // group-1 gun with no rounds.
        zrvtest::RuleLibrary& r = *rules;
        WEAPONSTRUCT g0 = RuleLibrary::Gun(20, 8, {0, 8, 12, 2, 0}, {0, 0, 1, 2});
        WEAPONSTRUCT g1 = g0;
        g1.nWeaponNo = 21;
        g1.byGroup = 1;
        WEAPONSTRUCT g2 = g1;
        g2.nWeaponNo = 22;
        r.SetSlot(zrvtest::kFixtureTank, 0, g0, 10);
        r.SetSlot(zrvtest::kFixtureTank, 1, g1, 10);
        r.SetSlot(zrvtest::kFixtureTank, 2, g2, 10);
        r.SetSlot(zrvtest::kFixtureTank, 3, g1, 0);
        r.Refresh();
        SetLib(&r.lib);
        for (int h = 0; h < kHexCount; ++h) doc->m_dwHexCell[h] = WithTerrain(0, zrvtest::kFixturePlain);
        shooter = &Place(0, 0, zrvtest::kFixtureTank, MakeHex(40, 40));
        target = &Place(1, 0, zrvtest::kFixtureTank, MakeHex(40, 42));
        // The viewing country has seen the target's type.
        doc->m_GameData.Country[0].dwArmsAvail[zrvtest::kFixtureTank] |= 1u << 29;
    }
    void TearDown() override
    {
        SetLib(nullptr);
        DocFixture::TearDown();
    }
    UNITSTRUCT& Place(int country, int slot, int type, HEXINDEX hex)
    {
        COUNTRYSTRUCT& c = doc->m_GameData.Country[country];
        UNITSTRUCT& u = c.Unit[slot];
        InitUnitRecord(&c, u, slot, hex, type, 0, &doc->m_GameData, doc->m_GameData.CarryUnit);
        u.dwFlag &= ~kUnitActed;
        if (IsMapHex(hex)) {
            doc->m_dwHexUnit[hex] = u.refSelf;
            u.dwHexCell = doc->m_dwHexCell[hex];
        }
        return u;
    }
    // The tank's weapons numbered 1-4, which have names in the library.
    void NameWeapons()
    {
        for (int s = 0; s < 4; ++s) rules->Weapon(zrvtest::kFixtureTank, s).nWeaponNo = s + 1;
        rules->Refresh();
    }
    int RowY(int slot) const { return AttackDecisionModel::kFirstRowY + AttackDecisionModel::kRowH * slot + 3; }

    std::unique_ptr<RuleLibrary> rules;
    UNITSTRUCT* shooter = nullptr;
    UNITSTRUCT* target = nullptr;
};

TEST_F(DialogModelTest, RowClicksKeepOneGroupAndTheLastRow)
{
    AttackDecisionModel m(*doc, *shooter, *target, kAttackOwn);
    ASSERT_GT(m.Usable()[0], 0);
    ASSERT_GT(m.Usable()[1], 0);
    ASSERT_EQ(m.Usable()[3], 0);
    // Start from group 1 chosen by a click on slot 1.
    m.ClickAt(50, RowY(0));
    const uint32_t start = m.Mask();
    ASSERT_EQ(start, 0x1u) << "a row of another group selects every usable slot of it";
    EXPECT_FALSE(m.ClickAt(50, RowY(0))) << "the only selected row stays";
    EXPECT_EQ(m.Mask(), 0x1u);
    EXPECT_TRUE(m.ClickAt(50, RowY(2)));
    EXPECT_EQ(m.Mask(), 0x6u) << "group 1's usable slots 1 and 2, not the empty slot 3";
    EXPECT_TRUE(m.ClickAt(50, RowY(1)));
    EXPECT_EQ(m.Mask(), 0x4u) << "a selected row of the group toggles off";
    EXPECT_FALSE(m.ClickAt(50, RowY(3))) << "a row with no usable ammunition is ignored";
    EXPECT_FALSE(m.ClickAt(50, AttackDecisionModel::kFirstRowY - 1));
    EXPECT_EQ(m.Mask(), 0x4u);
}

TEST_F(DialogModelTest, HitPercentageRules)
{
    AttackDecisionModel far(*doc, *shooter, *target, kAttackOwn);
    EXPECT_EQ(far.HitText(3), "  0%") << "no usable ammunition shows 0";
    const std::string hit = far.HitText(0);
    ASSERT_FALSE(hit.empty());
    EXPECT_GE(std::atoi(hit.c_str()), 1) << "at least 1";
    // An adjacent target: no hit percentage in any row.
    doc->m_dwHexUnit[target->nHex] = kNoUnit;
    target->nHex = MakeHex(40, 41);
    doc->m_dwHexUnit[target->nHex] = target->refSelf;
    AttackDecisionModel near(*doc, *shooter, *target, kAttackOwn);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(near.HitText(s), "") << s;
    // Accuracy 0: nothing.
    rules->Weapon(zrvtest::kFixtureTank, 0).nAccuracy = 0;
    rules->Refresh();
    AttackDecisionModel blind(*doc, *shooter, *target, kAttackOwn);
    EXPECT_EQ(blind.HitText(0), "");
}

TEST_F(DialogModelTest, TargetKnownByTheSeenBitAndTheFog)
{
    {
        AttackDecisionModel m(*doc, *shooter, *target, kAttackOwn);
        EXPECT_TRUE(m.TargetKnown());
    }
    doc->m_GameData.Country[0].dwFlag |= 1u << 16;  // fog of war
    target->dwFlag |= 1u << 16;                       // hidden from side 0
    {
        AttackDecisionModel m(*doc, *shooter, *target, kAttackOwn);
        EXPECT_FALSE(m.TargetKnown());
    }
    target->dwFlag &= ~(1u << 16);
    doc->m_GameData.Country[0].dwArmsAvail[zrvtest::kFixtureTank] &= ~(1u << 29);
    AttackDecisionModel m(*doc, *shooter, *target, kAttackOwn);
    EXPECT_FALSE(m.TargetKnown());
}

TEST_F(DialogModelTest, JettisonThenCancelRestoresAmmunitionAndMoveCounter)
{
    // Slot 4: droppable stores.
    WEAPONSTRUCT bomb = RuleLibrary::Gun(23, 20, {0, 30, 30, 20, 0}, {0, 0, 0, 2});
    bomb.dwWeaponFlag = 1u << 4;
    bomb.byGroup = 2;
    rules->SetSlot(zrvtest::kFixtureTank, 4, bomb, 4);
    rules->Refresh();
    shooter->nAmmo[4] = 4;
    shooter->nMoved = 3;
    const UNITSTRUCT before = *shooter;

    AttackDecisionModel counter(*doc, *shooter, *target, kAttackCounterFire);
    EXPECT_FALSE(counter.JettisonEnabled()) << "no jettison when answering";

    AttackDecisionModel m(*doc, *shooter, *target, kAttackOwn | kAttackMovedFirst);
    ASSERT_TRUE(m.JettisonEnabled());
    m.Jettison();
    EXPECT_EQ(shooter->nAmmo[4], 0);
    EXPECT_FALSE(m.JettisonEnabled());
    EXPECT_EQ(m.FireEnabled(), m.Mask() != 0);
    m.Cancel();
    EXPECT_EQ(0, std::memcmp(shooter->nAmmo, before.nAmmo, sizeof before.nAmmo));
    EXPECT_EQ(shooter->nMoved, before.nMoved) << "the move counter a jettison raised is restored too";

    // Stores already jettisoned by the order: emptied at opening, back on 中止.
    shooter->dwOrder |= kOrderJettisonPending;
    AttackDecisionModel gone(*doc, *shooter, *target, kAttackOwn);
    EXPECT_EQ(shooter->nAmmo[4], 0);
    EXPECT_FALSE(gone.JettisonEnabled());
    gone.Cancel();
    EXPECT_EQ(shooter->nAmmo[4], 4);
}

TEST_F(DialogModelTest, MergeMovesPointsAndWritesOnlyOnExecute)
{
    UNITSTRUCT& left = Place(0, 1, zrvtest::kFixtureTank, MakeHex(44, 40));
    UNITSTRUCT& right = Place(0, 2, zrvtest::kFixtureTank, MakeHex(44, 41));
    const int full = ArmsRecord(zrvtest::kFixtureTank)->nStrengthMax;
    ASSERT_GE(full, 4);
    left.nStrength = full - 2;
    left.nFuel = 10;
    right.nStrength = 3;
    right.nFuel = 40;
    const UNITSTRUCT leftBefore = left, rightBefore = right;
    RecordingDialogView dv;
    MergeModel m(*doc, left, right, &dv);
    EXPECT_TRUE(m.LeftEnabled());
    EXPECT_TRUE(m.RightEnabled());
    EXPECT_FALSE(m.ExecuteEnabled());
    m.MoveLeft();
    EXPECT_EQ(m.Left().strength, full - 1);
    EXPECT_EQ(m.Left().fuel, (10 * (full - 2) + 40 * 1) / (full - 1)) << "weighted by strength, integer division";
    EXPECT_TRUE(m.ExecuteEnabled());
    m.MoveLeft();
    EXPECT_EQ(m.Left().strength, full);
    EXPECT_FALSE(m.LeftEnabled()) << "the left unit is full";
    EXPECT_TRUE(m.RightEnabled());
    EXPECT_EQ(0, std::memcmp(&left, &leftBefore, sizeof left)) << "nothing reaches the records before 実行";
    EXPECT_EQ(0, std::memcmp(&right, &rightBefore, sizeof right));
    m.MoveRight();
    m.MoveRight();
    EXPECT_EQ(m.Amount(), 0);
    EXPECT_FALSE(m.ExecuteEnabled()) << "back to no change";
    m.MoveLeft();
    m.MoveLeft();
    ASSERT_TRUE(m.Execute());
    EXPECT_EQ(left.nStrength, full);
    EXPECT_EQ(right.nStrength, 1);
    EXPECT_EQ(dv.sounds, (std::vector<int>{38, 38, 37, 37, 38, 38, 39}));
}

TEST_F(DialogModelTest, MergeOfTwoFullUnitsEnablesNothingAndEmptiedDonorLosesItsStores)
{
    UNITSTRUCT& a = Place(0, 1, zrvtest::kFixtureTank, MakeHex(44, 40));
    UNITSTRUCT& b = Place(0, 2, zrvtest::kFixtureTank, MakeHex(44, 41));
    {
        MergeModel m(*doc, a, b, nullptr);
        EXPECT_FALSE(m.LeftEnabled());
        EXPECT_FALSE(m.RightEnabled());
        m.MoveLeft();
        EXPECT_FALSE(m.ExecuteEnabled());
    }
    const int full = a.nStrength;
    a.nStrength = full - 1;
    b.nStrength = 1;
    b.nExp = 100;
    MergeModel m(*doc, a, b, nullptr);
    m.MoveLeft();
    EXPECT_EQ(m.Right().strength, 0);
    EXPECT_EQ(m.Right().fuel, 0);
    EXPECT_EQ(m.Right().exp, 0);
    EXPECT_EQ(m.Right().ammo[0], 0);
    EXPECT_FALSE(m.LeftEnabled());
}

TEST_F(DialogModelTest, LaunchListsAircraftThatMayStillAct)
{
    UNITSTRUCT& ship = Place(0, 1, zrvtest::kFixtureDestroyer, MakeHex(44, 40));
    UNITSTRUCT& plane = Place(0, 2, zrvtest::kFixtureFighter, -1);
    UNITSTRUCT& acted = Place(0, 3, zrvtest::kFixtureFighter, -1);
    UNITSTRUCT& tank = Place(0, 4, zrvtest::kFixtureTank, -1);
    acted.dwFlag |= kUnitActed;
    UNITSTRUCT* cargo[] = {&tank, &acted, &plane};
    RecordingDialogView dv;
    LaunchModel m(*doc, ship, cargo, &dv);
    ASSERT_EQ(m.Lines().size(), 1u);
    EXPECT_EQ(m.LineCargo()[0], 2);
    EXPECT_EQ(m.Lines()[0], CargoLine(plane));
    EXPECT_FALSE(m.LaunchEnabled());
    m.Select(0);
    EXPECT_TRUE(m.LaunchEnabled());
    EXPECT_EQ(dv.status, &plane);
    EXPECT_EQ(m.Launch(), 2);
}

TEST_F(DialogModelTest, UnloadListAndTheRoomLeftBehind)
{
    // Room for two infantry and one tank; the carry space adds one place
    // while it holds more than one piece.
    rules->Arms(zrvtest::kRuleTransport).nCarry[1] = 2;
    rules->Arms(zrvtest::kRuleTransport).nCarry[3] = 1;
    rules->Refresh();
    UNITSTRUCT& ship = Place(0, 1, zrvtest::kRuleTransport, MakeHex(44, 40));
    UNITSTRUCT& tank = Place(0, 2, zrvtest::kFixtureTank, -1);
    std::vector<UNITSTRUCT*> aboard{&tank};
    for (int s = 3; s < 6; ++s) aboard.push_back(&Place(0, s, zrvtest::kFixtureInfantry, -1));
    for (UNITSTRUCT* u : aboard) BoardCarrier(*u, ship);
    UNITSTRUCT* listed[kMaxCargoListed] = {};
    ASSERT_EQ(ListCarriedUnits(doc->m_GameData.Country[0].Unit, ship, listed), 4);
    std::span<UNITSTRUCT* const> cargo(listed, 4);
    const int tankLine = static_cast<int>(std::find(listed, listed + 4, &tank) - listed);
    const int infLine = tankLine == 0 ? 1 : 0;

    RecordingDialogView dv;
    UnloadModel m(*doc, ship, cargo, &dv);
    ASSERT_EQ(m.Lines().size(), 4u) << "every unit can get off onto the free plain";
    EXPECT_EQ(m.LineCargo(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(m.UnloadEnabled());
    EXPECT_FALSE(m.CoveringFireEnabled()) << "no enemy in range";
    EXPECT_FALSE(m.CarrierHasFired());
    EXPECT_EQ(m.Unload(), 0) << "nothing selected";

    // The carry space down to one piece: three infantry left behind would
    // not fit, two infantry and the tank do.
    ship.nAmmo[1] = 1;
    UnloadModel tight(*doc, ship, cargo, &dv);
    tight.Select(tankLine);
    EXPECT_EQ(dv.status, &tank);
    EXPECT_TRUE(tight.UnloadEnabled());
    dialogs.Clear();
    EXPECT_EQ(tight.Unload(), 0) << "the dialog stays open";
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, TableText(Lib().ErrorMessage, UnloadModel::kErrorNoRoom));
    EXPECT_EQ(dv.cargo, nullptr);
    tight.Select(infLine);
    EXPECT_EQ(tight.Unload(), infLine + 1);
    EXPECT_EQ(dv.cargo, listed[infLine]);
    ASSERT_FALSE(dv.targets.empty());
    for (HEXINDEX h : dv.targets) EXPECT_EQ(GetHexDistance(h, ship.nHex), 1);

    // Neighbours all taken: no line; an enemy beside leaves covering fire.
    int slot = 10;
    for (int dir = 0; dir < 6; ++dir) Place(dir == 0 ? 1 : 0, slot++, zrvtest::kFixtureTank, GetNeighbour(ship.nHex, dir));
    ship.dwFlag |= 1u << 3;
    UnloadModel blocked(*doc, ship, cargo, &dv);
    EXPECT_TRUE(blocked.Lines().empty());
    EXPECT_TRUE(blocked.CoveringFireEnabled());
    EXPECT_TRUE(blocked.CarrierHasFired()) << "button 2 reads 終了";
    EXPECT_EQ(blocked.CoveringFire(), kUnloadCoveringFire);
    EXPECT_EQ(dv.targets, (std::vector<HEXINDEX>{GetNeighbour(ship.nHex, 0)}));
}

TEST_F(DialogModelTest, CargoLineFormat)
{
    UNITSTRUCT& u = Place(0, 1, zrvtest::kFixtureTank, MakeHex(44, 40));
    u.nStrength = 7;
    const std::string line = CargoLine(u);
    const std::string name = TableText(Lib().UnitNameJ, u.nArms);
    ASSERT_LE(name.size(), 30u);
    EXPECT_EQ(line, " " + name + std::string(30 - name.size(), ' ') + " 7");
}

// --- the cards' pixels ------------------------------------------------------------------------

// Card colours: every picture index a dull teal, and the text colours each
// at an index of their own, so that a changed pixel tells which colour drew it.
constexpr uint8_t kInkBlack = 0, kInkRed = 240, kInkBlue = 241, kInkWhite = 242, kInkGrey = 243;

std::array<RgbQuad, 256> CardColours()
{
    std::array<RgbQuad, 256> t{};
    for (auto& c : t) c = {128, 128, 0, 0};
    t[kInkBlack] = {0, 0, 0, 0};
    t[kInkRed] = {0, 0, 254, 0};
    t[kInkBlue] = {254, 0, 0, 0};
    t[kInkWhite] = {254, 254, 254, 0};
    t[kInkGrey] = {191, 191, 191, 0};
    return t;
}

// A picture with each rectangle {x, y, w, h} filled with its own index.
struct Part {
    int x, y, w, h;
    uint8_t index;
};
std::unique_ptr<CDib> Generated(int w, int h, std::initializer_list<Part> parts)
{
    auto dib = std::make_unique<CDib>();
    EXPECT_TRUE(dib->Create(w, h, CardColours().data()));
    platform::Surface8 s = dib->Surface();
    for (const Part& p : parts) s.FillRect({p.x, p.y, p.x + p.w, p.y + p.h}, p.index);
    return dib;
}

// "attack2.pxs": background 1, selected band 2, unusable band 3, unusable
// mark 4, damage bar 5, strength bar 6.
std::unique_ptr<CDib> AttackPicture()
{
    return Generated(272, 283, {{0, 0, 272, 241, 1},
                                {0, 241, 244, 16, 2},
                                {0, 257, 244, 16, 3},
                                {244, 241, 16, 16, 4},
                                {0, 273, 100, 10, 5},
                                {100, 273, 100, 10, 6}});
}

// "weapon.pxs": cell k filled with 100 + k, its top-left pixel 0
// (transparent); the droppable mark (cell 37) 90 in its left half only.
std::unique_ptr<CDib> IconPicture()
{
    auto dib = std::make_unique<CDib>();
    EXPECT_TRUE(dib->Create(12, 456, CardColours().data()));
    platform::Surface8 s = dib->Surface();
    for (int k = 0; k < 37; ++k) {
        s.FillRect({0, k * 12, 12, k * 12 + 12}, uint8_t(100 + k));
        s.SetPixel(0, k * 12, 0);
    }
    s.FillRect({0, 444, 6, 456}, 90);
    return dib;
}

// "join2.pxs": background 1, strength bar 5, fuel bar 6, experience bar 7.
std::unique_ptr<CDib> MergePicture()
{
    return Generated(184, 192, {{0, 0, 184, 182, 1}, {0, 182, 50, 10, 5}, {50, 182, 50, 10, 6}, {100, 182, 50, 10, 7}});
}

std::unique_ptr<CDib> Canvas(int w, int h)
{
    auto dib = std::make_unique<CDib>();
    EXPECT_TRUE(dib->Create(w, h, CardColours().data()));
    return dib;
}

// A text expected at (x, y): its width in 6-pixel cells and its colour.
struct TextBox {
    int x, y, cells;
    int ink;  // -1: any
};

// The pixels the text changed (painted with the font against without it)
// lie inside the boxes, each box holds some, in its colour.
void ExpectTexts(const std::function<void(CDib&, const platform::Font*)>& paint, int w, int h,
                 const std::vector<TextBox>& boxes)
{
    std::unique_ptr<platform::Font> font;
    ASSERT_TRUE(CreateGothicFont(&font, 12, 0, nullptr)) << "the gothic face is missing";
    // On a card of index 1, so that black text shows as well.
    auto plain = Canvas(w, h), text = Canvas(w, h);
    plain->ClearBits(1);
    text->ClearBits(1);
    paint(*plain, nullptr);
    paint(*text, font.get());
    std::vector<int> hits(boxes.size(), 0);
    int stray = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int now = text->Surface().GetPixel(x, y);
            if (now == plain->Surface().GetPixel(x, y)) continue;
            bool inside = false;
            for (size_t i = 0; i < boxes.size(); ++i) {
                const TextBox& b = boxes[i];
                if (x < b.x || x >= b.x + 6 * b.cells || y < b.y || y >= b.y + 12) continue;
                inside = true;
                ++hits[i];
                if (b.ink >= 0) EXPECT_EQ(now, b.ink) << "text at (" << b.x << ", " << b.y << ")";
                break;
            }
            stray += !inside;
        }
    }
    EXPECT_EQ(stray, 0) << "pixels changed outside every expected text";
    for (size_t i = 0; i < boxes.size(); ++i)
        EXPECT_GT(hits[i], 0) << "nothing drawn at (" << boxes[i].x << ", " << boxes[i].y << ")";
}

int Cells(const std::string& s)
{
    return static_cast<int>(s.size());
}

TEST_F(DialogModelTest, AttackCardPartsAtTheirPlaces)
{
    rules->Weapon(zrvtest::kFixtureTank, 1).byType = 5;
    rules->Weapon(zrvtest::kFixtureTank, 1).dwWeaponFlag |= 1u << 4;  // droppable
    rules->Refresh();
    const int full = ArmsRecord(zrvtest::kFixtureTank)->nStrengthMax;
    ASSERT_GE(full, 3);
    target->nStrength = full - 1;
    AttackDecisionModel m(*doc, *shooter, *target, kAttackOwn);
    m.ClickAt(50, RowY(0));
    m.ClickAt(50, RowY(1));  // group 1: slots 1 and 2
    ASSERT_EQ(m.Mask(), 0x6u);
    auto back = AttackPicture();
    auto icons = IconPicture();
    auto card = Canvas(280, 280);
    m.Paint(*card, back.get(), icons.get(), nullptr);
    platform::Surface8 s = card->Surface();
    EXPECT_EQ(s.GetPixel(3, 6), 0) << "the background starts at (4, 6)";
    EXPECT_EQ(s.GetPixel(4, 5), 0);
    EXPECT_EQ(s.GetPixel(4, 6), 1);
    EXPECT_EQ(s.GetPixel(275, 246), 1);
    EXPECT_EQ(s.GetPixel(276, 246), 0);
    EXPECT_EQ(s.GetPixel(275, 247), 0);
    // Strength bar from (84, 35), 10 high; the damage bar over it from the same origin.
    const int strength = target->nStrength * 100 / full, damage = m.Damage() * 100 / full;
    ASSERT_GT(strength, 0);
    EXPECT_EQ(s.GetPixel(84 + strength - 1, 44), damage >= strength ? 5 : 6);
    EXPECT_EQ(s.GetPixel(84 + strength, 35), 1);
    EXPECT_EQ(s.GetPixel(84 + strength - 1, 45), 1);
    EXPECT_EQ(s.GetPixel(84 + strength - 1, 34), 1);
    if (damage > 0) {
        EXPECT_EQ(s.GetPixel(84, 35), 5);
        EXPECT_EQ(s.GetPixel(84 + damage - 1, 44), 5);
        if (damage < strength) EXPECT_EQ(s.GetPixel(84 + damage, 44), 6);
    }
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        const int y = 109 + 16 * i;
        const int usable = m.Usable()[static_cast<size_t>(i)];
        const int band = usable == 0 ? 3 : (m.Mask() & (1u << i)) ? 2 : 1;
        EXPECT_EQ(s.GetPixel(27, y), band);
        EXPECT_EQ(s.GetPixel(270, y + 15), band);
        EXPECT_EQ(s.GetPixel(271, y + 15), 1) << "244 wide";
        EXPECT_EQ(s.GetPixel(9, y - 1), usable == 0 ? 4 : 1) << "the unusable mark at (9, y - 1)";
        EXPECT_EQ(s.GetPixel(24, y + 14), usable == 0 ? 4 : 1);
    }
    // Icons at (11, y + 1): the cell of the effect kind shifted by group x 9;
    // the droppable mark's left half over slot 1's; an empty slot has none.
    EXPECT_EQ(s.GetPixel(12, 110), 100 + 8);
    EXPECT_EQ(s.GetPixel(11, 110), 1) << "index 0 of the icon is transparent";
    EXPECT_EQ(s.GetPixel(22, 121), 100 + 8);
    EXPECT_EQ(s.GetPixel(23, 121), 1) << "12 wide";
    EXPECT_EQ(s.GetPixel(12, 126), 90) << "the droppable mark, unshifted";
    EXPECT_EQ(s.GetPixel(20, 126), 100 + 5 + 9);
    EXPECT_EQ(s.GetPixel(20, 142), 100 + 8 + 9);
    EXPECT_EQ(s.GetPixel(15, 109 + 16 * 5 + 5), 4) << "slot 5 holds no weapon: the unusable mark, no icon";
}

TEST_F(DialogModelTest, AttackCardTextsAtTheirPlacesInTheirColours)
{
    NameWeapons();
    doc->m_dwGameOption |= 1u << 8;  // the counter damage is shown
    rules->Weapon(zrvtest::kFixtureTank, 1).dwWeaponFlag |= 1u;  // doubled shots: blue mounts
    rules->Refresh();
    AttackDecisionModel m(*doc, *shooter, *target, kAttackOwn);
    m.ClickAt(50, RowY(0));
    m.ClickAt(50, RowY(1));
    ASSERT_EQ(m.Mask(), 0x6u);
    std::vector<TextBox> boxes{
        {90, 12, Cells(TableText(Lib().UnitNameJ, target->nArms)), kInkBlack},
        {128, 34, 2, kInkWhite},
        {228, 34, 2, kInkRed},
        {70, 58, 3, kInkBlack},
        {167, 58, 2, kInkBlack},
        {236, 58, 2, -1},
    };
    for (int i = 0; i < 4; ++i) {
        const int y = 109 + 16 * i + 2;
        const int ink = m.Usable()[static_cast<size_t>(i)] == 0 ? kInkGrey : (m.Mask() & (1u << i)) ? kInkWhite : kInkBlack;
        const WEAPONSTRUCT* w = UnitWeapon(*shooter, i);
        boxes.push_back({29, y, Cells(TableText(Lib().WeaponName, w->nWeaponNo)), ink});
        boxes.push_back({179, y, 2, i == 1 ? kInkBlue : ink});
        boxes.push_back({203, y, 3, ink});
        boxes.push_back({226, y, 4, ink});
        boxes.push_back({257, y, 2, ink});
    }
    ExpectTexts([&](CDib& c, const platform::Font* f) { m.Paint(c, nullptr, nullptr, f); }, 280, 280, boxes);

    // An unknown target: "？", " ?" and "  ?", no counter damage, no damage bar.
    doc->m_GameData.Country[0].dwArmsAvail[zrvtest::kFixtureTank] &= ~(1u << 29);
    AttackDecisionModel unknown(*doc, *shooter, *target, kAttackOwn);
    ASSERT_FALSE(unknown.TargetKnown());
    ASSERT_NE(unknown.Mask(), 0u);
    std::vector<TextBox> few{{90, 12, 2, kInkBlack}, {128, 34, 2, kInkWhite}, {70, 58, 3, kInkBlack},
                             {167, 58, 2, -1},       {236, 58, 2, -1}};
    for (int i = 0; i < 4; ++i) few.push_back({29, 109 + 16 * i + 2, 40, -1});
    ExpectTexts([&](CDib& c, const platform::Font* f) { unknown.Paint(c, nullptr, nullptr, f); }, 280, 280, few);
    auto back = AttackPicture();
    auto card = Canvas(280, 280);
    unknown.Paint(*card, back.get(), nullptr, nullptr);
    EXPECT_EQ(card->Surface().GetPixel(84, 35), 6) << "the strength bar only";
}

TEST_F(DialogModelTest, MergeCardBarsAndTexts)
{
    NameWeapons();
    UNITSTRUCT& left = Place(0, 1, zrvtest::kFixtureTank, MakeHex(44, 40));
    UNITSTRUCT& right = Place(0, 2, zrvtest::kFixtureTank, MakeHex(44, 41));
    const ARMSSTRUCT& type = *ArmsRecord(zrvtest::kFixtureTank);
    const int full = type.nStrengthMax, fuelFull = type.nFuelMax;
    ASSERT_GE(full, 4);
    ASSERT_GT(fuelFull, 0);
    left.nStrength = full - 2;
    left.nFuel = fuelFull / 2;
    left.nExp = 125;
    right.nStrength = 2;
    right.nExp = 0;
    right.nFuel = fuelFull;
    MergeModel m(*doc, left, right, nullptr);
    auto back = MergePicture();
    auto card = Canvas(192, 245);
    m.Paint(*card, back.get(), nullptr);
    platform::Surface8 s = card->Surface();
    EXPECT_EQ(s.GetPixel(3, 4), 0);
    EXPECT_EQ(s.GetPixel(4, 4), 1);
    EXPECT_EQ(s.GetPixel(187, 185), 1);
    EXPECT_EQ(s.GetPixel(188, 185), 0);
    struct Bar {
        int x, y, width, index;
    };
    const Bar bars[] = {
        {10, 132, (full - 2) * 50 / full, 5}, {10, 151, (fuelFull / 2) * 50 / fuelFull, 6}, {10, 170, 25, 7},
        {132, 132, 2 * 50 / full, 5},         {132, 151, 50, 6},                             {132, 170, 0, 7},
    };
    for (const Bar& b : bars) {
        SCOPED_TRACE(testing::Message() << "bar at (" << b.x << ", " << b.y << ")");
        EXPECT_EQ(s.GetPixel(b.x - 1, b.y), 1);
        if (b.width > 0) {
            EXPECT_EQ(s.GetPixel(b.x, b.y), b.index);
            EXPECT_EQ(s.GetPixel(b.x + b.width - 1, b.y + 9), b.index);
        }
        EXPECT_EQ(s.GetPixel(b.x + b.width, b.y), 1);
        EXPECT_EQ(s.GetPixel(b.x, b.y + 10), 1) << "10 high";
    }

    std::vector<TextBox> boxes;
    for (int i = 0; i < 8; ++i) {
        const WEAPONSTRUCT* w = WeaponRecord(zrvtest::kFixtureTank, i);
        if (w == nullptr || w->nWeaponNo <= 0) continue;
        const std::string name = TableText(Lib().WeaponName, w->nWeaponNo);
        const int y = 9 + 12 * i;
        boxes.push_back({(24 - Cells(name)) * 6 / 2 + 24, y, Cells(name), kInkBlack});
        boxes.push_back({9, y, 2, kInkBlack});
        boxes.push_back({171, y, 2, kInkBlack});
    }
    for (int k = 0; k < 3; ++k) {
        boxes.push_back({67, 131 + 19 * k, 3, kInkBlack});
        boxes.push_back({108, 131 + 19 * k, 3, kInkBlack});
    }
    ExpectTexts([&](CDib& c, const platform::Font* f) { m.Paint(c, nullptr, f); }, 192, 245, boxes);
}

TEST_F(DialogModelTest, CardsWithoutPicturesOrWithZeroFullValuesDrawNoBar)
{
    UNITSTRUCT& left = Place(0, 1, zrvtest::kFixtureTank, MakeHex(44, 40));
    UNITSTRUCT& right = Place(0, 2, zrvtest::kFixtureTank, MakeHex(44, 41));
    left.nStrength = 1;
    rules->Arms(zrvtest::kFixtureTank).nStrengthMax = 0;
    rules->Arms(zrvtest::kFixtureTank).nFuelMax = 0;
    rules->Refresh();
    auto back = MergePicture();
    auto card = Canvas(192, 245);
    MergeModel merge(*doc, left, right, nullptr);
    merge.Paint(*card, back.get(), nullptr);
    for (int x : {10, 132})
        for (int y : {132, 151}) EXPECT_EQ(card->Surface().GetPixel(x, y), 1) << x << ", " << y;
    AttackDecisionModel attack(*doc, *shooter, *target, kAttackOwn);
    auto attackCard = Canvas(280, 280);
    attack.Paint(*attackCard, AttackPicture().get(), nullptr, nullptr);
    EXPECT_EQ(attackCard->Surface().GetPixel(84, 35), 1) << "a full strength of 0: no bar";
    // No pictures at all: the card stays as it was (index 0).
    auto blank = Canvas(280, 280);
    attack.Paint(*blank, nullptr, nullptr, nullptr);
    int touched = 0;
    for (int y = 0; y < 280; ++y)
        for (int x = 0; x < 280; ++x) touched += blank->Surface().GetPixel(x, y) != 0;
    EXPECT_EQ(touched, 0);
}

}  // namespace
}  // namespace zrv
