// The names the importer writes. A model's node, mesh, material and picture
// names can hold anything ("../", back-slashes, drive letters, control
// characters, names longer than any field), so none is used as it comes:
// each becomes a short stem of letters, digits, '_' and '-', made unique
// among the names of its folder without regard to case, as the archive
// compares names. Archive names use back-slashes between folders, as the
// demo spells them; on the disk they are the same path with '/'.
#pragma once

#include <cstddef>
#include <set>
#include <string>

namespace importer {

constexpr std::size_t MAX_STEM = 48;  // characters of a stem made from a model's name

// untrusted reduced to a stem: ASCII letters and digits in lower case, '_' and
// '-', any other run of characters one '_', at most MAX_STEM characters;
// fallback when nothing is left.
std::string SafeStem(const std::string& untrusted, const std::string& fallback);

// untrusted as it may be shown on a terminal: printable ASCII, every other
// byte '?', at most 80 characters, "..." marking a cut.
std::string Printable(const std::string& untrusted);

// Stems handed out in one folder, each once.
class UniqueStems {
public:
    // stem, or stem with "_2", "_3", ... when the folder has it already.
    std::string Take(const std::string& stem);

private:
    std::set<std::string> taken_;  // lower case
};

// Where an imported scene's files go: the scene's own archive name and the
// folders beside its folder, as the show's tree is laid out.
struct SceneNames {
    std::string scene;     // "data\mine\scenes\mine.scn"
    std::string objects;   // "data\mine\objects\", meshes
    std::string pictures;  // "data\mine\pictures\", pictures
};

// The names of the scene called name, with '/' taken for '\'. False, with
// why saying so, for a name that is not a relative path of plain folder
// names ending in ".scn" inside a folder inside a folder, or that is too long
// for the names it makes to fit the loaders' fields.
bool ParseSceneName(const std::string& name, SceneNames& names, std::string& why);

// An archive name as a path under tree.
std::string DiskPath(const std::string& tree, const std::string& archiveName);

}  // namespace importer
