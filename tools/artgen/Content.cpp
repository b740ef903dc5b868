// The content tables the art is drawn from: the terrain colours of the
// battle palette, the overview colours of each terrain (the HQ map's small
// hexes use the same ones) and the pictures the endings name.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>

#include "tools/artgen/Art.h"

namespace artgen {
namespace {

// One CSV table: header names and rows of cells. Quotes group a cell and ""
// is a quote inside one; lines starting with '#' are comments.
struct Csv {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;

    int Column(const std::string& name) const
    {
        for (size_t i = 0; i < header.size(); ++i)
            if (header[i] == name) return int(i);
        return -1;
    }
};

std::vector<std::string> SplitRecord(const std::string& line)
{
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            cells.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            cells.emplace_back();
        } else if (c != '\r') {
            cells.back() += c;
        }
    }
    return cells;
}

bool ReadCsv(const std::string& path, const std::vector<std::string>& needed, Csv& out)
{
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "artgen: cannot open %s\n", path.c_str());
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (out.header.empty()) out.header = SplitRecord(line);
        else out.rows.push_back(SplitRecord(line));
    }
    for (const std::string& n : needed)
        if (out.Column(n) < 0) {
            std::fprintf(stderr, "artgen: %s has no column %s\n", path.c_str(), n.c_str());
            return false;
        }
    for (const auto& r : out.rows)
        if (r.size() != out.header.size()) {
            std::fprintf(stderr, "artgen: %s: a row has %zu cells, the header %zu\n", path.c_str(), r.size(),
                         out.header.size());
            return false;
        }
    return true;
}

// A whole number, or false.
bool Number(const std::string& s, long& v)
{
    if (s.empty()) return false;
    char* end = nullptr;
    v = std::strtol(s.c_str(), &end, 0);
    return *end == '\0';
}

// "a-b" or "a": the index range of a terrain row.
bool IndexRange(const std::string& s, long& first, long& last)
{
    size_t dash = s.find('-');
    if (dash == std::string::npos) return Number(s, first) && (last = first, true);
    return Number(s.substr(0, dash), first) && Number(s.substr(dash + 1), last) && first <= last;
}

bool ReadTerrainColours(const std::string& path, std::vector<platform::RgbQuad>& out)
{
    Csv t;
    if (!ReadCsv(path, {"k", "entry", "red", "green", "blue"}, t)) return false;
    out.assign(82, platform::RgbQuad{});
    std::vector<bool> seen(82, false);
    for (const auto& r : t.rows) {
        long k, entry, c[3];
        if (!Number(r[size_t(t.Column("k"))], k) || !Number(r[size_t(t.Column("entry"))], entry) ||
            !Number(r[size_t(t.Column("red"))], c[0]) || !Number(r[size_t(t.Column("green"))], c[1]) ||
            !Number(r[size_t(t.Column("blue"))], c[2])) {
            std::fprintf(stderr, "artgen: %s: a row is not numbers\n", path.c_str());
            return false;
        }
        if (k != 0 || entry < 98 || entry > 179) continue;
        platform::RgbQuad q;
        q.rgbRed = uint8_t(c[0]);
        q.rgbGreen = uint8_t(c[1]);
        q.rgbBlue = uint8_t(c[2]);
        out[size_t(entry - 98)] = q;
        seen[size_t(entry - 98)] = true;
    }
    for (size_t i = 0; i < seen.size(); ++i)
        if (!seen[i]) {
            std::fprintf(stderr, "artgen: %s has no colour for entry %zu of set 0\n", path.c_str(), 98 + i);
            return false;
        }
    return true;
}

bool ReadOverviewColours(const std::string& path, std::array<std::array<uint8_t, 4>, 128>& out)
{
    Csv t;
    if (!ReadCsv(path, {"index", "smap"}, t)) return false;
    std::vector<bool> seen(out.size(), false);
    for (const auto& r : t.rows) {
        long first, last;
        if (!IndexRange(r[size_t(t.Column("index"))], first, last) || first < 0 || last >= long(out.size())) {
            std::fprintf(stderr, "artgen: %s: bad terrain index %s\n", path.c_str(), r[0].c_str());
            return false;
        }
        std::array<uint8_t, 4> p{};
        const std::string& cell = r[size_t(t.Column("smap"))];
        size_t at = 0;
        for (int k = 0; k < 4; ++k) {
            size_t end = cell.find(' ', at);
            long v;
            // Only drawable entries: 0 is the transparent key and 1-9 and
            // 246-255 are the programs' static colours.
            if (!Number(cell.substr(at, end - at), v) || v < 10 || v > 245) {
                std::fprintf(stderr, "artgen: %s: terrain %ld has a bad overview colour list \"%s\"\n", path.c_str(),
                             first, cell.c_str());
                return false;
            }
            p[size_t(k)] = uint8_t(v);
            at = end == std::string::npos ? cell.size() : end + 1;
        }
        for (long i = first; i <= last; ++i) {
            out[size_t(i)] = p;
            seen[size_t(i)] = true;
        }
    }
    for (size_t i = 0; i < seen.size(); ++i)
        if (!seen[i]) {
            std::fprintf(stderr, "artgen: %s has no row for terrain %zu\n", path.c_str(), i);
            return false;
        }
    return true;
}

bool ReadEndingPictures(const std::string& path, std::vector<ContentInputs::EndingPicture>& out)
{
    Csv t;
    if (!ReadCsv(path, {"title", "picture", "palette"}, t)) return false;
    for (const auto& r : t.rows) {
        ContentInputs::EndingPicture e{r[size_t(t.Column("title"))], r[size_t(t.Column("picture"))],
                                       r[size_t(t.Column("palette"))]};
        // An empty picture name shows no picture (the scene keeps the map).
        if (e.picture.empty()) continue;
        if (e.picture.find_first_of("/\\") != std::string::npos || e.palette.find_first_of("/\\") != std::string::npos) {
            std::fprintf(stderr, "artgen: %s: \"%s\" is not a plain file name\n", path.c_str(), e.picture.c_str());
            return false;
        }
        out.push_back(e);
    }
    return true;
}

}  // namespace

bool ReadContent(const std::string& contentDir, ContentInputs& out)
{
    return ReadTerrainColours(contentDir + "/terrain_colors.csv", out.terrain82) &&
           ReadOverviewColours(contentDir + "/terrain.csv", out.overview) &&
           ReadEndingPictures(contentDir + "/ending_pictures.csv", out.endingPictures);
}

}  // namespace artgen
