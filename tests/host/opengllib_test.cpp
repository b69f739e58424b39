// The run-time OpenGL binding against the fake backend and the recording fake
// GL: which library is chosen and paired with which GLU, counted loading and
// freeing, resolution failures, and where context, pixel-format and swap calls go.
#include "host/opengllib.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/fake_backend.h"
#include "platform/fake_gl.h"

namespace {

using platform::FakeBackend;
using platform::Proc;

constexpr int GDI_FORMAT = 3;
constexpr int GDI_FORMAT_COUNT = 12;
constexpr int LIBRARY_FORMAT = 7;
constexpr int LIBRARY_FORMAT_COUNT = 2;

// What the GL library's own wgl functions were asked, in order.
std::vector<std::string> libraryCalls;

int LibraryChoosePixelFormat(platform::DeviceContextHandle, const platform::PixelFormatDescriptor*)
{
    libraryCalls.push_back("wglChoosePixelFormat");
    return LIBRARY_FORMAT;
}

int LibraryDescribePixelFormat(platform::DeviceContextHandle, int, unsigned,
                               platform::PixelFormatDescriptor*)
{
    libraryCalls.push_back("wglDescribePixelFormat");
    return LIBRARY_FORMAT_COUNT;
}

int LibrarySetPixelFormat(platform::DeviceContextHandle, int,
                          const platform::PixelFormatDescriptor*)
{
    libraryCalls.push_back("wglSetPixelFormat");
    return 1;
}

int LibrarySwapBuffers(platform::DeviceContextHandle)
{
    libraryCalls.push_back("wglSwapBuffers");
    return 1;
}

// Distinct bodies keep the linker from folding them into one address.
void DriverActiveTexture() { libraryCalls.push_back("driver glActiveTextureARB"); }
void ExportedActiveTexture() { libraryCalls.push_back("exported glActiveTextureARB"); }
void ExportedLockArrays() { libraryCalls.push_back("exported glLockArraysEXT"); }

// A driver's wglGetProcAddress that knows only the multitexture entry point.
Proc DriverGetProcAddress(const char* name)
{
    return std::strcmp(name, "glActiveTextureARB") == 0 ? DriverActiveTexture : nullptr;
}

// A GL library that owns pixel formats and swaps too, as a 3Dfx driver does.
std::map<std::string, Proc> DriverExports()
{
    std::map<std::string, Proc> exports = platform::FakeGLExports();
    exports["wglChoosePixelFormat"] = reinterpret_cast<Proc>(LibraryChoosePixelFormat);
    exports["wglDescribePixelFormat"] = reinterpret_cast<Proc>(LibraryDescribePixelFormat);
    exports["wglSetPixelFormat"] = reinterpret_cast<Proc>(LibrarySetPixelFormat);
    exports["wglSwapBuffers"] = reinterpret_cast<Proc>(LibrarySwapBuffers);
    return exports;
}

std::map<std::string, Proc> Without(std::map<std::string, Proc> exports, const char* name)
{
    exports.erase(name);
    return exports;
}

template <typename Function>
Proc AsProc(Function function)
{
    return reinterpret_cast<Proc>(function);
}

class OpenGLLibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::FakeGLReset();
        libraryCalls.clear();
        fake.choosePixelFormatAnswer = GDI_FORMAT;
        fake.describePixelFormatAnswer = GDI_FORMAT_COUNT;
    }

    // The binding's state is process-wide: every test leaves it unloaded.
    void TearDown() override
    {
        while (OpenGLLib::LoadCount() != 0)
            OpenGLLib::Free();
    }

    std::string Chosen()
    {
        char name[OpenGLLib::NAME_BUFFER_SIZE];
        OpenGLLib::Choose(name);
        return name;
    }

    // Asks for a format, its description, sets it and swaps; the four answers.
    std::vector<int> Route()
    {
        platform::PixelFormatDescriptor pfd = {};
        const int format = OpenGLLib::ChoosePixelFormat(dc, &pfd);
        const int count = OpenGLLib::DescribePixelFormat(dc, format, sizeof pfd, &pfd);
        const int set = OpenGLLib::SetPixelFormat(dc, format, &pfd);
        return {format, count, set, OpenGLLib::SwapBuffers(dc)};
    }

    // The GDI pixel-format and swap calls the backend saw, by name.
    std::vector<std::string> GdiCalls() const
    {
        static const std::set<std::string> gdi = {"ChoosePixelFormat", "DescribePixelFormat",
                                                  "SetPixelFormat", "SwapBuffers"};
        std::vector<std::string> calls;
        for (const std::string& line : fake.log) {
            const std::string name = line.substr(0, line.find(' '));
            if (gdi.count(name) != 0)
                calls.push_back(name);
        }
        return calls;
    }

    platform::ScopedFakeBackend scoped;
    FakeBackend& fake = scoped.fake;
    platform::DeviceContextHandle const dc =
        reinterpret_cast<platform::DeviceContextHandle>(std::uintptr_t{0x3000});
};

