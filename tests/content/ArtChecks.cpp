#include "ArtChecks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "foundation/DibPal.h"
#include "platform/core/Paths.h"

namespace contenttest {

namespace {

// Picture sizes and cells fixed by the screens that draw them.
constexpr int kHexPicture = 42;        // rows of one terrain or unit picture
constexpr int kCellRows = 42;          // a sprite must stay in the hex below its top corners
constexpr int kFirstRoadPicture = 1;   // overlay 1 + kind × 16 + variant
constexpr int kCoverPicture = 224, kNoEntryPicture = 225, kFallbackPicture = 227;
constexpr int kPierFirst = 796, kPierLast = 813;  // connection mode 9
constexpr int kFlagCount = 42, kFlagRows = 16;    // flags.pxs: 42 flags; the menu assumes 16 rows
constexpr int kMapTerrains = 91;                  // terrain indexes a map may hold
constexpr int kMiniHexRows = 8, kZoneRows = 60;
constexpr int kMoonRows = 50, kMoonNight = 9;
constexpr int kImpactRows = 48;
constexpr int kWeaponIcon = 12, kColourSets = 8;
constexpr int kWorldFlags = 58;  // Eurofla2.PXS flags; an owner of 58 or more draws nothing
constexpr long long kCreditRightStrip = 30;

std::string At(const char* table, size_t i)
{
    return std::string(table) + "[" + std::to_string(i) + "]";
}

// Bounded copy of a fixed text field (it may lack its NUL).
std::string Field(const char* p, size_t n)
{
    return std::string(p, strnlen(p, n));
}

struct Faults {
    std::vector<std::string> list;
    void Add(const std::string& s) { list.push_back(s); }
};

// The rectangle (x, y from the top, w, h) lies inside the picture.
bool Inside(zrv::CDib& d, long long x, long long y, long long w, long long h)
{
    return w > 0 && h > 0 && x >= 0 && y >= 0 && x + w <= d.GetWidth() && y + h <= d.GetHeight();
}

bool AnyDrawn(zrv::CDib& d, int x, int y, int w, int h)
{
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx)
            if (const uint8_t* p = d.GetPixelPtr(xx, yy); p != nullptr && *p != 0) return true;
    return false;
}

// The pictures a terrain of this base and connection mode can show.
std::vector<std::pair<int, int>> TerrainPictureRanges(int base, int mode)
{
    switch (mode) {
    case 0: return {{base, base}};
    case 1: case 2: case 5: case 6: case 8: case 11: return {{base, base + 15}};
    case 3: return {{base, base + 47}};
    case 4: return {{base, base + 23}};
    case 7: case 10: return {{base, base + 71}};
    case 9: return {{base, base + 15}, {kPierFirst, kPierLast}};
    default: return {};
    }
}

void CheckTerrain(const zrv::DataLibrary& lib, ArtFolder& art, Faults& f)
{
    zrv::CDib* upper = art.Picture("terrain.pxs");
    zrv::CDib* store = art.TerrainStore();
    if (upper == nullptr || store == nullptr) {
        f.Add("terrain pictures: \"terrain.pxs\" over \"terrain0.pxs\" do not load");
        return;
    }
    const int upperCount = upper->GetHeight() / kHexPicture;
    const int allCount = store->GetHeight() / kHexPicture;
    if (store->GetWidth() != 56 || upper->GetHeight() % kHexPicture != 0 || store->GetHeight() % kHexPicture != 0)
        f.Add("terrain pictures: not a column of 56 x 42 pictures");
    for (int n : {kCoverPicture, kNoEntryPicture, kFallbackPicture})
        if (n > upperCount) f.Add("terrain picture " + std::to_string(n) + " is not in \"terrain.pxs\"");
    // Route overlays are numbered by kind; they must not reach the ground part,
    // which the frost sets replace.
    if (lib.RoadBase.size() > 5) f.Add("RoadBase has " + std::to_string(lib.RoadBase.size()) + " kinds, overlays exist for 5");
    for (size_t k = 0; k < lib.RoadBase.size(); ++k) {
        const int last = kFirstRoadPicture + int(k) * 16 + 15;
        if (last > upperCount)
            f.Add(At("RoadBase", k) + ": overlay pictures up to " + std::to_string(last) + " are not in \"terrain.pxs\"");
    }
    // Ground pictures lie in the part that "terrain1.pxs".."terrain3.pxs" replace.
    for (size_t t = 0; t < lib.TerrainBase.size(); ++t) {
        const zrv::TRRNSTRUCT& r = lib.TerrainBase[t];
        const auto ranges = TerrainPictureRanges(r.nPicture, r.nConnectMode);
        if (ranges.empty()) {
            f.Add(At("TerrainBase", t) + ".nConnectMode " + std::to_string(r.nConnectMode) + " is no connection mode");
            continue;
        }
        for (auto [first, last] : ranges)
            if (first <= upperCount || last > allCount)
                f.Add(At("TerrainBase", t) + ".nPicture " + std::to_string(r.nPicture) + " (mode " +
                      std::to_string(r.nConnectMode) + ") reaches pictures " + std::to_string(first) + "-" +
                      std::to_string(last) + " outside the ground pictures " + std::to_string(upperCount + 1) + "-" +
                      std::to_string(allCount));
    }
    zrv::CDib* base = art.Picture("terrain0.pxs");
    for (const char* set : {"terrain1.pxs", "terrain2.pxs", "terrain3.pxs"}) {
        zrv::CDib* d = art.Picture(set);
        if (d == nullptr || base == nullptr || d->GetWidth() != base->GetWidth() || d->GetHeight() != base->GetHeight())
            f.Add(std::string("terrain set \"") + set + "\" is missing or differs in size from \"terrain0.pxs\"");
    }
}

void CheckUnits(const zrv::DataLibrary& lib, ArtFolder& art, Faults& f)
{
    zrv::CDib* units = art.Picture("unit2.pxs");
    if (units == nullptr) {
        f.Add("\"unit2.pxs\" does not load");
        return;
    }
    const long long h = units->GetHeight();
    if (units->GetWidth() < 56) f.Add("\"unit2.pxs\" is narrower than 56");
    if (lib.UnitGraphicsOffset.size() < 5) f.Add("UnitGraphicsOffset lacks the five domain sprites");
    for (size_t p = 0; p < lib.UnitGraphicsOffset.size(); ++p) {
        const auto& e = lib.UnitGraphicsOffset[p];
        const long long row = e[0], offset = e[1], height = e[2];
        // row counts from the picture's bottom; the sprite's top is h - row - height from its top.
        const long long top = h - row - height;
        if (!Inside(*units, 0, top, 56, height)) {
            f.Add(At("UnitGraphicsOffset", p) + " (" + std::to_string(row) + ", " + std::to_string(height) +
                  ") lies outside \"unit2.pxs\"");
            continue;
        }
        if (offset < 0 || offset + height > kCellRows)
            f.Add(At("UnitGraphicsOffset", p) + ": offset " + std::to_string(offset) + " and height " +
                  std::to_string(height) + " leave the hex");
        if (top / kHexPicture != (top + height - 1) / kHexPicture)
            f.Add(At("UnitGraphicsOffset", p) + " straddles two pictures of \"unit2.pxs\"");
        if (!AnyDrawn(*units, 0, int(top), 56, int(height)))
            f.Add(At("UnitGraphicsOffset", p) + " shows an empty sprite");
    }
    for (size_t a = 1; a < lib.ArmsData.size(); ++a) {
        const int p = lib.ArmsData[a].nPicture;
        if (p < 5 || size_t(p) >= lib.UnitGraphicsOffset.size())
            f.Add(At("ArmsData", a) + ".nPicture " + std::to_string(p) + " has no sprite in UnitGraphicsOffset");
    }
}

void CheckMapPictures(const zrv::DataLibrary& lib, ArtFolder& art, Faults& f)
{
    if (zrv::CDib* start = art.Picture("starttn.pxs")) {
        for (size_t i = 0; i < lib.StartWallPositionTable.size(); ++i) {
            const auto& w = lib.StartWallPositionTable[i];
            if (!Inside(*start, w[0], w[1], w[2], w[3]))
                f.Add(At("StartWallPositionTable", i) + " (" + std::to_string(w[0]) + ", " + std::to_string(w[1]) + ", " +
                      std::to_string(w[2]) + ", " + std::to_string(w[3]) + ") lies outside \"starttn.pxs\"");
        }
    } else {
        f.Add("\"starttn.pxs\" does not load");
    }

    // The HQ map's small hexes show a terrain in the colours of its overview pattern.
    zrv::CDib* mini = art.Picture("minihex.pxs");
    if (mini == nullptr) {
        f.Add("\"minihex.pxs\" does not load");
    } else {
        for (int t = 2; t < kMapTerrains && size_t(t) < lib.SMapPatternData.size(); ++t) {
            if (!Inside(*mini, 0, kMiniHexRows * t, 8, kMiniHexRows)) {
                f.Add("minihex.pxs has no block for terrain " + std::to_string(t));
                continue;
            }
            const auto& p = lib.SMapPatternData[size_t(t)];
            // The middle pixel of each quarter of the block.
            const int probe[4][2] = {{2, 3}, {5, 3}, {2, 4}, {5, 4}};
            for (int q = 0; q < 4; ++q) {
                const uint8_t* px = mini->GetPixelPtr(probe[q][0], kMiniHexRows * t + probe[q][1]);
                if (px == nullptr || *px != p[size_t(q)]) {
                    f.Add(At("SMapPatternData", size_t(t)) + " pixel " + std::to_string(q) + " is colour " +
                          std::to_string(p[size_t(q)]) + ", the HQ map's small hex shows " +
                          std::to_string(px ? *px : -1));
                    break;
                }
            }
        }
    }
    for (const auto* table : {&lib.SMapPatternData, &lib.SMapPatternDataL}) {
        const char* name = table == &lib.SMapPatternData ? "SMapPatternData" : "SMapPatternDataL";
        for (size_t t = 0; t < table->size(); ++t)
            for (uint8_t v : (*table)[t])
                if (v < 10 || v > 245) {
                    f.Add(At(name, t) + " names colour " + std::to_string(v) + ", a static or transparent entry");
                    break;
                }
    }

    // Flags: 42 equal flags; 8 + country id is a nation's flag.
    if (zrv::CDib* flags = art.Picture("flags.pxs")) {
        if (flags->GetWidth() < 21 || flags->GetHeight() != kFlagCount * kFlagRows)
            f.Add("\"flags.pxs\" is not 42 flags of 21 x 16");
        for (size_t a = 1; a < lib.ArmsData.size(); ++a)
            if (const int id = lib.ArmsData[a].nNation; id < 0 || 8 + id >= kFlagCount)
                f.Add(At("ArmsData", a) + ".nNation " + std::to_string(id) + " has no flag in \"flags.pxs\"");
        if (lib.NationNameJ.size() + 8 > size_t(kFlagCount))
            f.Add("NationNameJ names " + std::to_string(lib.NationNameJ.size()) + " countries, \"flags.pxs\" has 34 flags");
    } else {
        f.Add("\"flags.pxs\" does not load");
    }

    // Climate zones: a 60-row band each in both zone pictures.
    for (const char* name : {"statuswt.pxs", "statussn.pxs"}) {
        zrv::CDib* z = art.Picture(name);
        if (z == nullptr) {
            f.Add(std::string("\"") + name + "\" does not load");
            continue;
        }
        for (size_t zone = 0; zone < lib.TemperatureData.size(); ++zone)
            if (!Inside(*z, 0, kZoneRows * static_cast<long long>(zone), 124, kZoneRows))
                f.Add(At("TemperatureData", zone) + ": climate zone without its band in \"" + name + "\"");
    }
    if (lib.MsgZone.size() < lib.TemperatureData.size())
        f.Add("MsgZone names " + std::to_string(lib.MsgZone.size()) + " of " + std::to_string(lib.TemperatureData.size()) +
              " climate zones");

    // Moon images: type v by day, v + 9 by night.
    if (zrv::CDib* moon = art.Picture("SWndMoon.PXS")) {
        for (size_t i = 0; i < lib.TblMoonType.size(); ++i)
            if (!Inside(*moon, 0, kMoonRows * (static_cast<long long>(lib.TblMoonType[i]) + kMoonNight), 62, kMoonRows) ||
                lib.TblMoonType[i] < 0)
                f.Add(At("TblMoonType", i) + " = " + std::to_string(lib.TblMoonType[i]) +
                      " has no day and night image in \"SWndMoon.PXS\"");
    } else {
        f.Add("\"SWndMoon.PXS\" does not load");
    }

    // Impact frames: kind k is row k of ten 48 x 48 frames.
    if (zrv::CDib* expl = art.Picture("ExplHex.pxs")) {
        if (!Inside(*expl, 0, 0, 480, kImpactRows * static_cast<long long>(lib.WaveShotedTable.size())))
            f.Add("WaveShotedTable has " + std::to_string(lib.WaveShotedTable.size()) +
                  " impact kinds, \"ExplHex.pxs\" rows for " + std::to_string(expl->GetHeight() / kImpactRows));
    } else {
        f.Add("\"ExplHex.pxs\" does not load");
    }

    // Route icons of the status strip.
    if (zrv::CDib* wea = art.Picture("SWndWea2.PXS")) {
        for (size_t k = 0; k < lib.RoadBase.size(); ++k)
            if (!Inside(*wea, static_cast<long long>(k % 3) * 15, static_cast<long long>(k / 3) * 14, 15, 14))
                f.Add(At("RoadBase", k) + " has no route icon in \"SWndWea2.PXS\"");
    } else {
        f.Add("\"SWndWea2.PXS\" does not load");
    }

    // Weapon icons: cell byType, shifted by 9 × byGroup into the colour sets.
    if (zrv::CDib* weap = art.Picture("weapon.pxs")) {
        for (size_t i = 0; i < lib.WeaponData.size(); ++i) {
            const zrv::WEAPONSTRUCT& w = lib.WeaponData[i];
            if (w.nWeaponNo == 0) continue;
            if (!Inside(*weap, 0, kWeaponIcon * static_cast<long long>(w.byType), kWeaponIcon, kWeaponIcon))
                f.Add(At("WeaponData", i) + ".byType " + std::to_string(w.byType) + " has no icon in \"weapon.pxs\"");
            if (w.byGroup >= kColourSets)
                f.Add(At("WeaponData", i) + ".byGroup " + std::to_string(w.byGroup) + " shifts past the colour sets");
        }
    } else {
        f.Add("\"weapon.pxs\" does not load");
    }
}

// A flag of the world map's sprite sheet.
bool WorldFlag(zrv::CDib& sheet, long long id)
{
    return id >= 0 && id < kWorldFlags && Inside(sheet, 0, 32 + 17 * id, 20, 17);
}

void CheckMenuPictures(const zrv::DataLibrary& lib, ArtFolder& art, Faults& f)
{
    zrv::CDib* map = art.Picture("Euromap2.PXS");
    zrv::CDib* sheet = art.Picture("Eurofla2.PXS");
    if (map == nullptr || sheet == nullptr) {
        f.Add("\"Euromap2.PXS\" or \"Eurofla2.PXS\" does not load");
    } else {
        const int cities = std::clamp(lib.g_nMaxIWCity, 0, int(lib.IWCityData.size()));
        for (int i = 0; i < cities; ++i) {
            const zrv::IWCITYSTRUCT& c = lib.IWCityData[size_t(i)];
            const std::string at = At("IWCityData", size_t(i));
            if (!Inside(*map, c.x, c.y, 1, 1))
                f.Add(at + " (" + std::to_string(c.x) + ", " + std::to_string(c.y) + ") lies outside \"Euromap2.PXS\"");
            // Both rows of the city dot of its kind.
            if (c.nKind < 0 || !Inside(*sheet, sheet->GetWidth() - 4, 8LL * c.nKind, 4, 8))
                f.Add(at + ".nKind " + std::to_string(c.nKind) + " has no city dot in \"Eurofla2.PXS\"");
            if (c.nValue < kWorldFlags && !WorldFlag(*sheet, c.nValue))
                f.Add(at + " owner " + std::to_string(c.nValue) + " has no flag in \"Eurofla2.PXS\"");
        }
        if (lib.IWCountryData.size() > size_t(kWorldFlags))
            f.Add("IWCountryData has values for " + std::to_string(lib.IWCountryData.size()) + " flag ids, \"Eurofla2.PXS\" " +
                  std::to_string(kWorldFlags));
        for (size_t s = 0; s < lib.ScenarioData.size(); ++s) {
            const zrv::SCNRBASESTRUCT& sc = lib.ScenarioData[s];
            const std::string at = At("ScenarioData", s);
            const auto& r = sc.rcMap;
            if (!Inside(*map, r[0], r[1], r[2] - r[0], r[3] - r[1]))
                f.Add(at + " map rectangle (" + std::to_string(r[0]) + ", " + std::to_string(r[1]) + ", " +
                      std::to_string(r[2]) + ", " + std::to_string(r[3]) + ") lies outside \"Euromap2.PXS\"");
            for (int c = 0; c < 8; ++c) {
                const zrv::SCNRSTARTENTRY& e = sc.Start[c];
                if (e.nValue < 0) continue;
                if (!WorldFlag(*sheet, e.nValue) || !Inside(*map, e.x, e.y, 1, 1))
                    f.Add(at + " start " + std::to_string(c) + ": flag " + std::to_string(e.nValue) + " at (" +
                          std::to_string(e.x) + ", " + std::to_string(e.y) + ") is not on the world map");
            }
            for (int b = 0; b < 3; ++b)
                for (int c = 0; c < 8; ++c) {
                    const uint32_t w = sc.Branch[b].dwCountryResult[c];
                    if ((w & (1u << 29)) != 0 && !WorldFlag(*sheet, w & 0xFFFF))
                        f.Add(at + " branch " + std::to_string(b) + " country " + std::to_string(c) + " raises flag " +
                              std::to_string(w & 0xFFFF) + ", not in \"Eurofla2.PXS\"");
                }
        }
    }

    // Staff credits: the area with one font height above and below and a
    // 30-pixel strip to the right is restored from the background.
    if (zrv::CDib* credit = art.Picture("Credit2.PXS")) {
        const long long font = lib.g_nCreditFontSz;
        if (!Inside(*credit, lib.g_nCreditX, lib.g_nCreditY - font, lib.g_nCreditHSize + kCreditRightStrip,
                    lib.g_nCreditVSize + 2 * font))
            f.Add("g_nCreditX/Y/HSize/VSize with the font strips (" + std::to_string(lib.g_nCreditX) + ", " +
                  std::to_string(lib.g_nCreditY) + ", " + std::to_string(lib.g_nCreditHSize) + ", " +
                  std::to_string(lib.g_nCreditVSize) + ") leave \"Credit2.PXS\"");
        // A line wider than the restored strips would leave its trail on
        // the background; a half-width byte is half the font size wide.
        for (size_t i = 0; i < lib.MsgCredit.size(); ++i) {
            const char* line = lib.MsgCredit[i];
            const long long width = static_cast<long long>(line ? std::strlen(line) : 0) * font / 2;
            if (width > lib.g_nCreditHSize + kCreditRightStrip)
                f.Add(At("MsgCredit", i) + " is " + std::to_string(width) + " pixels wide, wider than the credits area");
        }
    } else {
        f.Add("\"Credit2.PXS\" does not load");
    }

    // The endings' scene pictures and palettes.
    for (size_t e = 0; e < lib.EndingDirectTable.size(); ++e) {
        const zrv::ENDINGSTRUCT& d = lib.EndingDirectTable[e];
        for (int p = 0; p < d.nPictureCount && d.pPicture != nullptr; ++p) {
            const zrv::ENDINGPICTURE& rec = d.pPicture[p];
            const std::string at = At("EndingDirectTable", e) + " picture " + std::to_string(p);
            const std::string picture = Field(rec.szPicture, sizeof rec.szPicture);
            const std::string palette = Field(rec.szPalette, sizeof rec.szPalette);
            if (picture.empty()) continue;  // a scene without a picture
            if (art.Picture(picture) == nullptr) f.Add(at + ": \"" + picture + "\" does not load");
            if (palette.empty() || !art.PaletteLoads(palette)) f.Add(at + ": palette \"" + palette + "\" does not load");
        }
    }
}

void CheckSounds(const zrv::DataLibrary& lib, ArtFolder& art, Faults& f)
{
    for (size_t i = 0; i < lib.WaveFileList.size(); ++i) {
        const char* name = lib.WaveFileList[i].name;
        if (name == nullptr || *name == '\0') continue;  // an effect without a sound
        if (!art.Exists(std::string(name) + ".WAV"))
            f.Add(At("WaveFileList", i) + ": \"" + name + ".WAV\" is not in the program folder");
    }
    // Music track n is "Music\TrackNN" (.ogg or .wav); entry 0 of the list is no music.
    auto track = [&](long long n, const std::string& who) {
        if (n < 1 || n > 99) return;
        char base[32];
        std::snprintf(base, sizeof base, "Music\\Track%02lld", n);
        if (!art.Exists(std::string(base) + ".ogg") && !art.Exists(std::string(base) + ".wav"))
            f.Add(who + ": music track " + std::to_string(n) + " has no file \"" + base + ".wav\"");
    };
    for (size_t i = 1; i < lib.CDAudioFileList.size(); ++i) track(static_cast<long long>(i), At("CDAudioFileList", i));
    for (size_t i = 0; i < lib.CountryBGMTable.size(); ++i) track(lib.CountryBGMTable[i], At("CountryBGMTable", i));
    for (size_t e = 0; e < lib.EndingDirectTable.size(); ++e)
        track(lib.EndingDirectTable[e].nTrack, At("EndingDirectTable", e));
    // An event with captions is a movie event; its movie is named by its date.
    for (size_t i = 0; i < lib.HistoryData.size(); ++i) {
        const zrv::HISTORYSTRUCT& h = lib.HistoryData[i];
        if (h.pCaption == nullptr) continue;
        char name[40];
        std::snprintf(name, sizeof name, "MOVIE\\Hs%02u%02u%02u.AVI", (h.dwDateTime >> 16) & 0xFF,
                      (h.dwDateTime >> 8) & 0xFF, h.dwDateTime & 0xFF);
        if (!art.Exists(name)) f.Add(At("HistoryData", i) + ": movie \"" + name + "\" is not in the program folder");
    }
}

}  // namespace

