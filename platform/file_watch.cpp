// File states from stat(2), and the watch that waits for a changed file to settle.
#include "platform/file_watch.h"

#include <sys/stat.h>

namespace platform {

namespace {

constexpr std::int64_t NANOSECONDS_PER_SECOND = 1000000000;

std::int64_t Nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * NANOSECONDS_PER_SECOND + time.tv_nsec;
}

class StatFileStates final : public FileStates {
public:
    FileState StateOf(const char* path) override
    {
        struct stat info;
        FileState state;
        if (path[0] == '\0' || stat(path, &info) != 0)
            return state;
        state.present = true;
        state.device = static_cast<std::uint64_t>(info.st_dev);
        state.inode = static_cast<std::uint64_t>(info.st_ino);
        state.size = static_cast<std::int64_t>(info.st_size);
        state.modified = Nanoseconds(info.st_mtim);
        state.changed = Nanoseconds(info.st_ctim);
        return state;
    }
};

FileStates* installedStates = nullptr;  // a test's backend, owned by the test

}  // namespace

bool FileState::operator==(const FileState& other) const
{
    return present == other.present && device == other.device && inode == other.inode && size == other.size &&
           modified == other.modified && changed == other.changed;
}

FileStates& Disk()
{
    static StatFileStates real;
    return installedStates != nullptr ? *installedStates : real;
}

void InstallDisk(FileStates* states) { installedStates = states; }

std::size_t FileWatch::Add(const std::string& path)
{
    const std::size_t known = Find(path);
    if (known != NONE)
        return known;
    Entry entry;
    entry.path = path;
    entry.loaded = entry.seen = Disk().StateOf(path.c_str());
    entries_.push_back(entry);
    return entries_.size() - 1;
}

std::size_t FileWatch::Find(const std::string& path) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].path == path)
            return i;
    }
    return NONE;
}

bool FileWatch::Poll(std::uint32_t nowMs)
{
    bool settling = false;
    bool any = false;
    for (Entry& entry : entries_) {
        const FileState now = Disk().StateOf(entry.path.c_str());
        if (now != entry.seen) {
            entry.seen = now;
            entry.seenSince = nowMs;
        }
        const bool changed = entry.seen != entry.loaded;
        entry.settled = changed && nowMs - entry.seenSince >= SETTLE_MS;
        settling = settling || (changed && !entry.settled);
        any = any || entry.settled;
    }
    // Files are written one after another (a mesh, then its scene): none is
    // taken up while another is still being written.
    if (settling) {
        for (Entry& entry : entries_)
            entry.settled = false;
        return false;
    }
    return any;
}

void FileWatch::Accept(std::size_t index)
{
    entries_[index].loaded = entries_[index].seen;
    entries_[index].settled = false;
}

}  // namespace platform
