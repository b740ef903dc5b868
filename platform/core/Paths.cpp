#include "platform/core/Paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>

#include "platform/core/Text.h"

namespace platform {
namespace {

struct FolderTable {
    std::mutex lock;
    bool programFolderSet = false;
    std::string programNative;  // ends in '/'
    std::string programSjis;    // ends in '\'
    // CP932 rendering -> native folder, longest match wins.
    std::map<std::string, std::string> renderings;
};

FolderTable& Folders()
{
    static FolderTable t;
    return t;
}

std::string WithSlash(std::string dir)
{
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

// CP932 rendering of a native folder: UTF-8 converted, '/' turned into '\'.
// A character CP932 cannot hold is rendered as '?'; the table maps it back.
std::string RenderFolder(const std::string& nativeDir)
{
    std::string s = Utf8ToSjis(nativeDir);
    // Only single '/' bytes are separators here; CP932 output never has 0x2F
    // as a trail byte.
    for (char& c : s) {
        if (c == '/') c = '\\';
    }
    if (s.empty() || s.back() != '\\') s += '\\';
    return s;
}

std::string ExeFolder()
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string p(buf, static_cast<size_t>(n));
    size_t slash = p.rfind('/');
    return slash == std::string::npos ? std::string("./") : p.substr(0, slash + 1);
}

void EnsureProgramFolderLocked(FolderTable& t)
{
    if (t.programFolderSet) return;
    t.programNative = ExeFolder();
    t.programSjis = RenderFolder(t.programNative);
    t.renderings[t.programSjis] = t.programNative;
    t.programFolderSet = true;
}

bool IsDir(const std::string& p)
{
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& p)
{
    struct stat st;
    return stat(p.c_str(), &st) == 0;
}

// ASCII case folding: the game's names are ASCII apart from Japanese, which
// has no case.
bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// Finds an entry of dir whose name matches name without regard to case.
bool FindCaseVariant(const std::string& dir, const std::string& name, std::string& found)
{
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    bool ok = false;
    while (dirent* e = readdir(d)) {
        std::string entry = e->d_name;
        if (entry == "." || entry == "..") continue;
        if (SameIgnoringCase(entry, name)) {
            found = entry;
            ok = true;
            break;
        }
    }
    closedir(d);
    return ok;
}

}  // namespace

const std::string& ProgramFolder()
{
    FolderTable& t = Folders();
    std::lock_guard<std::mutex> g(t.lock);
    EnsureProgramFolderLocked(t);
    return t.programSjis;
}

const std::string& ProgramFolderNative()
{
    FolderTable& t = Folders();
    std::lock_guard<std::mutex> g(t.lock);
    EnsureProgramFolderLocked(t);
    return t.programNative;
}

void SetProgramFolder(const std::string& nativeDir)
{
    FolderTable& t = Folders();
    std::lock_guard<std::mutex> g(t.lock);
    t.programNative = WithSlash(nativeDir);
    t.programSjis = RenderFolder(t.programNative);
    t.renderings[t.programSjis] = t.programNative;
    t.programFolderSet = true;
}

std::string DataPath(std::string_view name)
{
    return ProgramFolder() + "Data\\" + std::string(name);
}

std::string ScenarioPath(std::string_view name)
{
    return ProgramFolder() + "Scenario\\" + std::string(name);
}

std::string MoviePath(std::string_view name)
{
    return ProgramFolder() + "MOVIE\\" + std::string(name);
}

std::string RegisterNativeFolder(const std::string& nativeDir)
{
    FolderTable& t = Folders();
    std::lock_guard<std::mutex> g(t.lock);
    EnsureProgramFolderLocked(t);
    std::string native = WithSlash(nativeDir);
    std::string sjis = RenderFolder(native);
    t.renderings[sjis] = native;
    return sjis;
}

std::string FromNativePath(const std::string& nativePath)
{
    size_t slash = nativePath.rfind('/');
    if (slash == std::string::npos) return Utf8ToSjis(nativePath);
    std::string folder = RegisterNativeFolder(nativePath.substr(0, slash + 1));
    return folder + Utf8ToSjis(nativePath.substr(slash + 1));
}

std::string ToNativePath(std::string_view sjisPath)
{
    // Swap a known folder prefix back for its native form (longest first).
    std::string base;
    std::string_view rest = sjisPath;
    {
        FolderTable& t = Folders();
        std::lock_guard<std::mutex> g(t.lock);
        EnsureProgramFolderLocked(t);
        size_t best = 0;
        for (const auto& [sjis, native] : t.renderings) {
            if (sjis.size() > best && sjisPath.size() >= sjis.size() &&
                sjisPath.compare(0, sjis.size(), sjis) == 0) {
                best = sjis.size();
                base = native;
            }
        }
        rest.remove_prefix(best);
    }

    // Convert before splitting: a '\' byte may be the second half of 表.
    std::string utf8 = SjisToUtf8(rest);
    for (char& c : utf8) {
        if (c == '\\') c = '/';
    }

    std::string out = base;
    if (out.empty() && !utf8.empty() && utf8[0] == '/') out = "/";
    size_t pos = 0;
    std::vector<std::string> parts;
    while (pos <= utf8.size()) {
        size_t next = utf8.find('/', pos);
        if (next == std::string::npos) next = utf8.size();
        if (next > pos) parts.push_back(utf8.substr(pos, next - pos));
        pos = next + 1;
    }
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        std::string candidate = out + part;
        if (part != "." && part != ".." && !Exists(candidate)) {
            std::string found;
            if (FindCaseVariant(out, part, found)) candidate = out + found;
        }
        out = candidate;
        if (i + 1 < parts.size()) out += '/';
    }
    return out;
}