using OpenGLLibChoice = OpenGLLibTest;
using OpenGLLibRouting = OpenGLLibTest;
using OpenGLLibLoad = OpenGLLibTest;
using OpenGLLibExtensions = OpenGLLibTest;
using OpenGLLibFakeGL = OpenGLLibTest;

const std::vector<std::string> ALL_LIBRARY_CALLS = {"wglChoosePixelFormat",
                                                    "wglDescribePixelFormat",
                                                    "wglSetPixelFormat", "wglSwapBuffers"};

TEST_F(OpenGLLibChoice, SystemLibraryAloneIsChosenAndLeavesPixelFormatsAndSwapsToGdi)
{
    fake.AddLibrary("opengl32.dll", DriverExports());
    fake.AddLibrary("glu32.dll", platform::FakeGLUExports());

    EXPECT_EQ(Chosen(), "opengl32.dll");
    EXPECT_EQ(fake.log, (std::vector<std::string>{"LoadLibrary 3dfxvgl.dll",
                                                  "LoadLibrary opengl.dll"}));
    fake.log.clear();

    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_OK);
    EXPECT_EQ(fake.log, (std::vector<std::string>{"LoadLibrary opengl32.dll",
                                                  "LoadLibrary glu32.dll"}));
    EXPECT_NE(OpenGLLib::GLULibrary(), nullptr);
    EXPECT_EQ(OpenGLLib::GdiBypass(), 0);

    EXPECT_EQ(Route(), (std::vector<int>{GDI_FORMAT, GDI_FORMAT_COUNT, 1, 1}));
    EXPECT_EQ(GdiCalls(), (std::vector<std::string>{"ChoosePixelFormat", "DescribePixelFormat",
                                                    "SetPixelFormat", "SwapBuffers"}));
    EXPECT_TRUE(libraryCalls.empty()) << "the library's own functions stand by while GDI works";
    EXPECT_EQ(OpenGLLib::GdiBypass(), 0);
}

TEST_F(OpenGLLibChoice, VoodooDriverWinsOverTheOthersAndOwnsPixelFormatsAndSwaps)
{
    fake.AddLibrary("3dfxvgl.dll", DriverExports());
    fake.AddLibrary("3dfxvglu.dll", platform::FakeGLUExports());
    fake.AddLibrary("opengl.dll", platform::FakeGLExports());
    fake.AddLibrary("glu.dll", platform::FakeGLUExports());
    fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
    fake.AddLibrary("glu32.dll", platform::FakeGLUExports());

    EXPECT_EQ(Chosen(), "3dfxvgl.dll");
    EXPECT_EQ(fake.log, (std::vector<std::string>{"LoadLibrary 3dfxvgl.dll",
                                                  "FreeLibrary 3dfxvgl.dll"}));
    EXPECT_EQ(fake.loadedModules, 0) << "the probe frees what it loaded";
    fake.log.clear();

    ASSERT_EQ(OpenGLLib::Load("3dfxvgl.dll"), OpenGLLib::LOAD_OK);
    EXPECT_EQ(fake.log, (std::vector<std::string>{"LoadLibrary 3dfxvgl.dll",
                                                  "LoadLibrary 3dfxvglu.dll"}));
    EXPECT_NE(OpenGLLib::GdiBypass(), 0);

    EXPECT_EQ(Route(), (std::vector<int>{LIBRARY_FORMAT, LIBRARY_FORMAT_COUNT, 1, 1}));
    EXPECT_TRUE(GdiCalls().empty()) << "a bypassed GDI is not even asked";
    EXPECT_EQ(libraryCalls, ALL_LIBRARY_CALLS);
}

