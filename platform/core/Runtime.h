#pragma once
// Per-user names of the things two programs share while they run: the runtime
// folder that holds their lock files and sockets, and the names of the shared
// blocks. A suffix can be set so that tests running side by side never meet.

#include <string>
#include <string_view>

namespace platform {

// $VELMORATH_RUNTIME_DIR when set (tests hand it to the programs they start),
// else $XDG_RUNTIME_DIR/Velmorath/, else /tmp/Velmorath-<uid>/ (made 0700; refused
// unless the user owns it and it is a real folder). Ends in '/'. Empty when no
// safe folder can be had.
std::string RuntimeFolder();

// Tests: put the runtime folder elsewhere ("" goes back to the default) and add
// a suffix to every shared-block name.
void SetRuntimeFolderForTests(const std::string& folder);
void SetSharedNameSuffixForTests(const std::string& suffix);

// "/<base>.<uid>[suffix]": the shm name of a shared block for this user. The
// suffix is the test's, else $VELMORATH_SHM_SUFFIX, else none.
std::string SharedBlockName(std::string_view base);

}  // namespace platform
