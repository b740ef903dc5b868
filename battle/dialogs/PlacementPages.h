#pragma once
// The pages of the production and deployment windows without a window: one
// page per unit kind, listing the types the country produces (production) or
// the carry-over units waiting in the pool (deployment), with the row icons,
// the sort order, the texts, the candidate hexes marked on the map and the
// choice the view places on a click.
//
// The pages number their kinds 1 air, 2 ground, 3 naval and keep that order;
// the engine's checks number them 1 naval, 2 ground, 3 air and are called
// with the engine's number of the same kind.

#include <array>
#include <span>
#include <string>
#include <vector>

#include "battle/dialogs/PlacementCards.h"
#include "battle/engine/GameDoc.h"
#include "battle/engine/PlacementView.h"

namespace zrv {

inline constexpr int kPageAir = 1, kPageGround = 2, kPageNaval = 3;
inline constexpr int kPageKinds[] = {kPageAir, kPageGround, kPageNaval};

// The engine's kind number of a page's kind (0 for none).
int EngineKindOfPage(int pageKind);
// The page kind a type belongs to by its domain (a ship class that could
// also fly is a ship, as the engine's checks place it); 0 for none.
int PageKindOfType(int type);
// "航空", "地上", "艦艇" (CP932); "" for none.
const char* PageTitle(int pageKind);

// Row icons (the list's picture strip).
enum PlacementIcon : int {
    kIconReady = 0,   // may be placed now
    kIconNoFunds = 1, // the price exceeds the funds
    kIconNoRoom = 2,  // no room left, or no free candidate hex
};

// Commands the pages post to the view.
inline constexpr int kCmdProduceWindow = 32825;
inline constexpr int kCmdDeployWindow = 32826;

// The capital of the country and the rings 1 to 5 round it, ended by -1
// (empty when the capital is off the map).
std::array<HEXINDEX, 92> ListHexesInRings(const COUNTRYSTRUCT& country);

// Compares two CP932 names with ASCII letters folded; a trail byte of a
// double-byte character is never folded.
int CompareNamesNoCase(const char* a, const char* b);

struct PlacementRow {
    int key = -1;  // the type (production) or the pool index (deployment)
    int icon = kIconReady;
};

// The texts and buttons of a page below the card.
struct PlacementPageTexts {
    std::string funds;      // production only (wide, no prefix)
    std::string remaining;  // "%3d"
    bool performance = false;
    bool evolution = false;
    bool other = false;  // 配置 on a production page, 生産 on a deployment page
};

class PlacementPageModel {
public:
    PlacementPageModel(CZRKGameDoc& doc, PlacementView& view, int kind);
    virtual ~PlacementPageModel() = default;
    PlacementPageModel(const PlacementPageModel&) = delete;
    PlacementPageModel& operator=(const PlacementPageModel&) = delete;

    int Kind() const { return m_nKind; }
    const char* Title() const { return PageTitle(m_nKind); }
    COUNTRYSTRUCT* Country() const { return m_pCountry; }
    bool Initialised() const { return m_bInitialised; }

    // The page is first shown: its rows and candidate hexes from the
    // engine's check over ring, sorted, row 0 selected, the texts, the
    // view's placement mode and the marks.
    void Init(std::span<const HEXINDEX> ring);

    // --- what the window shows -------------------------------------------------------
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    const PlacementRow& Row(int row) const { return m_rows.at(static_cast<size_t>(row)); }
    // Column texts of a row (CP932).
    virtual std::vector<std::string> RowTexts(int row) const = 0;
    int Selected() const { return m_nSelected; }
    int FindRow(int key) const;
    const PlacementPageTexts& Texts() const { return m_texts; }
    // The shown type or pool index (-1: none).
    int Shown() const { return m_nShown; }
    virtual PlacementCardLayout Card() const = 0;
    const std::vector<HEXINDEX>& CandidateHexes() const { return m_hexes; }
    bool IsCandidateHex(HEXINDEX hex) const;
    int SortColumn() const { return m_nSortColumn; }