ArtFolder::ArtFolder(const std::string& nativeDir) : m_folder(platform::RegisterNativeFolder(nativeDir))
{
    zrv::CDibPal game;
    if (game.Create(m_folder + "Game2.PLB") && game.GetColorTable() != nullptr)
        m_table.assign(game.GetColorTable(), game.GetColorTable() + 256);
    else
        m_table.assign(256, zrv::RgbQuad{});
}

bool ArtFolder::Exists(const std::string& relPath) const
{
    return platform::FileExistsSjis(m_folder + relPath);
}

zrv::CDib* ArtFolder::Picture(const std::string& name)
{
    auto it = m_pictures.find(name);
    if (it == m_pictures.end()) {
        auto d = std::make_unique<zrv::CDib>();
        // Checked first, so a missing file is a fault of the check and not a
        // message of the reader.
        if (!Exists(name) || !d->CreateFromPXS(m_table.data(), m_folder + name)) d.reset();
        it = m_pictures.emplace(name, std::move(d)).first;
    }
    return it->second.get();
}

zrv::CDib* ArtFolder::TerrainStore()
{
    const std::string key = "terrain.pxs over terrain0.pxs";
    auto it = m_pictures.find(key);
    if (it == m_pictures.end()) {
        auto d = std::make_unique<zrv::CDib>();
        if (!Exists("terrain0.pxs") || !Exists("terrain.pxs") ||
            !d->CreateFromTwoPXS(m_table.data(), m_folder + "terrain0.pxs", m_folder + "terrain.pxs"))
            d.reset();
        it = m_pictures.emplace(key, std::move(d)).first;
    }
    return it->second.get();
}

bool ArtFolder::PaletteLoads(const std::string& name)
{
    auto it = m_palettes.find(name);
    if (it == m_palettes.end()) {
        zrv::CDibPal p;
        it = m_palettes.emplace(name, Exists(name) && p.Create(m_folder + name)).first;
    }
    return it->second;
}

std::vector<std::string> CheckArtAgreement(const zrv::DataLibrary& lib, ArtFolder& art)
{
    Faults f;
    CheckTerrain(lib, art, f);
    CheckUnits(lib, art, f);
    CheckMapPictures(lib, art, f);
    CheckMenuPictures(lib, art, f);
    CheckSounds(lib, art, f);
    return f.list;
}

}  // namespace contenttest
