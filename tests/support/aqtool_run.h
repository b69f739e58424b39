// Runs the aqtool program the build made (AQTOOL_PATH) as a data maker would,
// or any other command, in the current directory, and collects its exit
// status and output.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace test_support {

struct AqtoolOutcome {
    int status;       // exit status, -1 when the tool did not exit normally
    std::string out;  // standard output
    std::string err;  // standard error
};

inline std::string ShellQuote(const std::string& argument)
{
    std::string quoted = "'";
    for (const char c : argument)
        quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// command[0] with the rest as its arguments, through the shell.
inline AqtoolOutcome RunCommand(const std::vector<std::string>& command)
{
    std::string line;
    for (const std::string& word : command)
        line += (line.empty() ? "" : " ") + ShellQuote(word);
    line += " 2>command.err";
    std::FILE* const pipe = popen(line.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    if (pipe == nullptr)
        return {-1, "", ""};
    std::string out;
    char chunk[4096];
    for (std::size_t read; (read = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        out.append(chunk, read);
    const int status = pclose(pipe);
    std::ifstream errFile("command.err", std::ios::binary);
    const std::string err((std::istreambuf_iterator<char>(errFile)), std::istreambuf_iterator<char>());
    std::remove("command.err");
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, err};
}

inline AqtoolOutcome Aqtool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> command = {AQTOOL_PATH};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return RunCommand(command);
}

}  // namespace test_support
