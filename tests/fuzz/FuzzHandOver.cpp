// libFuzzer entry for the hand-over block as the battle program takes it
// (see FuzzHandOver.h).

#include "fuzz/FuzzHandOver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    handover_fuzz::FuzzOne(data, size);
    return 0;
}
