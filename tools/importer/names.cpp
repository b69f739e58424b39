// Safe stems and the scene's archive names.
#include "tools/importer/names.h"

#include <vector>

namespace importer {

namespace {

constexpr std::size_t MAX_SCENE_NAME = 400;  // leaves room in 1024-byte fields for what goes beside it

bool Plain(const char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

char Lower(const char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::vector<std::string> Components(const std::string& name)
{
    std::vector<std::string> parts(1);
    for (const char c : name) {
        if (c == '\\' || c == '/')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// A folder or file name of the scene's path: plain characters and dots, not
// only dots.
bool PlainComponent(const std::string& part)
{
    if (part.empty() || part.find_first_not_of('.') == std::string::npos)
        return false;
    for (const char c : part) {
        if (!Plain(Lower(c)) && c != '.')
            return false;
    }
    return true;
}

std::string Join(const std::vector<std::string>& parts, std::size_t count)
{
    std::string joined;
    for (std::size_t i = 0; i < count; ++i)
        joined += parts[i] + "\\";
    return joined;
}

}  // namespace

std::string SafeStem(const std::string& untrusted, const std::string& fallback)
{
    std::string stem;
    for (const char raw : untrusted) {
        const char c = Lower(raw);
        if (Plain(c))
            stem += c;
        else if (!stem.empty() && stem.back() != '_')
            stem += '_';
        if (stem.size() == MAX_STEM)
            break;
    }
    while (!stem.empty() && stem.back() == '_')
        stem.pop_back();
    return stem.empty() ? fallback : stem;
}

std::string Printable(const std::string& untrusted)
{
    constexpr std::size_t MOST = 80;
    std::string shown;
    for (const char c : untrusted.substr(0, MOST))
        shown += c >= ' ' && c <= '~' ? c : '?';
    return untrusted.size() > MOST ? shown + "..." : shown;
}

std::string UniqueStems::Take(const std::string& stem)
{
    std::string lower;
    for (const char c : stem)
        lower += Lower(c);
    std::string taken = lower;
    for (int n = 2; !taken_.insert(taken).second; ++n)
        taken = lower + "_" + std::to_string(n);
    return taken;
}

bool ParseSceneName(const std::string& name, SceneNames& names, std::string& why)
{
    const std::vector<std::string> parts = Components(name);
    if (name.size() > MAX_SCENE_NAME) {
        why = "the scene's name is longer than " + std::to_string(MAX_SCENE_NAME) + " characters";
        return false;
    }
    for (const std::string& part : parts) {
        if (!PlainComponent(part)) {
            why = "the scene's name must be folders and a file of letters, digits, '_', '-' and '.'";
            return false;
        }
    }
    const std::string& file = parts.back();
    if (parts.size() < 3 || file.size() < 5 || Lower(file[file.size() - 1]) != 'n' ||
        Lower(file[file.size() - 2]) != 'c' || Lower(file[file.size() - 3]) != 's' || file[file.size() - 4] != '.') {
        why = "the scene's name must end in a folder of scenes and a file \"NAME.scn\" (data\\mine\\scenes\\mine.scn)";
        return false;
    }
    const std::string base = Join(parts, parts.size() - 2);
    names.scene = Join(parts, parts.size() - 1) + file;
    names.objects = base + "objects\\";
    names.pictures = base + "pictures\\";
    return true;
}

std::string DiskPath(const std::string& tree, const std::string& archiveName)
{
    std::string path = tree;
    if (!path.empty() && path.back() != '/')
        path += '/';
    for (const char c : archiveName)
        path += c == '\\' ? '/' : c;
    return path;
}

}  // namespace importer
