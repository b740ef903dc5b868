#include "ShippedContent.h"

#include <dlfcn.h>

#include <cstdlib>

#include "platform/core/Text.h"
#include "standins/zrvdata/ContentTable.h"

namespace zrvdata_formats {
std::span<const zrvcontent::ContentTable> Tables();
}

namespace zrvtest {

std::string StageDir()
{
    // The build's stage folder, unless the environment names another one.
    const char* dir = std::getenv("VELMORATH_STAGE_DIR");
    std::string s = dir ? dir : ZRV_STAGE_DIR;
    if (s.back() != '/') s += '/';
    return s;
}

const zrv::DataLibraryModule& ShippedLibrary()
{
    static zrv::DataLibraryModule module;
    static bool opened = [] {
        std::string why;
        bool ok = module.Open(StageDir() + zrv::kDataLibraryFile, &why);
        if (!ok) std::fprintf(stderr, "shipped library: %s\n", why.c_str());
        return ok;
    }();
    (void)opened;
    return module;
}

int ShippedContentFaults()
{
    // The same file is already open, so this only finds the loaded copy.
    void* h = dlopen((StageDir() + zrv::kDataLibraryFile).c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h == nullptr) return -1;
    auto* faults = static_cast<const int*>(dlsym(h, "ZrvContentFaults"));
    int n = faults ? *faults : -1;
    dlclose(h);
    return n;
}

std::vector<TextFormat> DeclaredFormats()
{
    std::vector<TextFormat> out;
    for (const auto& t : zrvdata_formats::Tables()) {
        const int table = t.Column("table"), index = t.Column("index"), args = t.Column("args");
        for (int r = 0; r < t.rows; ++r) {
            out.push_back({t.Cell(r, table), std::atoi(t.Cell(r, index)), t.Cell(r, args)});
        }
    }
    return out;
}

}  // namespace zrvtest
