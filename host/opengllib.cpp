// The run-time OpenGL binding: library choice, counted loading and freeing,
// entry point resolution and the routing of wgl and GDI calls. Every library
// call goes through platform::Os(), the real backend or a test's fake.
#include "host/opengllib.h"

#include <cstring>

namespace OpenGLLib {

#define OPENGLLIB_DEFINE_CORE(name) decltype(&::name) name = nullptr;
PLATFORM_GL_ENTRY_POINTS(OPENGLLIB_DEFINE_CORE)
#undef OPENGLLIB_DEFINE_CORE

#define OPENGLLIB_DEFINE(name, type) type name = nullptr;
PLATFORM_GLU_ENTRY_POINTS(OPENGLLIB_DEFINE)
PLATFORM_GL_EXTENSION_ENTRY_POINTS(OPENGLLIB_DEFINE)
#undef OPENGLLIB_DEFINE

namespace {

constexpr const char* SYSTEM_LIBRARY = "opengl32.dll";
constexpr const char* STANDALONE_LIBRARY = "opengl.dll";
constexpr const char* VOODOO_LIBRARY = "3dfxvgl.dll";

struct LibraryPair {
    const char* gl;
    const char* glu;
};
constexpr LibraryPair LIBRARY_PAIRS[] = {
    {STANDALONE_LIBRARY, "glu.dll"},
    {SYSTEM_LIBRARY, "glu32.dll"},
    {VOODOO_LIBRARY, "3dfxvglu.dll"},
};

std::uint32_t loadCount = 0;
platform::ModuleHandle glLibrary = nullptr;
platform::ModuleHandle gluLibrary = nullptr;
std::int32_t gdiBypass = 0;

// Stores a resolved address into one pointer of a table; one per entry point,
// generated from the same list as the names, so index i of both agree.
using Store = void (*)(platform::Proc proc);

template <typename Function>
void Assign(Function& pointer, platform::Proc proc)
{
    pointer = reinterpret_cast<Function>(proc);
}

#define OPENGLLIB_CORE_STORE(name) [](platform::Proc proc) { Assign(OpenGLLib::name, proc); },
#define OPENGLLIB_STORE(name, type) [](platform::Proc proc) { Assign(OpenGLLib::name, proc); },
const Store CORE_STORES[] = {PLATFORM_GL_ENTRY_POINTS(OPENGLLIB_CORE_STORE)};
const Store GLU_STORES[] = {PLATFORM_GLU_ENTRY_POINTS(OPENGLLIB_STORE)};
const Store EXTENSION_STORES[] = {PLATFORM_GL_EXTENSION_ENTRY_POINTS(OPENGLLIB_STORE)};
#undef OPENGLLIB_CORE_STORE
#undef OPENGLLIB_STORE
static_assert(std::size(CORE_STORES) == CORE_COUNT, "one store per core entry point");
static_assert(std::size(GLU_STORES) == GLU_COUNT, "one store per GLU entry point");
static_assert(std::size(EXTENSION_STORES) == EXTENSION_COUNT, "one store per extension");

bool CanLoad(const char* name)
{
    platform::Backend& os = platform::Os();
    const platform::ModuleHandle module = os.LoadLibrary(name);
    if (module == nullptr)
        return false;
    os.FreeLibrary(module);
    return true;
}

// The GLU library that comes with the GL library name; null when none does.
const char* GluLibraryFor(const char* name)
{
    for (const LibraryPair& pair : LIBRARY_PAIRS) {
        if (std::strcmp(name, pair.gl) == 0)
            return pair.glu;
    }
    return nullptr;
}

// Resolves names[i] into stores[i] in order; false at the first missing one.
bool ResolveAll(platform::ModuleHandle module, const char* const* names, const Store* stores,
                std::uint32_t count)
{
    platform::Backend& os = platform::Os();
    for (std::uint32_t i = 0; i < count; ++i) {
        const platform::Proc proc = os.GetProcAddress(module, names[i]);
        if (proc == nullptr)
            return false;
        stores[i](proc);
    }
    return true;
}

void ResolveExtensions()
{
    for (std::uint32_t i = 0; i < EXTENSION_COUNT; ++i)
        EXTENSION_STORES[i](GetExtProc(EXTENSION_NAMES[i]));
}

// The GL library's export of that name as Function; null when there is none.
template <typename Function>
Function LibraryFunction(const char* name)
{
    if (glLibrary == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(platform::Os().GetProcAddress(glLibrary, name));
}

// The library's own pixel-format function once the GDI is out of the way. The
// library that answers one of these is the one that owns the pixel formats,
// so every later call goes straight to it.
template <typename Function, typename... Arguments>
int LibraryPixelFormatCall(const char* name, Arguments... arguments)
{
    const Function function = LibraryFunction<Function>(name);
    if (function == nullptr)
        return 0;
    gdiBypass = 1;
    return function(arguments...);
}

}  // namespace

void Choose(char* nameBuffer)
{
    nameBuffer[0] = '\0';
    if (CanLoad(VOODOO_LIBRARY))
        std::strcpy(nameBuffer, VOODOO_LIBRARY);
    else if (CanLoad(STANDALONE_LIBRARY))
        std::strcpy(nameBuffer, STANDALONE_LIBRARY);
    else
        std::strcpy(nameBuffer, SYSTEM_LIBRARY);
}

std::int32_t Load(const char* name)
{
    if (++loadCount > 1)
        return LOAD_OK;
    // A library loaded afresh brings its own routing; none of the last one's.
    gdiBypass = 0;
    platform::Backend& os = platform::Os();
    glLibrary = os.LoadLibrary(name);
    if (glLibrary == nullptr) {
        os.MessageBox(os.GetFocus(), "Could not open OpenGL Library", "Error");
        return LOAD_NO_LIBRARY;
    }
    const char* const gluName = GluLibraryFor(name);
    if (gluName != nullptr)
        gluLibrary = os.LoadLibrary(gluName);
    if (!ResolveAll(glLibrary, CORE_NAMES, CORE_STORES, CORE_COUNT))
        return LOAD_MISSING_ENTRY_POINT;
    if (gluLibrary != nullptr && !ResolveAll(gluLibrary, GLU_NAMES, GLU_STORES, GLU_COUNT))
        return LOAD_MISSING_ENTRY_POINT;
    // Only the system library leaves pixel formats and swaps to the GDI.
    if (std::strcmp(name, SYSTEM_LIBRARY) != 0)
        gdiBypass = 1;
    ResolveExtensions();
    return LOAD_OK;
}

void Free()
{
    if (loadCount == 0)
        return;
    if (--loadCount > 0)
        return;
    platform::Backend& os = platform::Os();
    if (glLibrary != nullptr)
        os.FreeLibrary(glLibrary);
    if (gluLibrary != nullptr)
        os.FreeLibrary(gluLibrary);
    glLibrary = nullptr;
    gluLibrary = nullptr;
}

platform::Proc GetExtProc(const char* name)
{
    const auto getProcAddress =
        LibraryFunction<platform::GetGLProcAddressProc>("wglGetProcAddress");
    if (getProcAddress == nullptr)
        return nullptr;
    const platform::Proc proc = getProcAddress(name);
    if (proc != nullptr)
        return proc;
    return platform::Os().GetProcAddress(glLibrary, name);
}

platform::GLContextHandle wglCreateContext(platform::DeviceContextHandle dc)
{
    const auto function = LibraryFunction<platform::CreateContextProc>("wglCreateContext");
    return function != nullptr ? function(dc) : nullptr;
}

int wglDeleteContext(platform::GLContextHandle context)
{
    const auto function = LibraryFunction<platform::DeleteContextProc>("wglDeleteContext");
    return function != nullptr ? function(context) : 0;
}

int wglMakeCurrent(platform::DeviceContextHandle dc, platform::GLContextHandle context)
{
    const auto function = LibraryFunction<platform::MakeCurrentProc>("wglMakeCurrent");
    return function != nullptr ? function(dc, context) : 0;
}

int SwapBuffers(platform::DeviceContextHandle dc)
{
    if (gdiBypass == 0 && platform::Os().SwapBuffers(dc))
        return 1;
    const auto function = LibraryFunction<platform::SwapBuffersProc>("wglSwapBuffers");
    return function != nullptr ? function(dc) : 0;
}

int ChoosePixelFormat(platform::DeviceContextHandle dc, const platform::PixelFormatDescriptor* pfd)
{
    if (gdiBypass == 0) {
        const int format = platform::Os().ChoosePixelFormat(dc, pfd);
        if (format != 0)
            return format;
    }
    return LibraryPixelFormatCall<platform::ChoosePixelFormatProc>("wglChoosePixelFormat", dc, pfd);
}

int DescribePixelFormat(platform::DeviceContextHandle dc, int format, unsigned size,
                        platform::PixelFormatDescriptor* pfd)
{
    if (gdiBypass == 0) {
        const int maximum = platform::Os().DescribePixelFormat(dc, format, size, pfd);
        if (maximum != 0)
            return maximum;
    }
    return LibraryPixelFormatCall<platform::DescribePixelFormatProc>("wglDescribePixelFormat", dc,
                                                                     format, size, pfd);
}

int SetPixelFormat(platform::DeviceContextHandle dc, int format,
                   const platform::PixelFormatDescriptor* pfd)
{
    if (gdiBypass == 0 && platform::Os().SetPixelFormat(dc, format, pfd))
        return 1;
    return LibraryPixelFormatCall<platform::SetPixelFormatProc>("wglSetPixelFormat", dc, format,
                                                                pfd);
}

std::uint32_t LoadCount() { return loadCount; }

std::int32_t GdiBypass() { return gdiBypass; }

platform::ModuleHandle GLLibrary() { return glLibrary; }

platform::ModuleHandle GLULibrary() { return gluLibrary; }

}  // namespace OpenGLLib
