// Scripted file states for tests: the test says which paths exist and when
// they change, without touching the disk. Install it with ScopedFakeDisk.
#pragma once

#include <map>
#include <string>

#include "platform/file_watch.h"

namespace platform {

class FakeDisk : public FileStates {
public:
    // path exists from now on, its content changed (a new modification time).
    void Write(const std::string& path);
    // path is gone.
    void Remove(const std::string& path);

    FileState StateOf(const char* path) override;

private:
    std::map<std::string, FileState> files_;
    std::int64_t writes_ = 0;  // the modification time of the next write
};

// Installs a fresh FakeDisk for its lifetime, then brings the real one back.
class ScopedFakeDisk {
public:
    ScopedFakeDisk() { InstallDisk(&fake); }
    ~ScopedFakeDisk() { InstallDisk(nullptr); }
    ScopedFakeDisk(const ScopedFakeDisk&) = delete;
    ScopedFakeDisk& operator=(const ScopedFakeDisk&) = delete;

    FakeDisk fake;
};

}  // namespace platform
