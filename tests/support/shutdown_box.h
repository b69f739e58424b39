// The end of a run of the demo on an X server, met as a user meets it: the
// "Aquarium Shutdown" box, when it shows, is answered with its button, and
// only then is the exit status known. Every test that runs the real backend
// or the real program on an X server waits through this helper.
#pragma once

#include <sys/types.h>

#include <string>

namespace test_support {

constexpr const char* SHUTDOWN_BOX = "Aquarium Shutdown";
constexpr int RUN_PATIENCE_MS = 60000;

struct Ending {
    int status;             // exit status, -1 after a signal, HUNG when it had to be ended
    bool boxShown;          // the box appeared and was answered
    std::string errorText;  // what the run wrote on stderr: the error text
};

// Waits for child, started with StartChild with its stderr going to errPath,
// to end on display. Expects the box exactly when the error text is not
// empty, and the end within patienceMs.
Ending AwaitEnding(pid_t child, const std::string& display, const std::string& errPath,
                   int patienceMs = RUN_PATIENCE_MS);

}  // namespace test_support
