// Windows names to disk paths: back-slashes become '/', and a name that does
// not exist as spelled is looked up component by component without regard to
// case, as the original file system would have found it.
#include "platform/files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <vector>

#include "platform/uppercase.h"

namespace platform {

namespace {

constexpr char WINDOWS_SEPARATOR = '\\';
constexpr char SEPARATOR = '/';

bool EqualIgnoringCase(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (UpperCaseAscii(a[i]) != UpperCaseAscii(b[i]))
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

bool IsRegularFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsDirectory(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Join(const std::string& base, const std::string& component)
{
    if (base.empty())
        return component;
    if (base.back() == SEPARATOR)
        return base + component;
    return base + SEPARATOR + component;
}

// Splits a disk name into its start ("/" for an absolute name, else empty)
// and its components; empty components of doubled separators are dropped.
std::vector<std::string> SplitComponents(const std::string& diskName, std::string* start)
{
    *start = (!diskName.empty() && diskName[0] == SEPARATOR) ? std::string(1, SEPARATOR) : std::string();
    std::vector<std::string> components;
    std::string current;
    for (const char c : diskName) {
        if (c != SEPARATOR) {
            current += c;
        } else if (!current.empty()) {
            components.push_back(current);
            current.clear();
        }
    }
    if (!current.empty())
        components.push_back(current);
    return components;
}

// The names in directory that equal component without regard to case: the
// component as spelled first, the others in byte order; empty when the
// directory cannot be listed.
std::vector<std::string> CaseFoldedMatches(const std::string& directory, const std::string& component)
{
    std::vector<std::string> matches;
    DIR* const listing = opendir(directory.empty() ? "." : directory.c_str());
    if (listing == nullptr)
        return matches;
    while (const dirent* const entry = readdir(listing)) {
        if (EqualIgnoringCase(component, entry->d_name))
            matches.emplace_back(entry->d_name);
    }
    closedir(listing);
    std::sort(matches.begin(), matches.end());
    std::stable_partition(matches.begin(), matches.end(),
                          [&component](const std::string& name) { return name == component; });
    return matches;
}

// Depth-first search for a regular file below base whose remaining components
// match components[index..] without regard to case.
bool Resolve(const std::string& base, const std::vector<std::string>& components, std::size_t index,
             std::string* found)
{
    const std::string& component = components[index];
    const bool last = index + 1 == components.size();
    std::vector<std::string> candidates;
    if (component == "." || component == "..")
        candidates.push_back(component);
    else
        candidates = CaseFoldedMatches(base, component);
    for (const std::string& candidate : candidates) {
        const std::string path = Join(base, candidate);
        if (last && IsRegularFile(path)) {
            *found = path;
            return true;
        }
        if (!last && IsDirectory(path) && Resolve(path, components, index + 1, found))
            return true;
    }
    return false;
}

// The archive is reopened by its stored, upper-cased path for every entry
// read: the last case-folded answer is kept, with the working directory it
// was found from, so that a read does not list the directories again while
// that answer still names a regular file.
struct Remembered {
    std::string name;
    std::string directory;
    std::string path;
};

Remembered& LastLookup()
{
    static Remembered last;
    return last;
}

std::string WorkingDirectory()
{
    char here[PATH_MAX];
    return getcwd(here, sizeof here) != nullptr ? std::string(here) : std::string();
}

}  // namespace

std::string DiskName(const char* windowsName)
{
    std::string name(windowsName);
    std::replace(name.begin(), name.end(), WINDOWS_SEPARATOR, SEPARATOR);
    return name;
}

std::string FindDataFile(const char* windowsName)
{
    const std::string asGiven = DiskName(windowsName);
    if (IsRegularFile(asGiven))
        return asGiven;
    Remembered& last = LastLookup();
    const std::string directory = WorkingDirectory();
    if (last.name == asGiven && last.directory == directory && IsRegularFile(last.path))
        return last.path;
    std::string start;
    const std::vector<std::string> components = SplitComponents(asGiven, &start);
    std::string found;
    if (components.empty() || !Resolve(start, components, 0, &found))
        return std::string();
    last = Remembered{asGiven, directory, found};
    return found;
}

std::FILE* OpenDataFile(const char* windowsName)
{
    const std::string path = FindDataFile(windowsName);
    return path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
}

}  // namespace platform
