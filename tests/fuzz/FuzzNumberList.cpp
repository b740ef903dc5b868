// Fuzz target for the number-list parser: its input is a profile value that a
// user can edit by hand, so any bytes at all must parse without reading or
// writing out of bounds, store at most the capacity, and count every number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/Utility.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);  // stops at the first NUL
    int out[5] = {0, 0, 0, 0, 0x5EED};
    int count = zrv::ParseNumberList(text.c_str(), out, 4);
    if (count < 0 || out[4] != 0x5EED) std::abort();
    if (count <= 4) {
        // What was stored reads back the same through the writer.
        std::string joined;
        zrv::JoinNumberList(count, out, joined);
        int back[4];
        if (zrv::ParseNumberList(joined.c_str(), back, 4) != count) std::abort();
        for (int i = 0; i < count; ++i) {
            if (back[i] != out[i]) std::abort();
        }
    }
    return 0;
}