    // --- what the window and the view do -------------------------------------------------
    // Clears the view's marks, marks the candidate hexes without a unit and
    // redraws the map.
    void MarkCandidateHexes();
    void UpdateTexts();
    // The icons of every row; the view is armed with the selected row when
    // it shows the ready icon.
    virtual void RefreshRowIcons() = 0;
    // The player selected row (-1: none).
    virtual void Select(int row) = 0;
    // The first click on a column sorts ascending, the next one descending.
    void ColumnClick(int column);
    // A click anywhere on the list.
    void Click() { UpdateTexts(); }
    // Double click, right click and 性能.
    virtual void OpenPerformance() = 0;
    // 進化表.
    virtual void OpenEvolutionTable() = 0;
    // 配置 (production) or 生産 (deployment).
    void OtherCommand();
    // Units the country may still field.
    virtual int Remaining() const = 0;

protected:
    virtual int ColumnCount() const = 0;
    virtual bool FillRows(std::span<const HEXINDEX> ring) = 0;
    virtual void UpdateOwnTexts() = 0;
    // < 0, 0, > 0 by column, before any tie rule and direction.
    virtual int CompareKeys(int a, int b, int column) const = 0;
    // The tie rules after the column (ascending whatever the direction).
    virtual int CompareTies(int a, int b) const = 0;
    virtual int OtherCommandCode() = 0;
    virtual int OtherCommandId() const = 0;
    virtual int PlacementMode() const = 0;

    void Sort(int column, bool descending);
    // Selects row (-1: none) as the player would, with its notification.
    void SelectRow(int row) { Select(row); }
    // The default icon: ready when there is room and a candidate hex shows no unit.
    int FreeIcon() const;
    void Arm(int index);
    void AppendRow(int key, int icon);
    void DeleteRow(int row);

    CZRKGameDoc& m_doc;
    PlacementView& m_view;
    int m_nKind;
    COUNTRYSTRUCT* m_pCountry = nullptr;
    bool m_bInitialised = false;
    std::vector<HEXINDEX> m_hexes;
    std::vector<PlacementRow> m_rows;
    int m_nSelected = -1;
    int m_nShown = -1;
    int m_nSortColumn = 0;
    std::array<bool, 5> m_bSortDescending{};
    bool m_bLastDescending = false;
    PlacementPageTexts m_texts;
};

// A page of the production window.
class ProductPageModel final : public PlacementPageModel {
public:
    ProductPageModel(CZRKGameDoc& doc, PlacementView& view, int kind);

    std::vector<std::string> RowTexts(int row) const override;
    PlacementCardLayout Card() const override;
    void RefreshRowIcons() override;
    void Select(int row) override;
    void OpenPerformance() override;
    void OpenEvolutionTable() override;
    int Remaining() const override;

    // The country stopped producing retired (its row goes, whichever row is
    // selected); 1 when a row went.
    int RemoveType(int retired);
    // The country now produces type: a row for it, selected.
    void AddType(int type);

protected:
    int ColumnCount() const override { return 3; }
    bool FillRows(std::span<const HEXINDEX> ring) override;
    void UpdateOwnTexts() override;
    int CompareKeys(int a, int b, int column) const override;
    int CompareTies(int a, int b) const override;
    int OtherCommandCode() override { return m_view.CheckDeployCommand(); }
    int OtherCommandId() const override { return kCmdDeployWindow; }
    int PlacementMode() const override { return 2; }

private:
    int PriceIcon(int type, int fallback) const;
};

// A page of the deployment window.
class SetupPageModel final : public PlacementPageModel {
public:
    SetupPageModel(CZRKGameDoc& doc, PlacementView& view, int kind);

    std::vector<std::string> RowTexts(int row) const override;
    PlacementCardLayout Card() const override;
    void RefreshRowIcons() override;
    void Select(int row) override;
    void OpenPerformance() override;
    void OpenEvolutionTable() override;
    int Remaining() const override;

    // The pool indexes listed, in the order they came.
    const std::vector<int>& PoolList() const { return m_pool; }
    // The selected row's unit was placed: its row goes and the row at its
    // place (or the one before the end) is selected.
    void RemoveSelectedRow();
    // A unit taken back into the pool at index: a row for it, selected.
    void AddPoolUnit(int index);

protected:
    int ColumnCount() const override { return 5; }
    bool FillRows(std::span<const HEXINDEX> ring) override;
    void UpdateOwnTexts() override;
    int CompareKeys(int a, int b, int column) const override;
    int CompareTies(int a, int b) const override;
    int OtherCommandCode() override { return m_view.CheckProduceCommand(); }
    int OtherCommandId() const override { return kCmdProduceWindow; }
    int PlacementMode() const override { return 3; }

private:
    UNITSTRUCT* PoolUnit(int index) const;
    std::vector<int> m_pool;
};

}  // namespace zrv
