#pragma once
// A named block of memory shared by the two programs of one user (POSIX shared
// memory). Access is map-copy-unmap: the block is mapped only for the length of
// one read or write, so no pointer into it is ever kept.
//
// Each program that uses the block keeps a shared lock on its descriptor for as
// long as it does; "no live holder" therefore means an exclusive lock can be
// had, which tells a block left by a crash from one still in use.

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class SharedBlock {
public:
    enum class OpenResult {
        Ok,
        Missing,     // no block of that name
        WrongOwner,  // made by another user
        WrongSize,   // not the size the caller expects: not ours
        Unheld,      // nobody holds it (left by a program that ended)
        Error,
    };

    SharedBlock() = default;
    ~SharedBlock();
    SharedBlock(const SharedBlock&) = delete;
    SharedBlock& operator=(const SharedBlock&) = delete;

    // Opens an existing block of exactly size bytes owned by this user. With
    // requireHolder, a block nobody holds is refused (Unheld) and left alone.
    // On success this object holds the shared lock.
    OpenResult OpenExisting(const std::string& name, size_t size, bool requireHolder);
    // Creates a new zeroed block; false when one exists already or on error.
    bool Create(const std::string& name, size_t size);

    bool IsOpen() const { return m_fd >= 0; }
    size_t Size() const { return m_size; }
    const std::string& Name() const { return m_name; }

    // Copies between the block and memory; false when the range lies outside.
    bool Read(size_t offset, void* out, size_t length) const;
    bool Write(size_t offset, const void* data, size_t length);
    bool ReadU32(size_t offset, uint32_t& value) const { return Read(offset, &value, sizeof value); }
    bool WriteU32(size_t offset, uint32_t value) { return Write(offset, &value, sizeof value); }

    // True when some other descriptor holds a lock on the block. Call it before
    // taking our own lock, or from a second object.
    bool HasOtherHolder() const;
    // Takes the shared lock (after Create, or when HasOtherHolder was asked first).
    bool Hold();

    // Removes the name (the memory lives on while mapped or open).
    void Unlink();
    // Lets go of the block and removes its name when nobody else holds it any
    // longer: the last user cleans up. True when the name was removed.
    bool CloseAndUnlinkIfLast();
    void Close();

    // True when a block of this name exists.
    static bool Exists(const std::string& name);
    // Removes the name of a block this object does not have open.
    static void Remove(const std::string& name);

private:
    int m_fd = -1;
    size_t m_size = 0;
    std::string m_name;
};

}  // namespace platform
