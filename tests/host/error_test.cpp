// The error text's size rules, and the orderly end: callbacks in order, the
// window class unregistered, queued messages dispatched, the box, status 1.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/aquarium.h"
#include "host/error.h"
#include "platform/fake_backend.h"

namespace {

class ErrorText : public ::testing::Test {
protected:
    void SetUp() override { Error::Reset(); }
};

TEST_F(ErrorText, FillsUpTo4095CharactersAndDropsWhatWouldReach4096)
{
    const std::string filler(4090, 'x');
    Error::Report(1, filler.c_str());
    Error::Report(1, "123456");
    EXPECT_EQ(std::string(Error::Text()).size(), 4090u) << "six characters would make 4096";
    Error::Report(1, "12345");
    EXPECT_EQ(std::string(Error::Text()), filler + "12345");
    Error::Report(1, "");
    Error::Report(1, "1");
    EXPECT_EQ(std::string(Error::Text()).size(), 4095u);
}

TEST_F(ErrorText, DropsThePieceThatDoesNotFitAndEveryPieceAfterIt)
{
    const std::string filler(4080, 'x');
    Error::Report(1, filler.c_str());
    Error::Report(4, "abc", "def", "this piece is too long", "g");
    EXPECT_EQ(std::string(Error::Text()), filler + "abcdef");
}

TEST_F(ErrorText, AccumulatesMessagesInReportOrder)
{
    Error::Report(0);
    EXPECT_STREQ(Error::Text(), "");
    Error::Report(3, "Game::SetupSound: FMOD error ", "Init failed", "\n");
    Error::Report(1, "Main: second\n");
    Error::Report(-1, "never read");
    EXPECT_STREQ(Error::Text(), "Game::SetupSound: FMOD error Init failed\nMain: second\n");
}

TEST_F(ErrorText, ANullPieceReadsAsEmpty)
{
    const char* const missingName = nullptr;
    Error::Report(3, "TGA::Load: Error reading .tga-file. ( ", missingName, " )\n");
    EXPECT_STREQ(Error::Text(), "TGA::Load: Error reading .tga-file. (  )\n");
}

// Runs inside a death test's child: the fake's log goes to stderr at exit so
// the parent can match it.
platform::FakeBackend* childFake = nullptr;

void DumpChildLog()
{
    for (const std::string& line : childFake->log)
        std::fprintf(stderr, "log: %s\n", line.c_str());
}

void InstallChildFake()
{
    childFake = new platform::FakeBackend;
    platform::Install(childFake);
    std::atexit(DumpChildLog);
}

std::intptr_t PrintingWindowProc(platform::WindowHandle, std::uint32_t message, std::uintptr_t,
                                 std::intptr_t)
{
    std::fprintf(stderr, "dispatched 0x%X\n", static_cast<unsigned>(message));
    return 0;
}

void FirstCallback() { std::fprintf(stderr, "first callback\n"); }
void SecondCallback() { std::fprintf(stderr, "second callback\n"); }

void ShutdownWithOneQueuedMessage(const char* text)
{
    InstallChildFake();
    platform::WindowClass windowClass;
    windowClass.className = WINDOW_CLASS_NAME;
    windowClass.procedure = PrintingWindowProc;
    childFake->RegisterClass(windowClass);
    platform::WindowParams spec;
    spec.className = WINDOW_CLASS_NAME;
    spec.title = WINDOW_CLASS_NAME;
    childFake->CreateWindow(spec);
    childFake->PostMessage(platform::WM_SIZE);
    Aquarium::RegShutdownCallback(FirstCallback);
    Aquarium::RegShutdownCallback(SecondCallback);
    Aquarium::Shutdown(text);
}

TEST(ShutdownDeathTest, RunsCallbacksInOrderUnregistersDrainsAndShowsTheText)
{
    EXPECT_EXIT(ShutdownWithOneQueuedMessage("Main: it broke\n"), ::testing::ExitedWithCode(1),
                "first callback\nsecond callback\n"
                "dispatched 0x5\n"
                "\\[Aquarium Shutdown\\] Main: it broke\n"
                "(.|\n)*log: UnregisterClass Aquarium\n"
                "log: DispatchMessage 0x5\n"
                "log: MessageBox Aquarium Shutdown\n");
}

TEST(ShutdownDeathTest, WithAnEmptyTextShowsNoBoxAndStillExitsWithOne)
{
    EXPECT_EXIT(ShutdownWithOneQueuedMessage(""), ::testing::ExitedWithCode(1),
                "dispatched 0x5\n(.|\n)*log: DispatchMessage 0x5\n$");
}

void RegisterOneTooMany()
{
    InstallChildFake();
    Error::Reset();
    Error::Report(1, "Earlier: message\n");
    Aquarium::RegShutdownCallback(FirstCallback);
    for (int i = 1; i < 100; ++i)
        Aquarium::RegShutdownCallback(SecondCallback);
    std::fprintf(stderr, "100 registered\n");
    Aquarium::RegShutdownCallback(FirstCallback);
    std::fprintf(stderr, "never reached\n");
}

TEST(ShutdownDeathTest, The101stCallbackEndsTheProgramAfterRunningTheOthers)
{
    EXPECT_EXIT(RegisterOneTooMany(), ::testing::ExitedWithCode(1),
                "100 registered\nfirst callback\n(second callback\n){99}"
                "\\[Aquarium Shutdown\\] Earlier: message\n"
                "Aquarium::RegShutdownCallback: Too many shutdowncallbacks.\n");
}

}  // namespace
