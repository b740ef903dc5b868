// Stand-in for the battle-animation program. It reads the scene block the
// battle program (or the menu's duel) filled, shows the two units briefly
// when there is a display, and always exits: its caller waits without a
// timeout. The block is never written.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/DataLibraryLoader.h"
#include "foundation/GameRealBlock.h"
#include "platform/core/Runtime.h"
#include "platform/core/SharedBlock.h"
#include "standins/zrvreal/RealScene.h"

namespace {

bool EnvSet(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v && std::strcmp(v, "0") != 0;
}

}  // namespace

int main(int argc, char** argv)
{
    zrv::GAMEREALSTRUCT block{};
    {
        platform::SharedBlock shm;
        const auto r = shm.OpenExisting(platform::SharedBlockName(zrv::kGameRealBlockBase),
                                        zrv::kGameRealBlockSize, false);
        // Missing, foreign or short: there is nothing to show.
        if (r != platform::SharedBlock::OpenResult::Ok || !shm.Read(0, &block, sizeof block)) return 0;
    }
    if (const char* dump = std::getenv(zrv::kRealDumpEnv); dump && *dump) WriteRealSceneDump(dump, block);
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (!display || EnvSet(zrv::kRealExitEnv)) return 0;
#ifdef ZRVREAL_WITH_WINDOW
    // Names and pictures need the data library of the program folder; without
    // it (or without the picture files) the scene is shown as text.
    const bool library = zrv::LoadProgramDataLibrary();
    const zrv::DataLibrary* lib = library ? &zrv::Lib() : nullptr;
    const RealSceneText text = DecodeRealScene(block, lib);
    RealScenePicture pictures[2];
    RealSceneArt art;
    if (lib && art.Load(*lib)) {
        static const zrv::REALSIDESTRUCT kEmpty{};
        for (int i = 0; i < 2; ++i)
            if (i == 0 || std::memcmp(&block.Side[i], &kEmpty, sizeof kEmpty) != 0)
                art.Picture(block.Side[i].Unit.nArms, pictures[i]);
    }
    const char* shot = std::getenv("VELMORATH_SCREENSHOT");
    return ShowRealScene(argc, argv, text, pictures, shot ? shot : "");
#else
    (void)argc;
    (void)argv;
    return 0;
#endif
}
