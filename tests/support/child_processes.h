// The processes a test starts (X servers, the demo, a child that fills an
// Aquarium): each leads a process group of its own, dies with the test
// program, and is ended with its group when the test ends, so nothing a test
// started outlives it, whether it passed, failed or ran out of time.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

constexpr int HUNG = -2;  // the status of a child that had to be ended

// Runs body in a new process; body ends that process (a return is status 127).
pid_t StartChild(const std::function<void()>& body);

// Variables set for a child; an empty value unsets the variable.
using Environment = std::vector<std::pair<const char*, std::string>>;

// Runs command[0] with the rest as its arguments, in environment, its stderr
// going to the file errPath.
pid_t StartProgram(const std::vector<std::string>& command, const Environment& environment,
                   const std::string& errPath);

// The exit status once child has ended (-1 after a signal): reaped and
// forgotten. False while it runs.
bool ChildEnded(pid_t child, int& status);

// The exit status of child within patienceMs, or HUNG after ending it.
int AwaitChild(pid_t child, int patienceMs);

// Asks child's group to end, then kills what is left of it; reaped and forgotten.
void EndChild(pid_t child);

// Ends every child not yet reaped, as happens after every test.
void EndAllChildren();

// What the test's working directory holds as name (empty when missing).
std::string FileText(const std::string& name);

}  // namespace test_support
