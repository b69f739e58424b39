// Children of a test, each the leader of its own process group. The parent
// keeps the list of those not yet reaped; a listener ends them all after
// every test, and each child dies with the test program should that be
// killed first (ctest's time limit), since it asks for SIGKILL then.
#include "tests/support/child_processes.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace test_support {

namespace {

constexpr int POLL_MS = 10;
constexpr int GRACE_MS = 2000;  // for a child asked to end before it is killed

std::vector<pid_t>& Running()
{
    static std::vector<pid_t> children;
    return children;
}

void Forget(pid_t child)
{
    std::vector<pid_t>& running = Running();
    running.erase(std::remove(running.begin(), running.end(), child), running.end());
}

// In the new child: a group of its own, and death with the parent.
void Detach(pid_t parent)
{
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(127);
}

// Ends what a test left running once the test is over, pass or fail.
class ChildReaper : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { EndAllChildren(); }
};

const bool reaperInstalled = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ChildReaper);
    return true;
}();

}  // namespace

pid_t StartChild(const std::function<void()>& body)
{
    const pid_t parent = getpid();
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        Detach(parent);
        body();
        _exit(127);
    }
    if (child > 0) {
        setpgid(child, child);  // either side may get there first
        Running().push_back(child);
    }
    return child;
}

pid_t StartProgram(const std::vector<std::string>& command, const Environment& environment,
                   const std::string& errPath)
{
    return StartChild([&] {
        for (const auto& [name, value] : environment)
            value.empty() ? unsetenv(name) : setenv(name, value.c_str(), 1);
        std::vector<char*> arguments;
        for (const std::string& word : command)
            arguments.push_back(const_cast<char*>(word.c_str()));
        arguments.push_back(nullptr);
        if (std::freopen(errPath.c_str(), "w", stderr) != nullptr)
            execv(arguments[0], arguments.data());
    });
}

bool ChildEnded(pid_t child, int& status)
{
    int raw = 0;
    if (waitpid(child, &raw, WNOHANG) != child)
        return false;
    Forget(child);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return true;
}

int AwaitChild(pid_t child, int patienceMs)
{
    int status = HUNG;
    for (int waited = 0; waited < patienceMs; waited += POLL_MS, usleep(POLL_MS * 1000)) {
        if (ChildEnded(child, status))
            return status;
    }
    EndChild(child);
    return HUNG;
}

void EndChild(pid_t child)
{
    kill(-child, SIGTERM);
    int status = 0;
    for (int waited = 0; waited < GRACE_MS; waited += POLL_MS, usleep(POLL_MS * 1000)) {
        if (ChildEnded(child, status)) {
            kill(-child, SIGKILL);  // whatever it started goes with it
            return;
        }
    }
    kill(-child, SIGKILL);
    waitpid(child, nullptr, 0);
    Forget(child);
}

void EndAllChildren()
{
    const std::vector<pid_t> left = Running();
    for (const pid_t child : left)
        EndChild(child);
}

std::string FileText(const std::string& name)
{
    std::ifstream file(name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

}  // namespace test_support
