#include "battle/dialogs/SpecCardPainter.h"

#include <algorithm>
#include <cstring>

#include "battle/engine/GameDoc.h"
#include "battle/engine/HexGeometry.h"
#include "battle/engine/UnitRules.h"
#include "foundation/DataLibrary.h"
#include "foundation/DrawHelpers.h"
#include "foundation/Utility.h"
#include "platform/core/Format.h"

namespace zrv {
namespace {

std::string Fmt(const char* format, std::initializer_list<platform::FormatArg> args)
{
    return platform::FormatText(format, args);
}

int Len(const char* s)
{
    return static_cast<int>(std::strlen(s));
}

// One row of the tally marks: the ones and tens marks, and the hundreds mark
// whose picture also gives the thousands marks' size.
struct TallyRow {
    int x0, y0, w, h, step, dy;
    int onesX, onesY, tensX, tensY;
    int hundredsAtX, hundredsAtY, hundredsFromX, hundredsFromY, hundredsW, hundredsH;
};
constexpr TallyRow kTallyRows[4] = {
    {335, 55, 16, 8, 19, 9, 417, 394, 436, 394, 508, 55, 189, 393, 21, 18},
    {335, 32, 18, 8, 19, 9, 379, 394, 398, 394, 508, 32, 189, 393, 21, 18},
    {335, 78, 18, 7, 19, 9, 455, 394, 474, 394, 508, 78, 189, 393, 21, 18},
    {381, 101, 8, 8, 16, 9, 493, 394, 509, 394, 527, 101, 0, 411, 21, 18},
};
constexpr int kThousandsFromY = 393;

// The tallies' texts: kind and y.
constexpr int kTallyTextX = 557;
constexpr std::array<std::array<int, 2>, 4> kTallyTexts{{{1, 35}, {0, 58}, {2, 82}, {3, 104}}};

// Capacities of carry classes 0..6.
constexpr std::array<std::array<int, 2>, 7> kCapacityAt{
    {{551, 223}, {371, 223}, {431, 207}, {431, 223}, {491, 207}, {491, 223}, {551, 207}}};

// Ability icons: type flag bit, source x, width, destination x.
constexpr std::array<std::array<int, 4>, 3> kAbilityIcons{{{8, 189, 60, 387}, {9, 249, 50, 452}, {10, 299, 60, 507}}};
constexpr int kAbilityFromY = 413, kAbilityH = 16, kAbilityAtY = 244;

constexpr int kBarFromX = 378, kBarFromY = 402, kBarAtX = 67, kBarAtY = 107, kBarH = 10, kBarFull = 100;

constexpr int kCargoFirstY = 138, kCargoStep = 16, kCargoNameX = 395, kCargoStrengthX = 548;

}  // namespace

std::vector<CardCopy> TallyMarkCopies(int kind, int n)
{
    std::vector<CardCopy> out;
    if (kind < 0 || kind > 3 || n <= 0) return out;
    const TallyRow& r = kTallyRows[kind];
    for (int i = 0; i < n % 10; ++i) out.push_back({r.x0 + i * r.step, r.y0 + r.dy, r.w, r.h, r.onesX, r.onesY, 0});
    for (int i = 0; i < (n % 100) / 10; ++i) out.push_back({r.x0 + i * r.step, r.y0, r.w, r.h, r.tensX, r.tensY, 0});
    if (const int k = (n % 1000) / 100; k > 0)
        out.push_back({r.hundredsAtX, r.hundredsAtY, r.hundredsW, r.hundredsH, r.hundredsFromX + (k - 1) * r.hundredsW,
                       r.hundredsFromY, 0});
    // A 16-bit tally reaches 65 thousands; the picture has nine marks, and a
    // tenth would read the hundreds marks beside them.
    if (const int t = std::min(n / 1000, kTallyThousandsMarks); t > 0)
        out.push_back({r.hundredsAtX + r.hundredsW, r.hundredsAtY, r.hundredsW, r.hundredsH, (t - 1) * r.hundredsW,
                       kThousandsFromY, 0});
    return out;
}

std::string SpecWindowCaption(const UNITSTRUCT* unit, const COUNTRYSTRUCT* country)
{
    const DataLibrary& lib = Lib();
    if (unit == nullptr || country == nullptr) return TableText(lib.MsgSpecWord, 0);
    const ARMSSTRUCT* a = ArmsRecord(unit->nArms);
    std::string serial;
    FormatFullWidthNumber(unit->nSerial & 0xFFFF, serial);
    const char* cls = a != nullptr ? TableText(lib.MsgUnitTypeJ, a->nClass) : "";
    const char* notCounted = a != nullptr && !CountedInPieces(*a) ? TableText(lib.MsgSpecWord, 2) : "";
    return platform::FormatText(TableText(lib.MsgSpecWord, 1), {FieldText(country->szName), serial, cls, notCounted});
}

SpecCardLayout LayoutSpecCard(const SpecCardInput& in)
{
    SpecCardLayout out;
    const ARMSSTRUCT* a = ArmsRecord(in.armsType);
    if (a == nullptr) return out;
    const DataLibrary& lib = Lib();

    UNITSTRUCT temp{};
    const UNITSTRUCT* r = in.unit;
    if (r == nullptr) {
        uint32_t value = 0;
        if (in.country != nullptr)
            value = in.game != nullptr ? in.game->dwDateTime : 0;
        else if (in.current != nullptr && in.armsType < kArmsCount)
            value = in.current->dwArmsAvail[static_cast<size_t>(in.armsType)] & 0x00FFFFFFu;
        InitUnitRecord(in.country, temp, -1, kNoHex, in.armsType, value, in.game, {});
        r = &temp;
    }
    CardTexts& t = out.texts;

    out.flagCountry = RefCountry(r->refSelf);
    out.flagId = in.country == nullptr ? a->nNation : -1;

    t.push_back({82, 25, TableText(lib.UnitName, in.armsType)});
    t.push_back({82, 38, TableText(lib.UnitNameJ, in.armsType)});
    const char* cls = TableText(lib.MsgUnitType, a->nClass);
    t.push_back({271 + 6 * (4 - Len(cls)), 65, cls});
    t.push_back({169, 65, TableText(lib.MsgUnitTypeJ, a->nClass)});
    const char* label = TableText(lib.MsgSpecWord, CountedInPieces(*a) ? 3 : 4);
    t.push_back({32 + 6 * (6 - Len(label)) / 2, 106, label});

    // The full-strength case is its own so that a full unit always shows the
    // whole bar; a type without a full strength shows none.
    if (a->nStrengthMax > 0)
        out.strengthBar = r->nStrength == a->nStrengthMax
                              ? kBarFull
                              : std::clamp(r->nStrength * 100 / a->nStrengthMax, 0, kBarFull);
    if (out.strengthBar > 0)
        out.copies.push_back({kBarAtX, kBarAtY, out.strengthBar, kBarH, kBarFromX, kBarFromY, -1});
    t.push_back({102, 105, Fmt("%2d/%2d", {r->nStrength, a->nStrengthMax}), kCardWhite});
    out.experience = r->nExp;
    t.push_back({260, 106, Fmt("%3d", {r->nExp}), kCardWhite});
    const uint32_t born = r->dwBirthDate;
    t.push_back({533, 15, Fmt("%2d.%2d.%2d", {int((born >> 16) & 0xFF), int((born >> 8) & 0xFF), int(born & 0xFF)})});

    for (const auto& [kind, y] : kTallyTexts) t.push_back({kTallyTextX, y, Fmt("%4d", {GetUnitTally(in.unit, kind)})});
    if (in.unit != nullptr)
        for (int kind = 0; kind < 4; ++kind) {
            std::vector<CardCopy> marks = TallyMarkCopies(kind, GetUnitTally(in.unit, kind));
            out.copies.insert(out.copies.end(), marks.begin(), marks.end());
        }

    const char* move = TableText(lib.MsgMoveTypeJ, a->nMoveType);
    t.push_back({54 + 6 * (16 - Len(move)) / 2, 153, move});
    t.push_back({99, 174, Fmt("%3d/%3d", {std::min(r->nMove, r->nFuel), a->nMovePoint})});
    t.push_back({99, 188, Fmt("%3d/%3d", {r->nFuel, a->nFuelMax})});
    t.push_back({99, 202, a->wBattery != 0 ? Fmt("%3d/%3d", {r->nBattery, int(a->wBattery)}) : "  -/  -"});
    t.push_back({228, 136, TableText(lib.MsgDefTypeJ, a->nDomain)});
    t.push_back({233, 158, Fmt("%2d", {a->nDefenceAir})});
    t.push_back({233, 172, Fmt("%2d", {a->nDefenceSurface})});
    t.push_back({233, 217, Fmt("%2d", {a->nSight})});
    t.push_back({233, 231, a->wRadar != 0 ? Fmt("%2d", {int(a->wRadar)}) : " -"});
    t.push_back({233, 245, a->wSonar != 0 ? Fmt("%2d", {int(a->wSonar)}) : " -"});
    if (r->dwFlag & kUnitInWater) {
        t.push_back({105, 223, lib.SpecDiveNow != nullptr ? lib.SpecDiveNow : ""});
    } else if (IsAirDomainArms(*a)) {
        t.push_back({105, 223, Fmt("%5d", {a->nHeight})});
    } else if (const TRRNSTRUCT* ground = TerrainRecord(CellTerrain(r->dwHexCell))) {
        t.push_back({105, 223, Fmt("%5d", {ground->nHeight})});
    }
    t.push_back({117, 245, a->nWeight < 255 ? Fmt("%3d", {a->nWeight}) : "---"});
    t.push_back({327, 180, TableText(lib.MsgCarryTypeJ, a->nCarryClass + 1)});
    const std::array<int, kCarryClasses> room = GetCarrierCapacity(in.armsType, in.unit);
    for (size_t c = 0; c < room.size(); ++c) t.push_back({kCapacityAt[c][0], kCapacityAt[c][1], Fmt("%2d", {room[c]})});

    // Cargo: the units of the carrier's own country that ride in its slot.
    const int own = RefCountry(r->refSelf);
    if (CargoCount(r->dwCargo) != 0 && in.game != nullptr && own >= 0 && own < kCountryCount) {
        const bool hidden =
            in.country != nullptr && in.current != nullptr && in.country->nSide == (in.current->nSide ^ 1);
        const int slot = RefSlot(r->refSelf);
        int y = kCargoFirstY;
        for (const UNITSTRUCT& u : in.game->Country[own].Unit) {
            if ((u.dwFlag & kUnitInUse) == 0 || (u.dwFlag & kUnitCarried) == 0 || CargoCarrier(u.dwCargo) != slot)
                continue;
            t.push_back({kCargoNameX, y, hidden ? "?" : TableText(lib.UnitNameJ, u.nArms)});
            t.push_back({kCargoStrengthX, y, hidden ? "?" : Fmt("%2d", {u.nStrength})});
            y += kCargoStep;
            ++out.cargoLines;
        }
    }

    for (const auto& [bit, fromX, w, atX] : kAbilityIcons)
        if (a->dwArmsFlag & (1u << bit)) out.copies.push_back({atX, kAbilityAtY, w, kAbilityH, fromX, kAbilityFromY, -1});
    return out;
}

bool DrawSpecCard(const SpecCardInput& in, CDib* card, const SpecCardPictures& pictures, const platform::Font* font)
{
    if (card == nullptr || card->GetBits() == nullptr || pictures.spec == nullptr) return false;
    CDib* spec = pictures.spec;
    spec->CopyRect(card, kSpecBackX, kSpecBackY, kSpecBackW, kSpecBackH, 0, kSpecBackFromY, -1);
    const SpecCardLayout layout = LayoutSpecCard(in);
    if (pictures.unitPicture && ArmsRecord(in.armsType) != nullptr)
        pictures.unitPicture(*card, kSpecUnitPicture.left, kSpecUnitPicture.top, in.armsType, in.side);
    if (pictures.flagMark && ArmsRecord(in.armsType) != nullptr)
        pictures.flagMark(*card, 55, 30, layout.flagCountry, layout.flagId);
    if (ArmsRecord(in.armsType) != nullptr) DrawGaugeBar(card, layout.experience, 219, 116);
    for (const CardCopy& c : layout.copies) spec->CopyRect(card, c.dx, c.dy, c.w, c.h, c.sx, c.sy, c.key);
    DrawCardTexts(*card, font, layout.texts);
    return true;
}

}  // namespace zrv
