#pragma once
// What the stand-in animation makes of a scene block. Every field is taken as
// untrusted: values are clamped for display, and a unit type is used to find
// a name or a picture only when it lies inside the library's tables.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/DataLibrary.h"
#include "foundation/GameRealBlock.h"

// The two lines of the window: unit type, strength, loss and shots of each side.
struct RealSceneText {
    std::string side[2];
    std::string caption;
};

// Names come from lib when given (UTF-8 in the result).
RealSceneText DecodeRealScene(const zrv::GAMEREALSTRUCT& block, const zrv::DataLibrary* lib = nullptr);

// Writes every field of the block, one "name=value" a line, then the raw
// bytes in hex ("raw=..."). Best effort: a file that cannot be written is skipped.
void WriteRealSceneDump(const char* path, const zrv::GAMEREALSTRUCT& block);

// One unit's picture as 0xRRGGBB values, rows from the top; the picture's
// transparent pixels hold kRealTransparent.
inline constexpr uint32_t kRealTransparent = 0xFF000000u;
struct RealScenePicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;
};

// The unit pictures of the program folder ("unit2.pxs" in the colours of
// "Game2.PLB") and where each unit type's picture lies in them.
class RealSceneArt {
public:
    RealSceneArt();
    ~RealSceneArt();
    RealSceneArt(const RealSceneArt&) = delete;
    RealSceneArt& operator=(const RealSceneArt&) = delete;
    // Reads both files; false (and no pictures, never a failure of the
    // scene) when either is missing or damaged.
    bool Load(const zrv::DataLibrary& lib);
    // The picture of the unit type; false for a type outside the library's
    // unit types, a picture number outside its picture table, or a picture
    // that does not lie inside the file.
    bool Picture(int armsType, RealScenePicture& out) const;

private:
    struct Pixels;
    const zrv::DataLibrary* m_lib = nullptr;
    Pixels* m_pixels = nullptr;
};

// Layout of the scene window (pixels): each side's picture box, its text to
// the right.
inline constexpr int kRealWindowWidth = 480;
inline constexpr int kRealWindowHeight = 150;
inline constexpr int kRealPictureX = 12;
constexpr int RealPictureY(int side)
{
    return 12 + side * 66;
}
inline constexpr int kRealTextX = 84;
inline constexpr uint32_t kRealBackground = 0x202838u;

// Shows the scene in a small window for a few seconds (or until a key or a
// click); returns the exit code. With screenshot non-empty the window's
// picture is also saved there as a PNG.
int ShowRealScene(int argc, char** argv, const RealSceneText& text, const RealScenePicture (&pictures)[2],
                  const std::string& screenshot);
