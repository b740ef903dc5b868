#include "platform/gfx/Font8.h"

#include <cmath>
#include <cstring>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include "platform/core/Text.h"

// Fontconfig keeps what it builds on its first use until the process ends and
// some of it is never released. A program built with the address sanitizer
// (the fuzz build) reports that at exit and fails; the leak is the font
// library's, so its report is left out, and every program that draws text
// runs with the sanitizer's default options.
#if defined(__SANITIZE_ADDRESS__)
#define VELMORATH_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORATH_LEAK_CHECK 1
#endif
#endif
#ifdef VELMORATH_LEAK_CHECK
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
#endif

namespace platform {
namespace {

// The Windows face names of the game and the IPA families that stand in for
// them. Both sets of faces share the metrics the layouts rely on: the em is the
// whole cell, a full-width character advances one em and a half-width one half.
struct FaceAlias {
    const char* sjisName;  // CP932 (this file is compiled to CP932)
    const char* family;    // UTF-8
    bool cellIsEm;
};
const FaceAlias kAliases[] = {
    {"ＭＳ ゴシック", "IPAGothic", true},
    {"ＭＳ 明朝", "IPAMincho", true},
};

FT_Library Library()
{
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) l = nullptr;
        return l;
    }();
    return lib;
}

const FaceAlias* FindAlias(std::string_view faceSjis)
{
    if (faceSjis.empty()) return &kAliases[0];
    for (const FaceAlias& a : kAliases)
        if (faceSjis == a.sjisName) return &a;
    return nullptr;
}

// Asks fontconfig for a file of family that can show Japanese.
bool ResolveFile(const std::string& family, std::string& path, int& index)
{
    if (!FcInit()) return false;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &res);
    FcPatternDestroy(pat);
    if (match == nullptr) return false;
    FcChar8* file = nullptr;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr;
    if (ok) {
        path = reinterpret_cast<const char*>(file);
        int idx = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &idx) != FcResultMatch) idx = 0;
        index = idx;
    }
    FcPatternDestroy(match);
    return ok;
}

char32_t DecodeUtf8(const std::string& s, size_t& i)
{
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    ++i;
    for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    return cp;
}

}  // namespace

struct Font::FaceHandle {
    FT_Face face = nullptr;
    ~FaceHandle()
    {
        if (face != nullptr) FT_Done_Face(face);
    }
};

std::string FontFamilyFor(std::string_view faceSjis)
{
    if (const FaceAlias* a = FindAlias(faceSjis)) return a->family;
    return SjisToUtf8(faceSjis);
}

std::u32string SjisToCodePoints(std::string_view sjis)
{
    std::u32string out;
    size_t i = 0;
    while (i < sjis.size()) {
        size_t len = (IsSjisLead(static_cast<unsigned char>(sjis[i])) && i + 1 < sjis.size()) ? 2 : 1;
        std::string utf8 = SjisToUtf8(sjis.substr(i, len));
        size_t j = 0;
        out.push_back(utf8.empty() ? U'\uFFFD' : DecodeUtf8(utf8, j));
        i += len;
    }
    return out;
}

std::u32string MissingGlyphs(const std::string& family, std::string_view utf8)
{
    std::u32string chars;
    const std::string text(utf8);
    for (size_t i = 0; i < text.size();) {
        const char32_t cp = DecodeUtf8(text, i);
        if (chars.find(cp) == std::u32string::npos) chars.push_back(cp);
    }
    if (chars.empty() || !FcInit()) return chars;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &res);
    FcPatternDestroy(pat);
    if (match == nullptr) return chars;
    // The face must be of the family itself, under any of its names.
    bool same = false;
    FcChar8* name = nullptr;
    for (int n = 0; !same && FcPatternGetString(match, FC_FAMILY, n, &name) == FcResultMatch; ++n)
        same = FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family.c_str())) == 0;
    FcCharSet* set = nullptr;
    std::u32string missing;
    if (same && FcPatternGetCharSet(match, FC_CHARSET, 0, &set) == FcResultMatch && set != nullptr) {
        for (char32_t cp : chars)
            if (!FcCharSetHasChar(set, static_cast<FcChar32>(cp))) missing.push_back(cp);
    } else {
        missing = chars;
    }
    FcPatternDestroy(match);
    return missing;
}

Font::~Font() = default;