TEST_F(OpenGLLibChoice, StandaloneLibraryPairsWithGluAndBypassesGdiEvenWithoutWglFunctions)
{
    fake.AddLibrary("opengl.dll", platform::FakeGLExports());
    fake.AddLibrary("glu.dll", platform::FakeGLUExports());
    fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
    fake.AddLibrary("glu32.dll", platform::FakeGLUExports());

    EXPECT_EQ(Chosen(), "opengl.dll");
    EXPECT_EQ(fake.log,
              (std::vector<std::string>{"LoadLibrary 3dfxvgl.dll", "LoadLibrary opengl.dll",
                                        "FreeLibrary opengl.dll"}));
    EXPECT_EQ(fake.loadedModules, 0);

    ASSERT_EQ(OpenGLLib::Load("opengl.dll"), OpenGLLib::LOAD_OK);
    EXPECT_TRUE(fake.IsLoaded("glu.dll"));
    EXPECT_FALSE(fake.IsLoaded("glu32.dll"));
    EXPECT_NE(OpenGLLib::GdiBypass(), 0);

    EXPECT_EQ(Route(), (std::vector<int>{0, 0, 0, 0})) << "the library has no wgl functions";
    EXPECT_TRUE(GdiCalls().empty());
}

TEST_F(OpenGLLibRouting, FailedGdiPixelFormatHandsEveryLaterCallToTheLibrary)
{
    fake.AddLibrary("opengl32.dll", DriverExports());
    fake.AddLibrary("glu32.dll", platform::FakeGLUExports());
    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_OK);
    ASSERT_EQ(OpenGLLib::GdiBypass(), 0);

    fake.choosePixelFormatAnswer = 0;
    platform::PixelFormatDescriptor pfd = {};
    EXPECT_EQ(OpenGLLib::ChoosePixelFormat(dc, &pfd), LIBRARY_FORMAT);
    EXPECT_EQ(GdiCalls(), (std::vector<std::string>{"ChoosePixelFormat"}));
    EXPECT_NE(OpenGLLib::GdiBypass(), 0);

    fake.choosePixelFormatAnswer = GDI_FORMAT;
    EXPECT_EQ(Route(), (std::vector<int>{LIBRARY_FORMAT, LIBRARY_FORMAT_COUNT, 1, 1}));
    EXPECT_EQ(GdiCalls(), (std::vector<std::string>{"ChoosePixelFormat"}))
        << "GDI would succeed now but is no longer asked";
    EXPECT_EQ(libraryCalls, (std::vector<std::string>{"wglChoosePixelFormat",
                                                      "wglChoosePixelFormat",
                                                      "wglDescribePixelFormat",
                                                      "wglSetPixelFormat", "wglSwapBuffers"}));
}

TEST_F(OpenGLLibRouting, FailedGdiSwapFallsBackOnceAndAFailureWithoutFallbackAnswersZero)
{
    std::map<std::string, Proc> exports = platform::FakeGLExports();
    exports["wglSwapBuffers"] = reinterpret_cast<Proc>(LibrarySwapBuffers);
    fake.AddLibrary("opengl32.dll", exports);
    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_OK);

    fake.swapBuffersSucceeds = false;
    EXPECT_EQ(OpenGLLib::SwapBuffers(dc), 1);
    EXPECT_EQ(libraryCalls, (std::vector<std::string>{"wglSwapBuffers"}));
    EXPECT_EQ(OpenGLLib::GdiBypass(), 0) << "a swap never takes the GDI out of the way";

    fake.setPixelFormatSucceeds = false;
    platform::PixelFormatDescriptor pfd = {};
    EXPECT_EQ(OpenGLLib::SetPixelFormat(dc, GDI_FORMAT, &pfd), 0);
    EXPECT_EQ(OpenGLLib::GdiBypass(), 0) << "no library function took over";

    OpenGLLib::Free();
    EXPECT_EQ(OpenGLLib::SwapBuffers(dc), 0) << "no library left to fall back on";
}

TEST_F(OpenGLLibRouting, ContextCallsGoToTheLibraryAndAnswerZeroWithoutIt)
{
    EXPECT_EQ(OpenGLLib::wglCreateContext(dc), nullptr);
    EXPECT_EQ(OpenGLLib::wglMakeCurrent(dc, nullptr), 0);
    EXPECT_EQ(OpenGLLib::wglDeleteContext(nullptr), 0);

    fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_OK);
    const platform::GLContextHandle context = OpenGLLib::wglCreateContext(dc);
    EXPECT_NE(context, nullptr);
    EXPECT_EQ(OpenGLLib::wglMakeCurrent(dc, context), 1);
    EXPECT_EQ(OpenGLLib::wglDeleteContext(context), 1);
    OpenGLLib::Free();

    std::map<std::string, Proc> bare = platform::FakeGLExports();
    for (const char* name : {"wglCreateContext", "wglMakeCurrent", "wglDeleteContext"})
        bare.erase(name);
    fake.AddLibrary("opengl32.dll", bare);
    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_OK);
    EXPECT_EQ(OpenGLLib::wglCreateContext(dc), nullptr);
    EXPECT_EQ(OpenGLLib::wglMakeCurrent(dc, context), 0);
    EXPECT_EQ(OpenGLLib::wglDeleteContext(context), 0);
}

