// The recording fake GL and GLU libraries. The binding calls these through
// the pointers it resolved from the export tables, exactly as it would call a
// driver; each recorder is checked against the real GL signature it stands for.
#include "platform/fake_gl.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <utility>

#include "platform/gl_entry_points.h"

namespace platform {

namespace {

// A non-null token for the one context the fake hands out.
GLContextHandle const FAKE_CONTEXT = reinterpret_cast<GLContextHandle>(std::uintptr_t{0x4000});
constexpr std::uint32_t PACK_ALIGNMENT = 4;  // GL's default row alignment for reads

struct FakeGLState {
    std::vector<std::string> calls;
    std::set<std::uint32_t> textures;
    std::uint32_t nextTexture = 1;
    std::vector<std::uint8_t> readPixels;
    bool logging = true;
    std::size_t callCount = 0;
    bool nonFinite = false;  // some float argument was infinite or not a number
};

// Built on first use, so other static initialisers may already record.
FakeGLState& State()
{
    static FakeGLState state;
    return state;
}

std::string Hex(GLenum value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string Decimal(long long value) { return std::to_string(value); }

std::string Real(double value)
{
    if (!std::isfinite(value))
        State().nonFinite = true;
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

const std::string POINTER = "ptr";

// With logging off nothing is allocated: every argument is short enough to
// live inside its string.
void Record(const char* name, std::initializer_list<std::string> arguments)
{
    ++State().callCount;
    if (!State().logging)
        return;
    std::string line = name;
    line += '(';
    const char* separator = "";
    for (const std::string& argument : arguments) {
        line += separator;
        line += argument;
        separator = ", ";
    }
    line += ')';
    State().calls.push_back(line);
}

void UnexpectedCall()
{
    ++State().callCount;
    if (State().logging)
        State().calls.push_back("unexpected GL call");
}

// Bytes of one pixel as glReadPixels writes it; 0 for what the fake does not know.
std::uint32_t PixelSize(GLenum format, GLenum type)
{
    std::uint32_t components = 0;
    switch (format) {
    case GL_RGBA: case GL_BGRA: components = 4; break;
    case GL_RGB: case GL_BGR: components = 3; break;
    case GL_LUMINANCE_ALPHA: components = 2; break;
    case GL_RED: case GL_GREEN: case GL_BLUE: case GL_ALPHA: case GL_LUMINANCE:
    case GL_DEPTH_COMPONENT: case GL_STENCIL_INDEX: case GL_COLOR_INDEX: components = 1; break;
    default: break;
    }
    switch (type) {
    case GL_UNSIGNED_BYTE: case GL_BYTE: return components;
    case GL_UNSIGNED_SHORT: case GL_SHORT: return components * 2;
    case GL_UNSIGNED_INT: case GL_INT: case GL_FLOAT: return components * 4;
    default: return 0;
    }
}

void FillPixels(GLsizei width, GLsizei height, std::uint32_t pixelSize, std::uint8_t* bytes)
{
    const std::vector<std::uint8_t>& pattern = State().readPixels;
    if (pattern.empty() || bytes == nullptr || width <= 0 || height <= 0)
        return;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * pixelSize;
    const std::size_t stride = (rowBytes + PACK_ALIGNMENT - 1) / PACK_ALIGNMENT * PACK_ALIGNMENT;
    std::size_t next = 0;
    for (GLsizei row = 0; row < height; ++row) {
        std::uint8_t* const rowStart = bytes + static_cast<std::size_t>(row) * stride;
        for (std::size_t i = 0; i < rowBytes; ++i)
            rowStart[i] = pattern[next++ % pattern.size()];
    }
}

// Same names as the entry points they stand for, so the export table reads plainly.
namespace fake {

void glBegin(GLenum mode) { Record("glBegin", {Hex(mode)}); }

void glBindTexture(GLenum target, GLuint texture)
{
    Record("glBindTexture", {Hex(target), Decimal(texture)});
    if (texture != 0)
        State().textures.insert(texture);
}

void glBlendFunc(GLenum source, GLenum destination)
{
    Record("glBlendFunc", {Hex(source), Hex(destination)});
}

void glClear(GLbitfield mask) { Record("glClear", {Hex(mask)}); }

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)
{
    Record("glClearColor", {Real(red), Real(green), Real(blue), Real(alpha)});
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue)
{
    Record("glColor3f", {Real(red), Real(green), Real(blue)});
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    Record("glColor4f", {Real(red), Real(green), Real(blue), Real(alpha)});
}

void glDeleteTextures(GLsizei count, const GLuint* textures)
{
    Record("glDeleteTextures", {Decimal(count), POINTER});
    for (GLsizei i = 0; i < count; ++i)
        State().textures.erase(textures[i]);
}

void glDepthFunc(GLenum function) { Record("glDepthFunc", {Hex(function)}); }

void glDepthMask(GLboolean flag) { Record("glDepthMask", {Decimal(flag)}); }

void glDisable(GLenum capability) { Record("glDisable", {Hex(capability)}); }

void glEnable(GLenum capability) { Record("glEnable", {Hex(capability)}); }

void glEnd() { Record("glEnd", {}); }

void glGenTextures(GLsizei count, GLuint* textures)
{
    Record("glGenTextures", {Decimal(count), POINTER});
    FakeGLState& state = State();
    for (GLsizei i = 0; i < count; ++i) {
        while (state.textures.count(state.nextTexture) != 0)
            ++state.nextTexture;
        textures[i] = state.nextTexture++;
    }
}

GLboolean glIsTexture(GLuint texture)
{
    Record("glIsTexture", {Decimal(texture)});
    return State().textures.count(texture) != 0 ? GL_TRUE : GL_FALSE;
}

void glLoadIdentity() { Record("glLoadIdentity", {}); }

void glMatrixMode(GLenum mode) { Record("glMatrixMode", {Hex(mode)}); }

void glNormal3f(GLfloat x, GLfloat y, GLfloat z)
{
    Record("glNormal3f", {Real(x), Real(y), Real(z)});
}

void glPolygonMode(GLenum face, GLenum mode) { Record("glPolygonMode", {Hex(face), Hex(mode)}); }

void glPopMatrix() { Record("glPopMatrix", {}); }

void glPushMatrix() { Record("glPushMatrix", {}); }

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid* pixels)
{
    Record("glReadPixels", {Decimal(x), Decimal(y), Decimal(width), Decimal(height), Hex(format),
                            Hex(type), POINTER});
    FillPixels(width, height, PixelSize(format, type), static_cast<std::uint8_t*>(pixels));
}

void glShadeModel(GLenum mode) { Record("glShadeModel", {Hex(mode)}); }

void glTexCoord2f(GLfloat s, GLfloat t) { Record("glTexCoord2f", {Real(s), Real(t)}); }

void glTexEnvf(GLenum target, GLenum name, GLfloat value)
{
    Record("glTexEnvf", {Hex(target), Hex(name), Real(value)});
}

void glTexParameteri(GLenum target, GLenum name, GLint value)
{
    Record("glTexParameteri", {Hex(target), Hex(name), Decimal(value)});
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    Record("glTranslatef", {Real(x), Real(y), Real(z)});
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    Record("glVertex3f", {Real(x), Real(y), Real(z)});
}

void glVertex4f(GLfloat x, GLfloat y, GLfloat z, GLfloat w)
{
    Record("glVertex4f", {Real(x), Real(y), Real(z), Real(w)});
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    Record("glViewport", {Decimal(x), Decimal(y), Decimal(width), Decimal(height)});
}

GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void*)
{
    Record("gluBuild2DMipmaps", {Hex(target), Decimal(internalFormat), Decimal(width),
                                 Decimal(height), Hex(format), Hex(type), POINTER});
    return 0;
}

GLContextHandle wglCreateContext(DeviceContextHandle) { return FAKE_CONTEXT; }

int wglMakeCurrent(DeviceContextHandle, GLContextHandle) { return 1; }

int wglDeleteContext(GLContextHandle) { return 1; }

Proc wglGetProcAddress(const char*) { return nullptr; }

}  // namespace fake

// The function as an export; the explicit Expected makes a recorder whose
// signature differs from the entry point's fail to compile.
template <typename Expected>
Proc Export(Expected function)
{
    return reinterpret_cast<Proc>(function);
}

const std::map<std::string, Proc>& CoreRecorders()
{
    using namespace fake;
    static const std::map<std::string, Proc> recorders = {
        {"glBegin", Export<decltype(&::glBegin)>(glBegin)},
        {"glBindTexture", Export<decltype(&::glBindTexture)>(glBindTexture)},
        {"glBlendFunc", Export<decltype(&::glBlendFunc)>(glBlendFunc)},
        {"glClear", Export<decltype(&::glClear)>(glClear)},
        {"glClearColor", Export<decltype(&::glClearColor)>(glClearColor)},
        {"glColor3f", Export<decltype(&::glColor3f)>(glColor3f)},
        {"glColor4f", Export<decltype(&::glColor4f)>(glColor4f)},
        {"glDeleteTextures", Export<decltype(&::glDeleteTextures)>(glDeleteTextures)},
        {"glDepthFunc", Export<decltype(&::glDepthFunc)>(glDepthFunc)},
        {"glDepthMask", Export<decltype(&::glDepthMask)>(glDepthMask)},
        {"glDisable", Export<decltype(&::glDisable)>(glDisable)},
        {"glEnable", Export<decltype(&::glEnable)>(glEnable)},
        {"glEnd", Export<decltype(&::glEnd)>(glEnd)},
        {"glGenTextures", Export<decltype(&::glGenTextures)>(glGenTextures)},
        {"glIsTexture", Export<decltype(&::glIsTexture)>(glIsTexture)},
        {"glLoadIdentity", Export<decltype(&::glLoadIdentity)>(glLoadIdentity)},
        {"glMatrixMode", Export<decltype(&::glMatrixMode)>(glMatrixMode)},
        {"glNormal3f", Export<decltype(&::glNormal3f)>(glNormal3f)},
        {"glPolygonMode", Export<decltype(&::glPolygonMode)>(glPolygonMode)},
        {"glPopMatrix", Export<decltype(&::glPopMatrix)>(glPopMatrix)},
        {"glPushMatrix", Export<decltype(&::glPushMatrix)>(glPushMatrix)},
        {"glReadPixels", Export<decltype(&::glReadPixels)>(glReadPixels)},
        {"glShadeModel", Export<decltype(&::glShadeModel)>(glShadeModel)},
        {"glTexCoord2f", Export<decltype(&::glTexCoord2f)>(glTexCoord2f)},
        {"glTexEnvf", Export<decltype(&::glTexEnvf)>(glTexEnvf)},
        {"glTexParameteri", Export<decltype(&::glTexParameteri)>(glTexParameteri)},
        {"glTranslatef", Export<decltype(&::glTranslatef)>(glTranslatef)},
        {"glVertex3f", Export<decltype(&::glVertex3f)>(glVertex3f)},
        {"glVertex4f", Export<decltype(&::glVertex4f)>(glVertex4f)},
        {"glViewport", Export<decltype(&::glViewport)>(glViewport)},
    };
    return recorders;
}

// Every name of the table: its recorder when it has one, else the shared
// function that logs an unexpected call.
std::map<std::string, Proc> ExportsOf(const char* const* names, std::uint32_t count,
                                      const std::map<std::string, Proc>& recorders)
{
    std::map<std::string, Proc> exports;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto found = recorders.find(names[i]);
        exports[names[i]] = found != recorders.end() ? found->second : UnexpectedCall;
    }
    return exports;
}

}  // namespace

