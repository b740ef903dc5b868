#pragma once
// Text into 8-bit pixels: FreeType glyphs rendered without anti-aliasing, each
// set pixel written as one palette index, the way text lands on an 8-bit DIB.
//
// Faces are asked for by the names the game uses (CP932 strings such as
// "ＭＳ ゴシック"). fontconfig knows none of them and would fall back to a face
// without Japanese, so those names are mapped to the IPA families here before
// fontconfig is asked. Heights follow the Windows convention: a negative height
// is the em in pixels, a positive one the cell height (ascent + descent).

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Surface8.h"

namespace platform {

// The fontconfig family that stands in for a face name (CP932). Unknown names
// are passed on as they stand (converted to UTF-8); an empty name is the
// fixed-pitch gothic face.
std::string FontFamilyFor(std::string_view faceSjis);

class Font {
public:
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Opens the face for faceSjis at a Windows-style height; weight 700 or more
    // is drawn bold. Null when no face can be found or opened.
    static std::unique_ptr<Font> Create(int height, int weight, std::string_view faceSjis);

    // The em in pixels (a full-width character's advance in the fixed-pitch
    // faces; a half-width one advances exactly half of it when the em is even).
    int EmPixels() const { return m_em; }
    // Pixels from the top of the cell to the baseline, and the cell height.
    int Ascent() const { return m_ascent; }
    int CellHeight() const { return m_cell; }
    bool IsBold() const { return m_bold; }
    const std::string& FilePath() const { return m_path; }

    // Width in pixels of a CP932 text drawn in this font.
    int TextWidth(std::string_view sjis) const;
    // Draws a CP932 text with the top of its cell at y; returns the x after it.
    int DrawText(Surface8& surface, int x, int y, std::string_view sjis, uint8_t index) const;
    // Same, in the surface's palette index nearest to colour.
    int DrawText(Surface8& surface, int x, int y, std::string_view sjis, Rgb colour) const;

private:
    struct Glyph {
        int advance = 0;
        int left = 0;  // bitmap origin relative to the pen and the baseline
        int top = 0;
        int width = 0;
        int rows = 0;
        int pitch = 0;
        std::vector<uint8_t> bits;  // one bit per pixel, most significant first
    };

    Font() = default;
    const Glyph& GlyphFor(char32_t cp) const;

    struct FaceHandle;
    std::unique_ptr<FaceHandle> m_face;
    std::string m_path;
    int m_em = 0;
    int m_ascent = 0;
    int m_cell = 0;
    bool m_bold = false;
    mutable std::map<char32_t, Glyph> m_glyphs;
};

// The code points of a CP932 text, one per character; bytes that are not
// valid CP932 become U+FFFD.
std::u32string SjisToCodePoints(std::string_view sjis);

// The characters of a UTF-8 text that the face fontconfig gives for family
// cannot draw, each once, in text order. When fontconfig answers with a face
// of another family (family is not installed) every character is missing.
std::u32string MissingGlyphs(const std::string& family, std::string_view utf8);

}  // namespace platform