TEST_F(OpenGLLibLoad, NestedLoadsShareOneLoadAndTheLastFreeReleasesGlBeforeGlu)
{
    fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
    fake.AddLibrary("glu32.dll", platform::FakeGLUExports());

    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_OK);
    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_OK);
    EXPECT_EQ(OpenGLLib::LoadCount(), 2u);
    EXPECT_EQ(fake.loadedModules, 2) << "the second load loads nothing";

    OpenGLLib::Free();
    EXPECT_EQ(OpenGLLib::LoadCount(), 1u);
    EXPECT_TRUE(fake.IsLoaded("opengl32.dll"));
    EXPECT_TRUE(fake.IsLoaded("glu32.dll"));

    fake.log.clear();
    OpenGLLib::Free();
    EXPECT_EQ(fake.log, (std::vector<std::string>{"FreeLibrary opengl32.dll",
                                                  "FreeLibrary glu32.dll"}));
    EXPECT_EQ(fake.loadedModules, 0);
    EXPECT_EQ(OpenGLLib::GLLibrary(), nullptr);
    EXPECT_EQ(OpenGLLib::GLULibrary(), nullptr);

    OpenGLLib::Free();
    EXPECT_EQ(OpenGLLib::LoadCount(), 0u) << "freeing an unloaded binding does nothing";
    EXPECT_EQ(fake.log.size(), 2u);
}

TEST_F(OpenGLLibLoad, FreshLoadForgetsTheRoutingOfTheLibraryBefore)
{
    fake.AddLibrary("3dfxvgl.dll", platform::FakeGLExports());
    fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
    ASSERT_EQ(OpenGLLib::Load("3dfxvgl.dll"), OpenGLLib::LOAD_OK);
    ASSERT_NE(OpenGLLib::GdiBypass(), 0);
    OpenGLLib::Free();

    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_OK);
    EXPECT_EQ(OpenGLLib::GdiBypass(), 0);
    EXPECT_EQ(Route(), (std::vector<int>{GDI_FORMAT, GDI_FORMAT_COUNT, 1, 1}));
}

TEST_F(OpenGLLibLoad, MissingEntryPointFailsQuietlyAndFreeStillReleasesBothLibraries)
{
    struct Missing {
        const char* name;
        bool fromGlu;
    };
    const Missing cases[] = {{"glIsTexture", false},
                             {"glViewport", false},
                             {"gluErrorString", true},
                             {"gluNurbsCallback", true}};
    for (const Missing& missing : cases) {
        SCOPED_TRACE(missing.name);
        const auto gl = platform::FakeGLExports();
        const auto glu = platform::FakeGLUExports();
        fake.AddLibrary("opengl32.dll", missing.fromGlu ? gl : Without(gl, missing.name));
        fake.AddLibrary("glu32.dll", missing.fromGlu ? Without(glu, missing.name) : glu);

        EXPECT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_MISSING_ENTRY_POINT);
        EXPECT_TRUE(fake.boxes.empty()) << "the caller reports a missing entry point";
        EXPECT_EQ(OpenGLLib::LoadCount(), 1u);
        OpenGLLib::Free();
        EXPECT_EQ(fake.loadedModules, 0);
    }
}

TEST_F(OpenGLLibLoad, MissingLibraryShowsOneBoxAndStillCountsAsALoad)
{
    EXPECT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_NO_LIBRARY);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].owner, fake.GetFocus());
    EXPECT_EQ(fake.boxes[0].text, "Could not open OpenGL Library");
    EXPECT_EQ(fake.boxes[0].caption, "Error");
    EXPECT_EQ(fake.log, (std::vector<std::string>{"LoadLibrary opengl32.dll", "MessageBox Error"}))
        << "no GLU is tried without a GL library";
    EXPECT_EQ(OpenGLLib::GLLibrary(), nullptr);
    EXPECT_EQ(OpenGLLib::LoadCount(), 1u);

    OpenGLLib::Free();
    EXPECT_EQ(OpenGLLib::LoadCount(), 0u);
    EXPECT_EQ(fake.log.size(), 2u) << "nothing to free";
}

