#include "battle/dialogs/CountryRowModels.h"

#include <algorithm>

#include "battle/engine/GameFlow.h"
#include "foundation/DataLibrary.h"

namespace zrv {

namespace {

// The name plate of "status12.pxs".
constexpr int kPlateX = 198, kPlateY = 297, kPlateW = 132, kPlateH = 18;
// Terrain that lets a capital's country be handed to the computer or back.
constexpr uint32_t kTerrainCapitalControl = 1u << 11;
constexpr uint32_t kOptCampaignGame = 0x40000000u;

}  // namespace

std::vector<int> PresentCountries(const GAMEDATASTRUCT& game)
{
    std::vector<int> out;
    for (int i = 0; i < kCountryCount && i < kCountryRowsMax; ++i)
        if (game.Country[i].dwFlag & kCountryPresent) out.push_back(i);
    return out;
}

std::vector<CountryRow> CountryRowsOf(const GAMEDATASTRUCT& game, std::span<const int> countries)
{
    std::vector<CountryRow> rows;
    for (int c : countries) {
        if (c < 0 || c >= kCountryCount || static_cast<int>(rows.size()) >= kCountryRowsMax) continue;
        const int side = game.Country[c].nSide;
        rows.push_back({c, 10 + kCountryRowH * static_cast<int>(rows.size()), side == 0 ? 8 : side == 1 ? 7 : 0});
    }
    return rows;
}

void PaintCountryRows(DialogCard& card, const GAMEDATASTRUCT& game, const std::vector<CountryRow>& rows,
                      CDib* plates)
{
    if (!card.IsValid()) return;
    for (const CountryRow& r : rows) {
        if (card.View() != nullptr) card.View()->DrawFlagMark(card.Picture(), r.country, 10, r.y + 1, -1, false);
        card.Copy(plates, kPlateX, kPlateY, kPlateW, kPlateH, 34, r.y);
        card.Text(42, r.y + 4, FieldText(game.Country[r.country].szName), r.colorCode);
    }
}

// --- country control ------------------------------------------------------------------------

CountryControlModel::CountryControlModel(const CZRKGameDoc& doc, CountryControlRows& rows)
    : m_doc(doc), m_result(rows)
{
    std::vector<int> countries;
    const int n = std::clamp(rows.nRows, 0, kCountryRowsMax);
    for (int r = 0; r < n; ++r) countries.push_back(rows.rows[r].nCountry);
    m_rows = CountryRowsOf(doc.m_GameData, countries);
    // Only rows naming a country are kept, in the order given.
    CountryControlRows kept;
    for (int r = 0; r < n; ++r) {
        const int c = rows.rows[r].nCountry;
        if (c >= 0 && c < kCountryCount) kept.rows[kept.nRows++] = {c, rows.rows[r].nControl != 0 ? 1 : 0};
    }
    m_result = kept;
}

std::vector<std::string> CountryControlModel::ChoiceTexts() const
{
    return {TableText(Lib().MsgCtrlUser, 0), TableText(Lib().MsgCtrlUser, 1)};
}

int CountryControlModel::Selected(int row) const
{
    return row >= 0 && row < m_result.nRows ? m_result.rows[row].nControl : 0;
}

bool CountryControlModel::Enabled(int row) const
{
    return row >= 0 && row < static_cast<int>(m_rows.size()) && MayChange(m_doc, m_rows[row].country);
}

void CountryControlModel::Select(int row, int controller)
{
    if (row >= 0 && row < m_result.nRows) m_result.rows[row].nControl = controller != 0 ? 1 : 0;
}

bool CountryControlModel::MayChange(const CZRKGameDoc& doc, int country)
{
    if (country < 0 || country >= kCountryCount) return false;
    const COUNTRYSTRUCT& c = doc.m_GameData.Country[country];
    if (c.nSide == 2) return false;
    // The capital comes from the scenario or the saved game: a hex outside
    // the map or the widened playable area has no cell to read.
    const HEXINDEX capital = c.nCapital;
    if (capital < 0 || capital >= kHexCount || !doc.IsHexInMapArea(capital)) return false;
    const TRRNSTRUCT* t = TerrainRecord(CellTerrain(doc.m_dwHexCell[capital]));
    if (t == nullptr || (t->dwTrrnFlag & kTerrainCapitalControl) == 0) return false;
    if ((doc.m_dwGameOption & kOptCampaignGame) && c.nIndex != 0) return false;
    return true;
}

// --- music --------------------------------------------------------------------------------------

BgmSettingsModel::BgmSettingsModel(CZRKGameDoc& doc, DialogView* view) : m_doc(doc), m_pView(view)
{
    m_rows = CountryRowsOf(doc.m_GameData, PresentCountries(doc.m_GameData));
}

std::vector<std::string> BgmSettingsModel::TrackNames() const
{
    std::vector<std::string> names;
    const auto& list = Lib().CDAudioFileList;
    for (int i = 0; i < kTrackChoices; ++i) {
        const size_t k = static_cast<size_t>(kFirstTrack + i);
        const char* name = k < list.size() ? list[k].description : nullptr;
        names.emplace_back(name != nullptr ? name : "");
    }
    return names;
}

COUNTRYSTRUCT* BgmSettingsModel::RowCountry(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return nullptr;
    return &m_doc.m_GameData.Country[m_rows[static_cast<size_t>(row)].country];
}

int BgmSettingsModel::Selected(int row) const
{
    const COUNTRYSTRUCT* c = RowCountry(row);
    if (c == nullptr) return -1;
    const int index = c->nBGM - kFirstTrack;
    return index >= 0 && index < kTrackChoices ? index : -1;
}

void BgmSettingsModel::Select(int row, int index)
{
    if (COUNTRYSTRUCT* c = RowCountry(row); c != nullptr && index >= 0 && index < kTrackChoices)
        c->nBGM = index + kFirstTrack;
}

void BgmSettingsModel::Test(int row)
{
    if (const COUNTRYSTRUCT* c = RowCountry(row); c != nullptr && m_pView != nullptr) m_pView->PlayMusicTrack(c->nBGM);
}

void BgmSettingsModel::Reset()
{
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) AssignCountryBGM(*RowCountry(r));
}

void BgmSettingsModel::Close()
{
    if (m_doc.m_pCurCountry != nullptr && m_pView != nullptr) m_pView->PlayMusicTrack(m_doc.m_pCurCountry->nBGM);
}

}  // namespace zrv
