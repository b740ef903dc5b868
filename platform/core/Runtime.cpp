#include "platform/core/Runtime.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace platform {
namespace {

std::mutex g_lock;
std::string g_folderOverride;
std::string g_suffix;

// Makes dir (0700) when missing and accepts it only when it is a real folder
// of ours that nobody else may write to.
bool EnsurePrivateFolder(const std::string& dir)
{
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st;
    if (lstat(dir.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != getuid()) return false;
    if ((st.st_mode & 0077) != 0 && chmod(dir.c_str(), 0700) != 0) return false;
    return true;
}

}  // namespace

std::string RuntimeFolder()
{
    {
        std::lock_guard<std::mutex> g(g_lock);
        if (!g_folderOverride.empty()) {
            return EnsurePrivateFolder(g_folderOverride) ? g_folderOverride + "/" : std::string();
        }
    }
    // Programs started by a test inherit its private folder.
    if (const char* own = std::getenv("VELMORATH_RUNTIME_DIR"); own && *own == '/') {
        std::string dir = own;
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        return EnsurePrivateFolder(dir) ? dir + "/" : std::string();
    }
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && *xdg == '/') {
        std::string dir = std::string(xdg) + "/Velmorath";
        if (EnsurePrivateFolder(dir)) return dir + "/";
    }
    std::string dir = "/tmp/Velmorath-" + std::to_string(getuid());
    return EnsurePrivateFolder(dir) ? dir + "/" : std::string();
}

void SetRuntimeFolderForTests(const std::string& folder)
{
    std::lock_guard<std::mutex> g(g_lock);
    g_folderOverride = folder;
    while (g_folderOverride.size() > 1 && g_folderOverride.back() == '/') g_folderOverride.pop_back();
}

void SetSharedNameSuffixForTests(const std::string& suffix)
{
    std::lock_guard<std::mutex> g(g_lock);
    g_suffix = suffix;
}

std::string SharedBlockName(std::string_view base)
{
    std::lock_guard<std::mutex> g(g_lock);
    std::string name = "/";
    name += base;
    name += '.';
    name += std::to_string(getuid());
    if (const char* env = std::getenv("VELMORATH_SHM_SUFFIX"); env && g_suffix.empty()) {
        name += env;
    }
    name += g_suffix;
    return name;
}

}  // namespace platform
