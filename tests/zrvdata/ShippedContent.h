#pragma once
// The shipped data library as the tests see it, loaded from the staged
// program folder, and the declared format arguments of its texts.

#include <string>
#include <vector>

#include "LibraryChecks.h"
#include "foundation/DataLibraryLoader.h"

namespace zrvtest {

// Folder that holds the programs and libZRVData.so (ends in '/').
std::string StageDir();
// The shipped library, opened once for the whole test program.
const zrv::DataLibraryModule& ShippedLibrary();
// Content faults the library's builder counted while loading.
int ShippedContentFaults();
// The rows of text_formats.csv.
std::vector<TextFormat> DeclaredFormats();

}  // namespace zrvtest
