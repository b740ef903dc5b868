#include "battle/dialogs/PlacementCards.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "battle/engine/UnitCommands.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "foundation/Utility.h"

namespace zrv {
namespace {

// The type's flag bit 1: a type counted in pieces shows a strength of 1.
constexpr uint32_t kArmsPieceCounted = 0x2u;

std::string ThreeDigits(int value)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%3d", value);
    return buf;
}

std::string Amount(int value)
{
    std::string s;
    FormatAmount(s, value, false, false);
    return s;
}

// The six figures both placement cards show of a type: sight, movement
// points and fuel on the left, the two defences and the weight on the right.
void AddTypeFigures(PlacementCardLayout& l, const ARMSSTRUCT& a)
{
    const struct {
        int x, y, value;
    } figures[] = {{83, 33, a.nSight},       {83, 53, a.nMovePoint},       {83, 73, a.nFuelMax},
                   {281, 33, a.nDefenceAir}, {281, 53, a.nDefenceSurface}, {281, 73, a.nWeight}};
    for (const auto& f : figures) l.texts.push_back({f.x, f.y, ThreeDigits(f.value)});
}

}  // namespace

int CentredNameX(const char* name, int left)
{
    const int bytes = name != nullptr ? static_cast<int>(std::strlen(name)) : 0;
    return ((24 - bytes) * 7) / 2 + left;
}

PlacementCardLayout LayoutProductCard(int type, int side)
{
    PlacementCardLayout l;
    const ARMSSTRUCT* a = type >= 0 ? ArmsRecord(type) : nullptr;
    if (a == nullptr) return l;
    const int strength = (a->dwArmsFlag & kArmsPieceCounted) != 0 ? 1 : a->nStrengthMax;
    l.pictures.push_back({138, 40, type, side, strength});
    const char* name = TableText(Lib().UnitNameJ, type);
    l.texts.push_back({CentredNameX(name, 89), 7, name});
    AddTypeFigures(l, *a);
    l.texts.push_back({172, 91, Amount(GetArmsUnitPrice(type))});
    return l;
}

PlacementCardLayout LayoutSetupCard(const UNITSTRUCT* unit, int side)
{
    PlacementCardLayout l;
    const ARMSSTRUCT* a = unit != nullptr ? ArmsRecord(unit->nArms) : nullptr;
    if (a == nullptr) return l;
    l.pictures.push_back({138, 40, unit->nArms, side, unit->nStrength});
    const char* name = TableText(Lib().UnitNameJ, unit->nArms);
    l.texts.push_back({CentredNameX(name, 89), 7, name});
    AddTypeFigures(l, *a);
    l.texts.push_back({181, 91, ThreeDigits(unit->nExp)});
    return l;
}

PlacementCardLayout LayoutImproveCard(int candidate, const UNITSTRUCT& unit, int side)
{
    PlacementCardLayout l;
    if (candidate < 0) return l;
    l.pictures.push_back({76, 25, candidate, side, -1});
    l.pictures.push_back({76, 88, unit.nArms, side, -1});
    const char* name = TableText(Lib().UnitNameJ, candidate);
    l.texts.push_back({CentredNameX(name, 31), 4, name});
    l.texts.push_back({15, 125, TableText(Lib().UnitNameJ, unit.nArms)});
    const ARMSSTRUCT* present = ArmsRecord(unit.nArms);
    l.texts.push_back({169, 125, present != nullptr ? TableText(Lib().MsgUnitType, present->nClass) : ""});
    l.texts.push_back({86, 66, Amount(GetImprovementCost(unit.nArms, candidate))});
    return l;
}

bool PaintPlacementCard(CDib* card, CDib* back, int w, int h, const PlacementCardLayout& layout,
                        const CardPictureDrawer& drawPicture, const platform::Font* font)
{
    if (card == nullptr || back == nullptr) return false;
    platform::Surface8 dst = card->Surface();
    const platform::Surface8 src = back->Surface();
    if (!dst.IsValid() || !src.IsValid()) return false;
    dst.Blit(src, 0, 0, w, h, 0, 0);
    if (drawPicture)
        for (const CardUnitPicture& p : layout.pictures) drawPicture(*card, p);
    DrawCardTexts(*card, font, layout.texts);
    return true;
}

}  // namespace zrv