TEST_F(OpenGLLibLoad, LibraryWithoutGluLoadsAndFreesAlone)
{
    fake.AddLibrary("3dfxvgl.dll", platform::FakeGLExports());
    ASSERT_EQ(OpenGLLib::Load("3dfxvgl.dll"), OpenGLLib::LOAD_OK) << "a missing GLU is no error";
    EXPECT_EQ(OpenGLLib::GLULibrary(), nullptr);
    OpenGLLib::Free();
    EXPECT_EQ(fake.loadedModules, 0);
    EXPECT_EQ(fake.log.back(), "FreeLibrary 3dfxvgl.dll");

    // Pairing is by exact name: these have no GLU of their own.
    for (const char* name : {"mesagl.dll", "OPENGL32.DLL"}) {
        SCOPED_TRACE(name);
        fake.AddLibrary(name, platform::FakeGLExports());
        fake.log.clear();
        ASSERT_EQ(OpenGLLib::Load(name), OpenGLLib::LOAD_OK);
        EXPECT_EQ(fake.log, (std::vector<std::string>{std::string("LoadLibrary ") + name}));
        EXPECT_NE(OpenGLLib::GdiBypass(), 0) << "only opengl32.dll leaves the GDI in charge";
        OpenGLLib::Free();
        EXPECT_EQ(fake.loadedModules, 0);
    }
}

TEST_F(OpenGLLibLoad, ResolvedPointersCallTheLibraryFunctionsOfTheSameName)
{
    fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
    fake.AddLibrary("glu32.dll", platform::FakeGLUExports());
    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_OK);

    const GLubyte texels[12] = {};
    OpenGLLib::glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    OpenGLLib::glBegin(GL_QUADS);
    OpenGLLib::glColor4f(0.0f, 0.0f, 0.0f, 0.05f);
    OpenGLLib::glTranslatef(0.0f, 0.0f, -0.5f);
    OpenGLLib::glEnd();
    EXPECT_EQ(OpenGLLib::gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 2, 2, GL_RGB, GL_UNSIGNED_BYTE,
                                           texels),
              0);
    OpenGLLib::glFlush();
    EXPECT_EQ(platform::FakeGLCalls(),
              (std::vector<std::string>{"glClear(0x4100)", "glBegin(0x7)",
                                        "glColor4f(0, 0, 0, 0.05)", "glTranslatef(0, 0, -0.5)",
                                        "glEnd()",
                                        "gluBuild2DMipmaps(0xDE1, 3, 2, 2, 0x1907, 0x1401, ptr)",
                                        "unexpected GL call"}));
}

TEST(OpenGLLibNames, TablesHoldEveryEntryPointOnceInTheirOrder)
{
    const char* const* core = OpenGLLib::CORE_NAMES;
    EXPECT_STREQ(core[0], "glAccum");
    EXPECT_STREQ(core[OpenGLLib::CORE_COUNT - 1], "glViewport");
    for (std::uint32_t i = 1; i < OpenGLLib::CORE_COUNT; ++i)
        EXPECT_LT(std::strcmp(core[i - 1], core[i]), 0) << core[i - 1] << " before " << core[i];
    const std::set<std::string> coreSet(core, core + OpenGLLib::CORE_COUNT);
    EXPECT_EQ(coreSet.count("glBindTexture"), 1u) << "OpenGL 1.1 additions are in";
    EXPECT_EQ(coreSet.count("glPolygonOffset"), 1u);
    EXPECT_EQ(coreSet.count("glTexImage3D"), 0u) << "OpenGL 1.2 is out";
    EXPECT_EQ(coreSet.count("glActiveTextureARB"), 0u) << "extensions are apart";

    const char* const* glu = OpenGLLib::GLU_NAMES;
    EXPECT_EQ(std::set<std::string>(glu, glu + OpenGLLib::GLU_COUNT).size(), OpenGLLib::GLU_COUNT);
    EXPECT_STREQ(glu[0], "gluErrorString");
    EXPECT_STREQ(glu[1], "gluErrorUnicodeStringEXT");
    EXPECT_STREQ(glu[11], "gluBuild2DMipmaps");
    EXPECT_STREQ(glu[22], "gluQuadricCallback");
    EXPECT_STREQ(glu[OpenGLLib::GLU_COUNT - 1], "gluNurbsCallback");

    const char* const* extensions = OpenGLLib::EXTENSION_NAMES;
    EXPECT_EQ(std::set<std::string>(extensions, extensions + OpenGLLib::EXTENSION_COUNT).size(),
              OpenGLLib::EXTENSION_COUNT);
    EXPECT_STREQ(extensions[0], "glActiveTextureARB");
    EXPECT_STREQ(extensions[1], "glClientActiveTextureARB");
    EXPECT_STREQ(extensions[2], "glMultiTexCoord1dARB");
    EXPECT_STREQ(extensions[9], "glMultiTexCoord1svARB");
    EXPECT_STREQ(extensions[10], "glMultiTexCoord2dARB");
    EXPECT_STREQ(extensions[33], "glMultiTexCoord4svARB");
    EXPECT_STREQ(extensions[34], "glLockArraysEXT");
    EXPECT_STREQ(extensions[36], "wglSwapIntervalEXT");
    EXPECT_STREQ(extensions[37], "wglGetSwapIntervalEXT");
    EXPECT_STREQ(extensions[OpenGLLib::EXTENSION_COUNT - 1], "glPointParameterfvEXT");
}

