#pragma once
// The country-control (操作設定) and music (ＢＧＭ設定) dialogs without a window:
// one row per present country in index order, its army mark and name on a
// plate of "status12.pxs", and the row's choice beside it.

#include <string>
#include <vector>

#include "battle/dialogs/DialogCard.h"
#include "battle/engine/DialogView.h"
#include "battle/engine/GameDoc.h"
#include "foundation/DialogService.h"

namespace zrv {

struct CountryRow {
    int country = -1;
    int y = 0;          // top of the row on the card
    int colorCode = 0;  // of the name: 8 side 0, 7 side 1, 0 otherwise
};

inline constexpr int kCountryRowsMax = 8;
inline constexpr int kCountryRowsCardH = 265;
// What a missing row takes off the window's height.
inline constexpr int kCountryRowH = 28;

// The rows of countries (at most eight, indexes 0..7).
std::vector<CountryRow> CountryRowsOf(const GAMEDATASTRUCT& game, std::span<const int> countries);
// The present countries of the game in index order.
std::vector<int> PresentCountries(const GAMEDATASTRUCT& game);
// Client height with n rows, and the top of the bottom buttons.
inline int CountryRowsClientHeight(int rows) { return kCountryRowsCardH - kCountryRowH * (kCountryRowsMax - rows); }
inline int CountryRowsButtonY(int rows) { return 234 - kCountryRowH * (kCountryRowsMax - rows); }
// Top of row k's combo box (and "TEST" button).
inline int CountryRowControlY(int k) { return 9 + kCountryRowH * k; }
// Draws each row's mark, plate (from plates, may be null) and name.
void PaintCountryRows(DialogCard& card, const GAMEDATASTRUCT& game, const std::vector<CountryRow>& rows,
                      CDib* plates);

class CountryControlModel {
public:
    static constexpr int kCardW = 263;

    // rows as the country-control command fills them; the choices are written
    // into them (Select), which the command applies on "実行".
    CountryControlModel(const CZRKGameDoc& doc, CountryControlRows& rows);

    const std::vector<CountryRow>& Rows() const { return m_rows; }
    // The combo box's two texts (CP932): human, computer.
    std::vector<std::string> ChoiceTexts() const;
    int Selected(int row) const;
    bool Enabled(int row) const;
    void Select(int row, int controller);

    // Whether a country's controller may be changed: not on side 2, a capital
    // inside the widened playable area on terrain that allows it, and in a
    // campaign only the first country.
    static bool MayChange(const CZRKGameDoc& doc, int country);

private:
    const CZRKGameDoc& m_doc;
    CountryControlRows& m_result;
    std::vector<CountryRow> m_rows;
};

class BgmSettingsModel {
public:
    static constexpr int kCardW = 405;
    // Combo index i stands for track i + kFirstTrack.
    static constexpr int kFirstTrack = 4, kTrackChoices = 12;

    // view (may be null) plays the tracks.
    BgmSettingsModel(CZRKGameDoc& doc, DialogView* view);

    const std::vector<CountryRow>& Rows() const { return m_rows; }
    // The names of the tracks to choose from (CP932).
    std::vector<std::string> TrackNames() const;
    // The combo index of the row's track; -1 for a track outside the choices.
    int Selected(int row) const;
    // A choice sets the row's country's track at once.
    void Select(int row, int index);
    // "TEST": the row's track plays.
    void Test(int row);
    // "初期設定に戻す": every row's country gets its default track again.
    void Reset();
    // On closing: the track of the country whose turn it is plays.
    void Close();

private:
    COUNTRYSTRUCT* RowCountry(int row) const;
    CZRKGameDoc& m_doc;
    DialogView* m_pView;
    std::vector<CountryRow> m_rows;
};

}  // namespace zrv
