#include "foundation/DibPal.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "foundation/DialogService.h"
#include "platform/core/Format.h"
#include "platform/core/Paths.h"

namespace zrv {
namespace {

constexpr int kFileEntries = 236;
constexpr int kFileBytes = kFileEntries * 4;  // 944
constexpr uint8_t kNoCollapse = 4;             // the flag of entries the screen may not merge

// The twenty standard static colours (red, green, blue) of the menu program.
constexpr uint8_t kMenuStatic[20][3] = {
    {0, 0, 0},       {0, 0, 128},   {0, 128, 0},     {0, 128, 128}, {128, 0, 0},   {128, 0, 128},
    {128, 128, 0},   {192, 192, 192}, {0, 0, 0},     {0, 0, 0},     {255, 255, 255}, {255, 255, 255},
    {128, 128, 128}, {0, 0, 255},   {0, 255, 0},     {0, 255, 255}, {255, 0, 0},   {255, 0, 255},
    {255, 255, 0},   {255, 255, 255},
};

}  // namespace

void StaticColors(ProgramVariant variant, RgbQuad* table)
{
    for (int i = 0; i < 20; ++i) {
        int index = i < 10 ? i : 236 + i;
        RgbQuad q{};
        if (variant == ProgramVariant::Menu) {
            q.rgbRed = kMenuStatic[i][0];
            q.rgbGreen = kMenuStatic[i][1];
            q.rgbBlue = kMenuStatic[i][2];
        } else {
            uint8_t v = i < 10 ? 0 : 255;
            q.rgbRed = q.rgbGreen = q.rgbBlue = v;
        }
        table[index] = q;
    }
}

bool CDibPal::AllocTable()
{
    m_table.reset(new (std::nothrow) RgbQuad[256]());
    if (!m_table) {
        Dialogs().MessageBox("CDibPal::Create\nOut of memory for image.", kBoxOk);
        return false;
    }
    return true;
}

bool CDibPal::OpenPaletteFile(std::string_view path, RgbQuad* out)
{
    std::vector<uint8_t> data;
    if (!platform::ReadWholeFile(path, data)) {
        Dialogs().MessageBox(platform::FormatText("Failed on Open \"%s\".", {path}), kBoxOk);
        return false;
    }
    if (data.size() < size_t(kFileBytes)) {
        Dialogs().MessageBox(platform::FormatText("Failed on Load \"%s\".", {path}), kBoxOk);
        return false;
    }
    StaticColors(GetProgramVariant(), out);
    for (int i = 0; i < kFileEntries; ++i) {
        RgbQuad& q = out[10 + i];
        q.rgbBlue = data[size_t(i) * 4];
        q.rgbGreen = data[size_t(i) * 4 + 1];
        q.rgbRed = data[size_t(i) * 4 + 2];
        q.rgbReserved = kNoCollapse;
    }
    return true;
}

bool CDibPal::Create(std::string_view path)
{
    RgbQuad table[256];
    if (!OpenPaletteFile(path, table)) return false;
    if (!AllocTable()) return false;
    std::memcpy(m_table.get(), table, sizeof table);
    return true;
}

bool CDibPal::Create(const RgbQuad* table)
{
    if (!AllocTable()) return false;
    if (table != nullptr) std::memcpy(m_table.get(), table, 256 * sizeof(RgbQuad));
    return true;
}

void CDibPal::ApplyColorTable(CDib* target)
{
    if (!m_table) return;
    if (target != nullptr) target->SetColorTable(m_table.get());
    if (m_applied) m_applied();
}

void CDibPal::SetColors(int first, int count, const RgbQuad* src)
{
    if (!m_table || src == nullptr || first < 0 || first >= 256 || count <= 0) return;
    // A caller's range that runs past the table is cut at its end.
    count = std::min(count, 256 - first);
    std::memcpy(m_table.get() + first, src, size_t(count) * sizeof(RgbQuad));
}

int CDibPal::FindColorIndex(COLORREF c) const
{
    if (!m_table) return -1;
    for (int i = 0; i < 256; ++i) {
        const RgbQuad& q = m_table[i];
        if (q.rgbRed == GetRValue(c) && q.rgbGreen == GetGValue(c) && q.rgbBlue == GetBValue(c)) return i;
    }
    return -1;
}

int CDibPal::GetNumColors() const
{
    if (!m_table) {
        Dialogs().MessageBox("CDibPal::GetNumColors\nFailed to get the number of colors in the palette", kBoxOk);
        return 0;
    }
    return 256;
}

namespace {
// ((channel * 256) * level) / 65536 in unsigned arithmetic, as the fades define it.
uint8_t Scale(unsigned channel, unsigned level)
{
    return uint8_t(((channel * 256u) * level) / 65536u);
}
}  // namespace

void CDibPal::FadeFromBlack(const RgbQuad* src, int level)
{
    if (!m_table || src == nullptr) return;
    unsigned lv = unsigned(std::clamp(level, 0, 256));
    for (int i = 10; i <= 245; ++i) {
        m_table[i].rgbRed = Scale(src[i].rgbRed, lv);
        m_table[i].rgbGreen = Scale(src[i].rgbGreen, lv);
        m_table[i].rgbBlue = Scale(src[i].rgbBlue, lv);
    }
}

void CDibPal::FadeToWhite(const RgbQuad* src, int level)
{
    if (!m_table || src == nullptr) return;
    unsigned lv = unsigned(std::clamp(level, 0, 256));
    for (int i = 10; i <= 245; ++i) {
        m_table[i].rgbRed = uint8_t(src[i].rgbRed + Scale(255u - src[i].rgbRed, lv));
        m_table[i].rgbGreen = uint8_t(src[i].rgbGreen + Scale(255u - src[i].rgbGreen, lv));
        m_table[i].rgbBlue = uint8_t(src[i].rgbBlue + Scale(255u - src[i].rgbBlue, lv));
    }
}

void CDibPal::ClearColors()
{
    if (!m_table) return;
    std::fill_n(m_table.get() + 10, kFileEntries, RgbQuad{});
}

bool CDibPal::SetSystemPalette()
{
    Dialogs().MessageBox("Not a palettized device", kBoxOk);
    return false;
}

}  // namespace zrv