namespace {

// Opens a regular file for reading; -1 when it cannot be opened or is not one.
int OpenRegularFile(std::string_view sjisPath, struct stat& st)
{
    const std::string p = ToNativePath(sjisPath);
    const int fd = open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

// Reads until buf is full or the file ends; the bytes read, or -1 on an error.
ssize_t ReadFull(int fd, uint8_t* buf, size_t n)
{
    size_t got = 0;
    while (got < n) {
        const ssize_t r = read(fd, buf + got, n - got);
        if (r < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    return static_cast<ssize_t>(got);
}

}  // namespace

bool FileExistsSjis(std::string_view sjisPath)
{
    struct stat st;
    const int fd = OpenRegularFile(sjisPath, st);
    if (fd < 0) return false;
    close(fd);
    return true;
}

bool ReadWholeFile(std::string_view sjisPath, std::vector<uint8_t>& out)
{
    struct stat st;
    const int fd = OpenRegularFile(sjisPath, st);
    if (fd < 0) return false;
    // Straight into the vector at the size the file had when opened.
    std::vector<uint8_t> data(static_cast<size_t>(st.st_size));
    const ssize_t n = ReadFull(fd, data.data(), data.size());
    bool ok = n >= 0;
    if (ok && static_cast<size_t>(n) < data.size()) {
        data.resize(static_cast<size_t>(n));
    } else if (ok) {
        // A file that grew meanwhile is read on to its end.
        uint8_t more[65536];
        for (;;) {
            const ssize_t m = ReadFull(fd, more, sizeof more);
            if (m < 0) ok = false;
            if (m <= 0) break;
            data.insert(data.end(), more, more + m);
            if (static_cast<size_t>(m) < sizeof more) break;
        }
    }
    close(fd);
    if (ok) out.swap(data);
    return ok;
}

bool ReadFileStart(std::string_view sjisPath, std::span<const std::span<uint8_t>> into, size_t& got)
{
    struct stat st;
    const int fd = OpenRegularFile(sjisPath, st);
    if (fd < 0) return false;
    got = 0;
    for (std::span<uint8_t> buf : into) {
        const ssize_t n = ReadFull(fd, buf.data(), buf.size());
        if (n < 0) {
            close(fd);
            return false;
        }
        got += static_cast<size_t>(n);
        if (static_cast<size_t>(n) < buf.size()) break;
    }
    close(fd);
    return true;
}

namespace {

constexpr const char kTempPrefix[] = ".velmorath-";

// When this process started, in the real-time clock's terms (to the
// scheduler's tick), from its start in ticks after boot.
struct timespec ProcessStartTime()
{
    static const struct timespec start = [] {
        struct timespec t{};
        std::FILE* f = std::fopen("/proc/self/stat", "r");
        if (!f) return t;
        char buf[1024];
        size_t n = std::fread(buf, 1, sizeof buf - 1, f);
        std::fclose(f);
        buf[n] = '\0';
        // The name in parentheses may hold spaces: count fields after its end.
        const char* p = std::strrchr(buf, ')');
        unsigned long long ticks = 0;
        for (int field = 3; p && field <= 22; ++field) {
            p = std::strchr(p + 1, ' ');
            if (p && field == 22) ticks = std::strtoull(p + 1, nullptr, 10);
        }
        const long hz = sysconf(_SC_CLK_TCK);
        struct timespec now{}, boot{};
        if (ticks == 0 || hz <= 0 || clock_gettime(CLOCK_REALTIME, &now) != 0 ||
            clock_gettime(CLOCK_BOOTTIME, &boot) != 0)
            return t;
        const long double sinceStart = (long double)(boot.tv_sec) + boot.tv_nsec / 1e9L - (long double)ticks / hz;
        const long double at = (long double)(now.tv_sec) + now.tv_nsec / 1e9L - sinceStart;
        t.tv_sec = static_cast<time_t>(at);
        t.tv_nsec = static_cast<long>((at - (long double)t.tv_sec) * 1e9L);
        return t;
    }();
    return start;
}

// A save killed half way leaves its temporary file. Ours (name and owner)
// that were last written before this process started belong to no save
// still running here, and a save of another process keeps writing its own.
void RemoveStaleTemporaries(const std::string& dir)
{
    const struct timespec start = ProcessStartTime();
    if (start.tv_sec == 0) return;
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return;
    while (struct dirent* e = readdir(d)) {
        if (std::strncmp(e->d_name, kTempPrefix, sizeof kTempPrefix - 1) != 0 ||
            std::strlen(e->d_name) != sizeof kTempPrefix - 1 + 6)
            continue;
        struct stat st;
        if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != geteuid())
            continue;
        const bool older = st.st_mtim.tv_sec < start.tv_sec ||
                           (st.st_mtim.tv_sec == start.tv_sec && st.st_mtim.tv_nsec < start.tv_nsec);
        if (older) unlinkat(dirfd(d), e->d_name, 0);
    }
    closedir(d);
}

// Makes the rename itself last through a power loss.
void SyncFolder(const std::string& dir)
{
    int fd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

bool WriteFileAtomic(std::string_view sjisPath, std::span<const uint8_t> data)
{
    std::string target = ToNativePath(sjisPath);
    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    RemoveStaleTemporaries(dir);
    std::string tmpl = dir + kTempPrefix + "XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
        } else {
            done += static_cast<size_t>(n);
        }
    }
    if (ok && fsync(fd) != 0) ok = false;
    if (close(fd) != 0) ok = false;
    if (ok) fchmodat(AT_FDCWD, name.data(), 0644, 0);
    if (ok && rename(name.data(), target.c_str()) != 0) ok = false;
    if (!ok) unlink(name.data());
    if (ok) SyncFolder(dir);
    return ok;
}

bool FileModTime(std::string_view sjisPath, std::time_t& out)
{
    std::string p = ToNativePath(sjisPath);
    struct stat st;
    if (stat(p.c_str(), &st) != 0) return false;
    out = st.st_mtime;
    return true;
}

std::string FindDiscRootWithFile(std::string_view relPath)
{
    auto holds = [&](const std::string& nativeRoot) {
        std::string sjisRoot = RegisterNativeFolder(nativeRoot);
        return FileExistsSjis(sjisRoot + std::string(relPath)) ? sjisRoot : std::string();
    };
    if (const char* env = std::getenv("VELMORATH_DISC"); env && *env) {
        if (std::string r = holds(env); !r.empty()) return r;
    }
    if (std::string r = holds(ProgramFolderNative()); !r.empty()) return r;

    std::vector<std::string> mediaDirs = {"/media"};
    if (const char* user = std::getenv("USER"); user && *user) {
        mediaDirs.push_back(std::string("/run/media/") + user);
        mediaDirs.push_back(std::string("/media/") + user);
    }
    mediaDirs.push_back("/mnt");
    for (const std::string& m : mediaDirs) {
        if (!IsDir(m)) continue;
        if (DIR* d = opendir(m.c_str())) {
            std::vector<std::string> subs;
            while (dirent* e = readdir(d)) {
                std::string n = e->d_name;
                if (n != "." && n != "..") subs.push_back(m + "/" + n);
            }
            closedir(d);
            for (const std::string& s : subs) {
                if (!IsDir(s)) continue;
                if (std::string r = holds(s); !r.empty()) return r;
            }
        }
    }
    return {};
}

}  // namespace platform
