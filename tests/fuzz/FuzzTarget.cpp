// libFuzzer entry for one reader; VELMORATH_FUZZ_READER names which.

#include "fuzz/FuzzReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    datafiles_fuzz::FuzzOne(datafiles_fuzz::Reader::VELMORATH_FUZZ_READER, data, size);
    return 0;
}
