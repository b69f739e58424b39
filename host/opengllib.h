// The run-time OpenGL binding: pointers to every OpenGL 1.1, GLU and extension
// entry point, filled by Load from the libraries the platform layer opens (null
// until then; libGL is never linked), and the wgl and GDI calls routed to them.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cstdint>

#include "platform/gl_entry_points.h"
#include "platform/platform.h"

namespace OpenGLLib {

// Windows-only entry points, absent from the Linux headers.
using ErrorUnicodeStringProc = const wchar_t* (*)(GLenum error);
using SwapIntervalProc = int (*)(int interval);
using GetSwapIntervalProc = int (*)();

#define OPENGLLIB_DECLARE_CORE(name) extern decltype(&::name) name;
PLATFORM_GL_ENTRY_POINTS(OPENGLLIB_DECLARE_CORE)
#undef OPENGLLIB_DECLARE_CORE

#define OPENGLLIB_DECLARE(name, type) extern type name;
PLATFORM_GLU_ENTRY_POINTS(OPENGLLIB_DECLARE)
PLATFORM_GL_EXTENSION_ENTRY_POINTS(OPENGLLIB_DECLARE)
#undef OPENGLLIB_DECLARE

// The entry point names in table order, for resolving and for enumerating.
inline constexpr const auto& CORE_NAMES = platform::GL_ENTRY_POINT_NAMES;
inline constexpr const auto& GLU_NAMES = platform::GLU_ENTRY_POINT_NAMES;
inline constexpr const auto& EXTENSION_NAMES = platform::GL_EXTENSION_NAMES;
constexpr std::uint32_t CORE_COUNT = platform::GL_ENTRY_POINT_COUNT;
constexpr std::uint32_t GLU_COUNT = platform::GLU_ENTRY_POINT_COUNT;
constexpr std::uint32_t EXTENSION_COUNT = platform::GL_EXTENSION_COUNT;

// Load results.
constexpr std::int32_t LOAD_OK = 0;
constexpr std::int32_t LOAD_MISSING_ENTRY_POINT = -1;
constexpr std::int32_t LOAD_NO_LIBRARY = -666;

// Room Choose needs for the longest library name and its NUL.
constexpr std::uint32_t NAME_BUFFER_SIZE = 13;

// Writes the GL library to load into nameBuffer (NAME_BUFFER_SIZE chars at
// least): "3dfxvgl.dll" if it loads, else "opengl.dll" if it loads, else
// "opengl32.dll". The probes free what they loaded.
void Choose(char* nameBuffer);

// Counted: only the first of nested loads does the work. Loads the GL library
// and its GLU library (when one pairs with the name and loads), then resolves
// every core and GLU entry point and the extensions. LOAD_NO_LIBRARY (after a
// message box) when the GL library cannot be loaded, LOAD_MISSING_ENTRY_POINT
// at the first core or GLU entry point missing. Either failure still counts as
// a load that Free must undo.
std::int32_t Load(const char* name);

// Undoes one Load; the last one frees the GL library, then the GLU library.
// The pointers keep their stale values.
void Free();

// The driver's entry point by name: wglGetProcAddress of the GL library first,
// then the library's exports. Null without a GL library or without its
// wglGetProcAddress.
platform::Proc GetExtProc(const char* name);

// The GL library's own context functions; 0 (null) when the library is not
// loaded or lacks the function.
platform::GLContextHandle wglCreateContext(platform::DeviceContextHandle dc);
int wglDeleteContext(platform::GLContextHandle context);
int wglMakeCurrent(platform::DeviceContextHandle dc, platform::GLContextHandle context);

// The GDI call unless the GDI is bypassed or fails, then the GL library's
// function of the wgl name (0 when it has none). A pixel-format call that ends
// up in the library sets the bypass for every later call; a swap does not.
int SwapBuffers(platform::DeviceContextHandle dc);
int ChoosePixelFormat(platform::DeviceContextHandle dc, const platform::PixelFormatDescriptor* pfd);
int DescribePixelFormat(platform::DeviceContextHandle dc, int format, unsigned size,
                        platform::PixelFormatDescriptor* pfd);
int SetPixelFormat(platform::DeviceContextHandle dc, int format,
                   const platform::PixelFormatDescriptor* pfd);

// Read access to the binding's state.
std::uint32_t LoadCount();
std::int32_t GdiBypass();  // non-zero: pixel formats and swaps go to the GL library
platform::ModuleHandle GLLibrary();
platform::ModuleHandle GLULibrary();

}  // namespace OpenGLLib
