#include "platform/core/SharedBlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

// Maps [offset, offset + length) of fd; returns the address of offset.
struct Mapping {
    void* base = MAP_FAILED;
    size_t length = 0;
    char* at = nullptr;

    Mapping(int fd, size_t offset, size_t len, int prot)
    {
        long page = sysconf(_SC_PAGESIZE);
        size_t start = offset - offset % static_cast<size_t>(page);
        length = len + (offset - start);
        base = mmap(nullptr, length, prot, MAP_SHARED, fd, static_cast<off_t>(start));
        if (base != MAP_FAILED) at = static_cast<char*>(base) + (offset - start);
    }
    ~Mapping()
    {
        if (base != MAP_FAILED) munmap(base, length);
    }
    bool Ok() const { return base != MAP_FAILED; }
};

}  // namespace

SharedBlock::~SharedBlock()
{
    Close();
}

void SharedBlock::Close()
{
    if (m_fd >= 0) close(m_fd);  // releases the lock too
    m_fd = -1;
    m_size = 0;
}

SharedBlock::OpenResult SharedBlock::OpenExisting(const std::string& name, size_t size, bool requireHolder)
{
    Close();
    int fd = shm_open(name.c_str(), O_RDWR, 0);  // sets FD_CLOEXEC itself
    if (fd < 0) return errno == ENOENT ? OpenResult::Missing : OpenResult::Error;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return OpenResult::Error;
    }
    if (st.st_uid != getuid()) {
        close(fd);
        return OpenResult::WrongOwner;
    }
    if (static_cast<size_t>(st.st_size) != size) {
        close(fd);
        return OpenResult::WrongSize;
    }
    if (requireHolder) {
        // An exclusive lock that succeeds means nobody else holds the block.
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            flock(fd, LOCK_UN);
            close(fd);
            return OpenResult::Unheld;
        }
    }
    m_fd = fd;
    m_size = size;
    m_name = name;
    if (!Hold()) {
        Close();
        return OpenResult::Error;
    }
    return OpenResult::Ok;
}

bool SharedBlock::Create(const std::string& name, size_t size)
{
    Close();
    int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    // ftruncate gives zeroed memory.
    if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
        close(fd);
        shm_unlink(name.c_str());
        return false;
    }
    m_fd = fd;
    m_size = size;
    m_name = name;
    return true;
}

bool SharedBlock::Read(size_t offset, void* out, size_t length) const
{
    if (m_fd < 0 || offset > m_size || length > m_size - offset) return false;
    if (length == 0) return true;
    Mapping m(m_fd, offset, length, PROT_READ);
    if (!m.Ok()) return false;
    std::memcpy(out, m.at, length);
    return true;
}

bool SharedBlock::Write(size_t offset, const void* data, size_t length)
{
    if (m_fd < 0 || offset > m_size || length > m_size - offset) return false;
    if (length == 0) return true;
    Mapping m(m_fd, offset, length, PROT_READ | PROT_WRITE);
    if (!m.Ok()) return false;
    std::memcpy(m.at, data, length);
    return true;
}

bool SharedBlock::HasOtherHolder() const
{
    if (m_fd < 0) return false;
    // A second open file description: its lock conflicts with every other
    // holder's, ours included when we hold one.
    int fd = shm_open(m_name.c_str(), O_RDONLY, 0);
    if (fd < 0) return false;
    bool held = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return held;
}

bool SharedBlock::Hold()
{
    return m_fd >= 0 && flock(m_fd, LOCK_SH) == 0;
}

void SharedBlock::Unlink()
{
    if (!m_name.empty()) shm_unlink(m_name.c_str());
}

bool SharedBlock::CloseAndUnlinkIfLast()
{
    if (m_fd < 0) return false;
    std::string name = m_name;
    Close();
    // A fresh descriptor gets the exclusive lock only when no other holder is
    // left.
    int fd = shm_open(name.c_str(), O_RDONLY, 0);
    if (fd < 0) return false;
    bool last = flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (last) shm_unlink(name.c_str());
    close(fd);
    return last;
}

bool SharedBlock::Exists(const std::string& name)
{
    int fd = shm_open(name.c_str(), O_RDONLY, 0);
    if (fd < 0) return false;
    close(fd);
    return true;
}

void SharedBlock::Remove(const std::string& name)
{
    shm_unlink(name.c_str());
}

}  // namespace platform
