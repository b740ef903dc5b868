#include "battle/dialogs/LadderPainter.h"

namespace zrv {
namespace {

constexpr int kRows = 4;
constexpr int kEntries = 10;

// Row graphics by pattern, top row first.
constexpr int kOneColumn[8][kRows] = {{0, 0, 0, 0}, {0, 0, 0, 1}, {0, 0, 2, 4}, {0, 2, 3, 4},
                                      {2, 3, 3, 4}, {3, 3, 3, 4}, {3, 3, 3, 3}, {2, 3, 3, 3}};
constexpr int kTwoColumns[8][kRows] = {{0, 0, 0, 0}, {0, 0, 0, 1}, {0, 0, 4, 2}, {0, 3, 6, 2},
                                       {3, 5, 6, 2}, {5, 5, 6, 2}, {5, 5, 5, 5}, {3, 5, 5, 5}};

constexpr int kFrameW = 144, kTwoFrameW = 196, kTwoFrameX = 144;
constexpr int kBadgeY = 335, kBadgeW = 56, kBadgeH = 17, kBadges = 10;
constexpr int kLabelX = 56, kLabelY = 335, kLabelW = 58, kLabelH = 11;
constexpr int kMarkX = 56, kMarkY = 434;

}  // namespace

void LayoutLadder(const LadderInput& in, LadderLayout& out, std::vector<LadderPicture>& hits)
{
    const int p = in.pattern >= 0 && in.pattern < 8 ? in.pattern : 0;
    for (int r = 0; r < kRows; ++r) {
        const int e = in.topEntry - r;
        const int y = kLadderRowH * r;
        int g = in.twoColumns ? kTwoColumns[p][r] : kOneColumn[p][r];
        if (in.twoColumns && g == 5 && r == kRows - 1 && in.scrolledOne) g = 6;
        if (in.twoColumns)
            out.copies.push_back({0, y, kTwoFrameW, kLadderRowH, kTwoFrameX, kLadderRowH * g, -1});
        else
            out.copies.push_back({0, y, kFrameW, kLadderRowH, 0, kLadderRowH * g, -1});
        if (g == 0) continue;
        const int d = in.badge ? in.badge(e) : -1;
        if (d >= 0 && d < kBadges) out.copies.push_back({3, y + 3, kBadgeW, kBadgeH, 0, kBadgeY + kBadgeH * d, -1});
        if (e < 1 || e >= kEntries) continue;
        auto picture = [&](const std::array<int, 10>* list, int entry, int px, int labelX) {
            out.copies.push_back({labelX, y + 46, kLabelW, kLabelH, kLabelX, kLabelY + kLabelH * (e - 1), 0});
            const int type = list != nullptr ? (*list)[static_cast<size_t>(e)] : -1;
            // Empty entries and rejected types (high bit) have no picture.
            if (type <= 0) return;
            out.pictures.push_back({px, y + 14, type, entry});
            hits.push_back({px + in.dialogX, y + 14 + in.dialogY, type, entry});
            if (in.marked && in.marked(entry, type))
                out.marks.push_back({px, y + 14, kLadderPictureW, kLadderPictureH, kMarkX, kMarkY, 0});
        };
        if (!in.twoColumns) {
            picture(in.list, e, 67, 66);
        } else if (g < 3) {
            picture(in.list, e, 99, 98);
        } else {
            picture(in.list, e, 66, 65);
            picture(in.list2, e + kLadderSecondColumn, 133, 132);
        }
    }
}

void PaintLadder(const LadderLayout& l, CDib& card, CDib* entry2, const platform::Font* font,
                 const std::function<void(CDib&, int, int, int)>& unitPicture)
{
    if (entry2 != nullptr)
        for (const CardCopy& c : l.copies) entry2->CopyRect(&card, c.dx, c.dy, c.w, c.h, c.sx, c.sy, c.key);
    if (unitPicture)
        for (const LadderPicture& p : l.pictures) unitPicture(card, p.x, p.y, p.type);
    if (entry2 != nullptr)
        for (const CardCopy& c : l.marks) entry2->CopyRect(&card, c.dx, c.dy, c.w, c.h, c.sx, c.sy, c.key);
    DrawCardTexts(card, font, l.texts);
}

const LadderPicture* LadderHit(const std::vector<LadderPicture>& hits, int x, int y)
{
    for (const LadderPicture& h : hits)
        if (x >= h.x && x < h.x + kLadderPictureW && y >= h.y && y < h.y + kLadderPictureH) return &h;
    return nullptr;
}

}  // namespace zrv
