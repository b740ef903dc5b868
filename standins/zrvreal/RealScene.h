#pragma once
// What the stand-in animation makes of a scene block. Every field is taken as
// untrusted: values are clamped for display, never used as indexes.

#include <string>

#include "foundation/GameRealBlock.h"

// The two lines of the window: unit type, strength, loss and shots of each side.
struct RealSceneText {
    std::string side[2];
    std::string caption;
};

RealSceneText DecodeRealScene(const zrv::GAMEREALSTRUCT& block);

// Writes every field of the block, one "name=value" a line, then the raw
// bytes in hex ("raw=..."). Best effort: a file that cannot be written is skipped.
void WriteRealSceneDump(const char* path, const zrv::GAMEREALSTRUCT& block);

// Shows the scene in a small window for a few seconds (or until a key or a
// click); returns the exit code.
int ShowRealScene(int argc, char** argv, const RealSceneText& text);