std::unique_ptr<Font> Font::Create(int height, int weight, std::string_view faceSjis)
{
    FT_Library lib = Library();
    if (lib == nullptr || height == 0) return nullptr;
    const FaceAlias* alias = FindAlias(faceSjis);
    std::string family = alias ? alias->family : SjisToUtf8(faceSjis);
    std::string path;
    int index = 0;
    if (!ResolveFile(family, path, index)) return nullptr;

    std::unique_ptr<Font> font(new Font);
    font->m_face = std::make_unique<FaceHandle>();
    if (FT_New_Face(lib, path.c_str(), index, &font->m_face->face) != 0) return nullptr;
    FT_Face face = font->m_face->face;
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);

    double asc = face->ascender;
    double desc = -double(face->descender);
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        // The Windows cell is winAscent + winDescent.
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            asc = os2->usWinAscent;
            desc = os2->usWinDescent;
        }
    }
    if (asc + desc <= 0) asc = face->units_per_EM, desc = 0;

    int h = std::abs(height);
    bool cellIsEm = alias != nullptr && alias->cellIsEm;
    if (height < 0 || cellIsEm) {
        // The stand-in faces take the em of the face they replace, whose cell
        // is exactly one em; that keeps text as wide as the layouts compute.
        font->m_em = h;
        font->m_cell = h;
    } else {
        font->m_cell = h;
        font->m_em = std::max(1, int(std::lround(h * face->units_per_EM / (asc + desc))));
    }
    if (height < 0 && !cellIsEm) font->m_cell = int(std::lround(h * (asc + desc) / face->units_per_EM));
    font->m_ascent = int(std::lround(font->m_cell * asc / (asc + desc)));
    font->m_bold = weight >= 600;
    font->m_path = path;
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(font->m_em)) != 0) return nullptr;
    return font;
}

const Font::Glyph& Font::GlyphFor(char32_t cp) const
{
    auto it = m_glyphs.find(cp);
    if (it != m_glyphs.end()) return it->second;
    Glyph g;
    FT_Face face = m_face->face;
    FT_UInt gi = FT_Get_Char_Index(face, cp);
    if (FT_Load_Glyph(face, gi, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) == 0) {
        // The advance comes from the unhinted outline so that half-width and
        // full-width characters keep their exact 1:2 ratio at every size.
        g.advance = int(std::lround(face->glyph->linearHoriAdvance / 65536.0));
        if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
            // Bold is one pixel of emboldening that leaves the advance alone:
            // byte-counted layouts must not widen with the weight.
            if (m_bold) FT_Outline_Embolden(&face->glyph->outline, 64);
            if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0) {
                const FT_Bitmap& bm = face->glyph->bitmap;
                g.left = face->glyph->bitmap_left;
                g.top = face->glyph->bitmap_top;
                g.width = int(bm.width);
                g.rows = int(bm.rows);
                g.pitch = std::abs(bm.pitch);
                g.bits.resize(size_t(g.pitch) * size_t(g.rows));
                for (int r = 0; r < g.rows; ++r) {
                    const unsigned char* src =
                        bm.pitch >= 0 ? bm.buffer + r * bm.pitch : bm.buffer + (g.rows - 1 - r) * g.pitch;
                    std::memcpy(&g.bits[size_t(r) * size_t(g.pitch)], src, size_t(g.pitch));
                }
            }
        }
    }
    return m_glyphs.emplace(cp, std::move(g)).first->second;
}

int Font::TextWidth(std::string_view sjis) const
{
    int w = 0;
    for (char32_t cp : SjisToCodePoints(sjis)) w += GlyphFor(cp).advance;
    return w;
}

int Font::DrawText(Surface8& surface, int x, int y, std::string_view sjis, uint8_t index) const
{
    int baseline = y + m_ascent;
    for (char32_t cp : SjisToCodePoints(sjis)) {
        const Glyph& g = GlyphFor(cp);
        for (int r = 0; r < g.rows; ++r) {
            const uint8_t* row = &g.bits[size_t(r) * size_t(g.pitch)];
            for (int c = 0; c < g.width; ++c)
                if (row[c >> 3] & (0x80 >> (c & 7))) surface.SetPixel(x + g.left + c, baseline - g.top + r, index);
        }
        x += g.advance;
    }
    return x;
}

int Font::DrawText(Surface8& surface, int x, int y, std::string_view sjis, Rgb colour) const
{
    uint8_t index = surface.Table() ? NearestIndex(*surface.Table(), colour) : 0;
    return DrawText(surface, x, y, sjis, index);
}

}  // namespace platform
