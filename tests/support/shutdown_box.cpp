// Polls the child and the X server in turn: the box keeps the program from
// ending until it is answered, so a run that ends was never waiting on one.
#include "tests/support/shutdown_box.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/child_processes.h"
#include "tests/support/x_windows.h"

namespace test_support {

namespace {
constexpr int POLL_MS = 10;
constexpr int LOOK_EVERY = 10;     // polls between looks for the box
constexpr int PRESS_AGAIN = 50;    // polls before a box still there is pressed again
}  // namespace

Ending AwaitEnding(pid_t child, const std::string& display, const std::string& errPath, int patienceMs)
{
    Ending ending{HUNG, false, ""};
    int lastPress = -PRESS_AGAIN;
    for (int poll = 0; poll * POLL_MS < patienceMs; ++poll, usleep(POLL_MS * 1000)) {
        if (ChildEnded(child, ending.status))
            break;
        if (poll % LOOK_EVERY == 0 && poll - lastPress >= PRESS_AGAIN && PressReturnIn(display, SHUTDOWN_BOX)) {
            ending.boxShown = true;
            lastPress = poll;
        }
    }
    if (ending.status == HUNG) {
        EndChild(child);
        ADD_FAILURE() << "the run did not end within " << patienceMs << " ms";
    }
    ending.errorText = FileText(errPath);
    EXPECT_EQ(ending.boxShown, !ending.errorText.empty())
        << "the box shows exactly when the error text is not empty; the text: [" << ending.errorText << "]"
        << (ServesBoxFonts(display) ? "" : "; this X server has no fonts for the box (xfonts-base)");
    return ending;
}

}  // namespace test_support