std::map<std::string, Proc> FakeGLExports()
{
    std::map<std::string, Proc> exports =
        ExportsOf(GL_ENTRY_POINT_NAMES, GL_ENTRY_POINT_COUNT, CoreRecorders());
    exports["wglCreateContext"] = Export<CreateContextProc>(fake::wglCreateContext);
    exports["wglMakeCurrent"] = Export<MakeCurrentProc>(fake::wglMakeCurrent);
    exports["wglDeleteContext"] = Export<DeleteContextProc>(fake::wglDeleteContext);
    exports["wglGetProcAddress"] = Export<GetGLProcAddressProc>(fake::wglGetProcAddress);
    return exports;
}

std::map<std::string, Proc> FakeGLUExports()
{
    const std::map<std::string, Proc> recorders = {
        {"gluBuild2DMipmaps", Export<decltype(&::gluBuild2DMipmaps)>(fake::gluBuild2DMipmaps)},
    };
    return ExportsOf(GLU_ENTRY_POINT_NAMES, GLU_ENTRY_POINT_COUNT, recorders);
}

std::vector<std::string>& FakeGLCalls() { return State().calls; }

const std::set<std::uint32_t>& FakeGLTextures() { return State().textures; }

void FakeGLSetReadPixels(std::vector<std::uint8_t> pattern)
{
    State().readPixels = std::move(pattern);
}

void FakeGLSetLogging(bool on) { State().logging = on; }

std::size_t FakeGLCallCount() { return State().callCount; }

bool FakeGLSawNonFinite() { return State().nonFinite; }

void FakeGLReset() { State() = FakeGLState{}; }

}  // namespace platform
