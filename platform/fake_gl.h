// A recording stand-in for the GL and GLU libraries: export tables to hand to
// FakeBackend::AddLibrary, whose functions append one readable line per call
// to a global log. Needs no GL context; the state lives in this process only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

// Every OpenGL 1.1 entry point plus wglCreateContext (a non-null fake context),
// wglMakeCurrent and wglDeleteContext (both answer 1) and wglGetProcAddress
// (answers null, so extensions are found only among these exports).
std::map<std::string, Proc> FakeGLExports();
// Every GLU entry point the binding resolves.
std::map<std::string, Proc> FakeGLUExports();

// One line per recorded call, in call order: the name and its arguments in
// parentheses separated by ", ". Enums and bitfields print as 0x-prefixed
// upper-case hex, integers and booleans in decimal, floats as %g, pointers as
// "ptr": "glClear(0x4100)", "glColor4f(0, 0, 0, 0.05)", "glGenTextures(1, ptr)".
// Entry points without a recorder log "unexpected GL call".
//
// Recorded: glBegin glBindTexture glBlendFunc glClear glClearColor glColor3f
// glColor4f glDeleteTextures glDepthFunc glDepthMask glDisable glEnable glEnd
// glGenTextures glIsTexture glLoadIdentity glMatrixMode glNormal3f glPolygonMode
// glPopMatrix glPushMatrix glReadPixels glShadeModel glTexCoord2f glTexEnvf
// glTexParameteri glTranslatef glVertex3f glVertex4f glViewport
// gluBuild2DMipmaps (answers 0).
std::vector<std::string>& FakeGLCalls();

// Texture names that exist: glBindTexture of a non-zero name creates it,
// glDeleteTextures removes it, glIsTexture answers from it. glGenTextures hands
// out increasing names from 1 up, skipping names that exist.
const std::set<std::uint32_t>& FakeGLTextures();

// The bytes glReadPixels writes: the pattern is repeated over the image's
// pixel bytes, row after row, skipping the padding that the default 4-byte
// pack alignment adds to each row. An empty pattern (the start) writes nothing.
void FakeGLSetReadPixels(std::vector<std::uint8_t> pattern);

// With logging off the recorders only count their calls and allocate
// nothing, so that code under an allocation count can draw into the fake.
// Logging is on at the start and after FakeGLReset.
void FakeGLSetLogging(bool on);
// Recorded calls since the last reset, logged or not.
std::size_t FakeGLCallCount();
// Whether a call since the last reset, logged or not, was given a float
// argument that is infinite or not a number.
bool FakeGLSawNonFinite();

// Empties the log, the textures and the read-pixels pattern; logging on.
void FakeGLReset();

}  // namespace platform
