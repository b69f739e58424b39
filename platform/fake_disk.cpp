// The scripted file states of the tests.
#include "platform/fake_disk.h"

namespace platform {

void FakeDisk::Write(const std::string& path)
{
    FileState& state = files_[path];
    state.present = true;
    state.modified = state.changed = ++writes_;
}

void FakeDisk::Remove(const std::string& path) { files_.erase(path); }

FileState FakeDisk::StateOf(const char* path)
{
    const auto found = files_.find(path);
    return found != files_.end() ? found->second : FileState{};
}

}  // namespace platform
