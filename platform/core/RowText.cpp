#include "platform/core/RowText.h"

#include <algorithm>

#include "platform/core/Text.h"

namespace platform {
namespace {

constexpr const char* kEllipsis = "...";
// Column 0's text keeps 4 pixels, the others 12; the drawn rectangles are
// narrowed by 2 and 6 pixels on each side.
constexpr int kFirstOffset = 4, kOtherOffset = 12;
constexpr int kFirstInset = 2, kOtherInset = 6;

// Byte length of the character starting at i.
size_t CharLength(std::string_view s, size_t i)
{
    return IsSjisLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

}  // namespace

std::string MakeShortString(std::string_view text, int width, int offset, const TextWidthFn& measure,
                            bool* shortened)
{
    if (shortened) *shortened = false;
    if (text.empty() || measure(text) + offset <= width) return std::string(text);
    if (shortened) *shortened = true;
    const int dots = measure(kEllipsis);
    // Character starts, so that a cut never splits a double-byte character.
    std::vector<size_t> ends;
    for (size_t i = 0; i < text.size(); i += CharLength(text, i)) ends.push_back(i + CharLength(text, i));
    size_t keep = ends.front();
    for (size_t k = ends.size(); k-- > 0;) {
        if (measure(text.substr(0, ends[k])) + dots + offset <= width) {
            keep = ends[k];
            break;
        }
    }
    // At least the first character stays.
    return std::string(text.substr(0, std::min(keep, text.size()))) + kEllipsis;
}

RowPlan LayoutRow(std::span<const int> widths, std::span<const ColumnAlign> aligns,
                  std::span<const std::string> texts, int iconWidth, int clientWidth, const TextWidthFn& measure)
{
    RowPlan plan;
    int left = 0;
    for (size_t c = 0; c < widths.size(); ++c) {
        const int w = std::max(0, widths[c]);
        const std::string_view text = c < texts.size() ? std::string_view(texts[c]) : std::string_view();
        RowCell cell;
        if (c == 0) {
            plan.icon = iconWidth > 0 && w > 1;
            const int labelLeft = left + (plan.icon ? iconWidth : 0);
            const int labelWidth = std::max(0, left + w - labelLeft);
            cell.text = MakeShortString(text, labelWidth, kFirstOffset, measure);
            cell.left = labelLeft + kFirstInset;
            cell.right = labelLeft + labelWidth - kFirstInset;
        } else if (!text.empty()) {
            bool cut = false;
            cell.text = MakeShortString(text, w, kOtherOffset, measure, &cut);
            cell.align = cut || c >= aligns.size() ? ColumnAlign::Left : aligns[c];
            cell.left = left + kOtherInset;
            cell.right = left + w - kOtherInset;
        }
        if (!cell.text.empty()) plan.cells.push_back(std::move(cell));
        left += w;
    }
    plan.boundsRight = left;
    plan.fillRight = std::max(left, clientWidth);
    return plan;
}

bool ExtendsPastColumns(int boundsRight, int clientWidth, bool orEqual)
{
    return orEqual ? clientWidth >= boundsRight : clientWidth > boundsRight;
}

}  // namespace platform
