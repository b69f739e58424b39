// The README's paths are true after a build: every folder its layout lists
// exists, and so does every path it names under build/, scripts/ or one of
// those folders. Other paths (data names, files a user makes) are not checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path SOURCE = AQUARIUM_SOURCE_DIR;
const fs::path BUILD = AQUARIUM_BUILD_DIR;

std::string ReadReadme()
{
    std::ifstream in(SOURCE / "README.md");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first word of each indented line of the "## Layout" section.
std::set<std::string> LayoutFolders(const std::string& readme)
{
    std::set<std::string> folders;
    std::istringstream lines(readme.substr(readme.find("## Layout")));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line) && line.rfind("## ", 0) != 0) {
        std::smatch match;
        if (std::regex_match(line, match, std::regex(R"(\s{4}(\S+)/\s.*)")))
            folders.insert(match[1]);
    }
    return folders;
}

TEST(Readme, EveryLayoutFolderExists)
{
    const std::set<std::string> folders = LayoutFolders(ReadReadme());
    EXPECT_GE(folders.size(), 5u) << "the layout section was found";
    for (const std::string& folder : folders)
        EXPECT_TRUE(fs::is_directory(SOURCE / folder)) << folder << "/";
}

TEST(Readme, EveryPathItNamesExists)
{
    const std::string readme = ReadReadme();
    std::set<std::string> roots = LayoutFolders(readme);
    roots.insert("scripts");
    const std::regex pathPattern(R"([A-Za-z0-9_-]+(/[A-Za-z0-9_.-]+)*/?)");
    int checked = 0;
    for (auto it = std::sregex_iterator(readme.begin(), readme.end(), pathPattern); it != std::sregex_iterator();
         ++it) {
        std::string path = it->str();
        const std::string root = path.substr(0, path.find('/'));
        if (path.find('/') == std::string::npos || path.find("...") != std::string::npos)
            continue;
        while (!path.empty() && path.back() == '.')  // the end of a sentence
            path.pop_back();
        if (root == "build") {
            EXPECT_TRUE(fs::exists(BUILD / path.substr(path.find('/') + 1))) << path;
            ++checked;
        } else if (roots.count(root) != 0) {
            EXPECT_TRUE(fs::exists(SOURCE / path)) << path;
            ++checked;
        }
    }
    EXPECT_GE(checked, 4) << "the commands' paths were found";
}

}  // namespace