TEST_F(OpenGLLibExtensions, DriverAnswerComesFirstThenTheExportsAndNothingWithoutALibrary)
{
    EXPECT_EQ(OpenGLLib::GetExtProc("glActiveTextureARB"), nullptr);

    std::map<std::string, Proc> exports = platform::FakeGLExports();
    exports["wglGetProcAddress"] = AsProc(DriverGetProcAddress);
    exports["glActiveTextureARB"] = ExportedActiveTexture;
    exports["glLockArraysEXT"] = ExportedLockArrays;
    fake.AddLibrary("opengl32.dll", exports);
    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_OK);
    EXPECT_EQ(AsProc(OpenGLLib::glActiveTextureARB), AsProc(DriverActiveTexture));
    EXPECT_EQ(AsProc(OpenGLLib::glLockArraysEXT), AsProc(ExportedLockArrays));
    EXPECT_EQ(OpenGLLib::glPointParameterfEXT, nullptr);
    EXPECT_EQ(OpenGLLib::wglSwapIntervalEXT, nullptr);
    EXPECT_EQ(OpenGLLib::GetExtProc("glActiveTextureARB"), AsProc(DriverActiveTexture));
    OpenGLLib::Free();
    EXPECT_EQ(OpenGLLib::GetExtProc("glLockArraysEXT"), nullptr) << "the library is gone";

    fake.AddLibrary("opengl32.dll", Without(exports, "wglGetProcAddress"));
    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_OK);
    EXPECT_EQ(OpenGLLib::GetExtProc("glLockArraysEXT"), nullptr)
        << "without wglGetProcAddress the exports are not searched";
    EXPECT_EQ(OpenGLLib::glLockArraysEXT, nullptr);
}

TEST_F(OpenGLLibFakeGL, TexturesExistFromBindToDeleteAndReadPixelsKeepsRowPadding)
{
    fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
    ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), OpenGLLib::LOAD_OK);

    GLuint names[2] = {};
    OpenGLLib::glGenTextures(2, names);
    EXPECT_EQ(names[0], 1u);
    EXPECT_EQ(names[1], 2u);
    EXPECT_EQ(OpenGLLib::glIsTexture(1), GL_FALSE) << "a generated name is no texture yet";
    OpenGLLib::glBindTexture(GL_TEXTURE_2D, 1);
    EXPECT_EQ(OpenGLLib::glIsTexture(1), GL_TRUE);
    OpenGLLib::glDeleteTextures(1, names);
    EXPECT_EQ(OpenGLLib::glIsTexture(1), GL_FALSE);

    // One RGB pixel per row: 3 bytes, padded to 4.
    constexpr std::uint8_t UNTOUCHED = 0xEE;
    platform::FakeGLSetReadPixels({1, 2, 3, 4, 5});
    std::vector<std::uint8_t> pixels(8, UNTOUCHED);
    OpenGLLib::glReadPixels(0, 0, 1, 2, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    EXPECT_EQ(pixels, (std::vector<std::uint8_t>{1, 2, 3, UNTOUCHED, 4, 5, 1, UNTOUCHED}));

    EXPECT_EQ(platform::FakeGLCalls(),
              (std::vector<std::string>{"glGenTextures(2, ptr)", "glIsTexture(1)",
                                        "glBindTexture(0xDE1, 1)", "glIsTexture(1)",
                                        "glDeleteTextures(1, ptr)", "glIsTexture(1)",
                                        "glReadPixels(0, 0, 1, 2, 0x1907, 0x1401, ptr)"}));
}

}  // namespace
