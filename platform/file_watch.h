// Watching the files a tool has loaded for changes on the disk. A change is
// taken up only once the file has stayed as it is for a while, so that a
// file still being written is never taken for its new self. What the disk
// says of a file comes from a FileStates backend: stat(2) for real, a
// scripted fake in tests. Program thread only; a poll allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// What the disk says of a path: enough to tell that the file changed, was
// replaced (a rename puts another file in its place) or went.
struct FileState {
    bool present = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;      // bytes
    std::int64_t modified = 0;  // content change, nanoseconds since the epoch
    std::int64_t changed = 0;   // status change, nanoseconds since the epoch

    bool operator==(const FileState& other) const;
    bool operator!=(const FileState& other) const { return !(*this == other); }
};

class FileStates {
public:
    virtual ~FileStates() = default;
    // The state of the file at path now; not present when there is none.
    virtual FileState StateOf(const char* path) = 0;
};

// The backend in use: the real one unless a test installed another.
FileStates& Disk();
// Installs states for every later call; null brings back the real backend.
// The caller keeps ownership.
void InstallDisk(FileStates* states);

class FileWatch {
public:
    // How long a changed file must stay as it is before its change is taken up.
    static constexpr std::uint32_t SETTLE_MS = 200;
    static constexpr std::size_t NONE = static_cast<std::size_t>(-1);

    // Watches path from its state now, which counts as the one loaded; a path
    // watched already keeps its entry. Answers the entry's index.
    std::size_t Add(const std::string& path);
    // The index of path, or NONE.
    std::size_t Find(const std::string& path) const;
    std::size_t Count() const { return entries_.size(); }

    // Looks at every file at nowMs, a millisecond clock of the caller's. True
    // when some file differs from its loaded state and every such file has
    // not changed for SETTLE_MS: Settled tells which.
    bool Poll(std::uint32_t nowMs);
    bool Settled(std::size_t index) const { return entries_[index].settled; }
    // The settled state of the file at index becomes its loaded one.
    void Accept(std::size_t index);

private:
    struct Entry {
        std::string path;
        FileState loaded;             // as the tool last took it up
        FileState seen;               // at the last poll
        std::uint32_t seenSince = 0;  // when seen was first seen
        bool settled = false;         // seen differs from loaded and has settled
    };

    std::vector<Entry> entries_;
};

}  // namespace platform
