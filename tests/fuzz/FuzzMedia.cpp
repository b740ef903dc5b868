// libFuzzer entries for the readers of pictures, palettes, sound effects and
// the battle-scene block; VELMORATH_FUZZ_MEDIA names which. Pictures and
// palettes are read from files, so each input is written to a scratch file
// first. Besides "no crash, no sanitizer report", each checks what a reader
// promises: a refused picture leaves the picture it was to change as it was.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "datafiles/FixtureLibrary.h"
#include "foundation/DirectSound.h"
#include "foundation/Dib.h"
#include "foundation/DibPal.h"
#include "foundation/GameRealBlock.h"
#include "platform/core/Paths.h"
#include "standins/zrvreal/RealScene.h"

namespace {

enum class Media { Picture, Palette, Wave, Scene };

[[noreturn]] void Broken(const char* what)
{
    std::fprintf(stderr, "reader promise broken: %s\n", what);
    std::abort();
}

void Install()
{
    static datafiles_test::SilentDialogs dialogs;
    zrv::SetLib(&datafiles_test::FixtureLibrary());
    zrv::SetDialogs(&dialogs);
}

// A scratch file per process, named as the program names its own files.
std::string Scratch(const char* name, std::span<const uint8_t> bytes)
{
    static const std::string dir = [] {
        std::string d = "/tmp/velmorath-fuzz-" + std::to_string(getpid());
        ::mkdir(d.c_str(), 0700);
        platform::SetProgramFolder(d);
        return d + "/";
    }();
    std::FILE* f = std::fopen((dir + name).c_str(), "wb");
    if (!f) Broken("scratch file");
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return platform::ProgramFolder() + name;
}

zrv::RgbQuad* Table()
{
    static zrv::RgbQuad table[256];
    return table;
}

// The first byte picks the call, the next ones its numbers; the rest is the
// file (for two files, split where the second byte says).
void FuzzPicture(std::span<const uint8_t> data)
{
    if (data.size() < 3) return;
    const uint8_t mode = data[0] % 4;
    const uint8_t a = data[1], b = data[2];
    const std::span<const uint8_t> file = data.subspan(3);
    zrv::CDib dib;
    switch (mode) {
        case 0:
            dib.CreateFromPXS(Table(), Scratch("p.pxs", file));
            break;
        case 1:
            // A band of rows: first row and count, negative ones included.
            dib.CreateFromPXS(Table(), Scratch("p.pxs", file), int(int8_t(a)), int(int8_t(b)));
            break;
        case 2: {
            const size_t cut = std::min<size_t>(file.size(), size_t(a) * 4);
            dib.CreateFromTwoPXS(Table(), Scratch("a.pxs", file.first(cut)), Scratch("b.pxs", file.subspan(cut)));
            break;
        }
        case 3: {
            // Part of a picture of its own replaced from the file.
            const int w = 1 + a % 64, h = 1 + b % 64;
            if (!dib.Create(w, h, Table())) Broken("create");
            const size_t size = size_t(dib.GetStride()) * size_t(h);
            std::memset(dib.GetBits(), 0x5A, size);
            const std::vector<uint8_t> before(dib.GetBits(), dib.GetBits() + size);
            const int part = file.empty() ? -1 : int(file[0] % (h + 2)) - 1;
            const bool ok = dib.LoadBits(Scratch("p.pxs", file), -1, part);
            if (!ok && std::memcmp(before.data(), dib.GetBits(), size) != 0) Broken("refused part changed the picture");
            // Raw counts: the whole block, one past it, none.
            dib.LoadBits(Scratch("p.pxs", file), (long long)size);
            dib.LoadBits(Scratch("p.pxs", file), (long long)size + 1);
            dib.LoadBits(Scratch("p.pxs", file), 0);
            break;
        }
    }
    if (dib.GetBits() != nullptr) {
        // A picture that was made is whole: every row can be addressed.
        const int w = dib.GetWidth(), h = dib.GetHeight();
        if (w <= 0 || h <= 0) Broken("picture without size");
        volatile uint8_t sink = *dib.GetPixelPtr(w - 1, h - 1);
        (void)sink;
    }
}

void FuzzPalette(std::span<const uint8_t> data)
{
    const std::string path = Scratch("p.PLB", data);
    zrv::RgbQuad out[256];
    std::memset(out, 0x33, sizeof out);
    zrv::RgbQuad before[256];
    std::memcpy(before, out, sizeof out);
    if (!zrv::CDibPal::OpenPaletteFile(path, out) && std::memcmp(before, out, sizeof out) != 0)
        Broken("refused palette changed the table");
    zrv::CDibPal pal;
    if (pal.Create(path) && pal.GetNumColors() != 256) Broken("palette without 256 colours");
}

void FuzzWave(std::span<const uint8_t> data)
{
    platform::WaveFormat format;
    std::span<const uint8_t> samples;
    if (!zrv::CDSBuffer::ParseWave(data, format, samples)) return;
    if (samples.data() < data.data() || samples.data() + samples.size() > data.data() + data.size())
        Broken("samples outside the file");
}

void FuzzScene(std::span<const uint8_t> data)
{
    zrv::GAMEREALSTRUCT block{};
    std::memcpy(&block, data.data(), std::min(data.size(), sizeof block));
    const RealSceneText text = DecodeRealScene(block, &datafiles_test::FixtureLibrary());
    (void)text;
    static RealSceneArt art;
    static const bool loaded = [] {
        if (const char* stage = std::getenv("VELMORATH_STAGE_DIR")) platform::SetProgramFolder(stage);
        return art.Load(datafiles_test::FixtureLibrary());
    }();
    (void)loaded;
    for (const auto& side : block.Side) {
        RealScenePicture picture;
        if (art.Picture(side.Unit.nArms, picture) &&
            picture.rgb.size() != size_t(picture.width) * size_t(picture.height))
            Broken("picture of the wrong size");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Install();
    const std::span<const uint8_t> bytes(data, size);
    switch (Media::VELMORATH_FUZZ_MEDIA) {
        case Media::Picture:
            FuzzPicture(bytes);
            break;
        case Media::Palette:
            FuzzPalette(bytes);
            break;
        case Media::Wave:
            FuzzWave(bytes);
            break;
        case Media::Scene:
            FuzzScene(bytes);
            break;
    }
    return 0;
}
