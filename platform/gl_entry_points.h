// What a GL library and its GLU library export, by name: the lists of entry
// points that everything reading those libraries expands (the binding above
// the platform layer, the recording fake below it), and their name tables.
// The type in an entry is spelt for the place that expands it; these tables
// need only the names.
#pragma once

#include <cstdint>
#include <iterator>

// Every OpenGL 1.0 and 1.1 entry point, sorted by name in strcmp order. The
// binding's pointers, the name tables and the fake library's exports all
// expand this one list, so they cannot disagree.
#define PLATFORM_GL_ENTRY_POINTS(X) \
    X(glAccum) X(glAlphaFunc) X(glAreTexturesResident) X(glArrayElement) X(glBegin) \
    X(glBindTexture) X(glBitmap) X(glBlendFunc) X(glCallList) X(glCallLists) X(glClear) \
    X(glClearAccum) X(glClearColor) X(glClearDepth) X(glClearIndex) X(glClearStencil) \
    X(glClipPlane) X(glColor3b) X(glColor3bv) X(glColor3d) X(glColor3dv) X(glColor3f) \
    X(glColor3fv) X(glColor3i) X(glColor3iv) X(glColor3s) X(glColor3sv) X(glColor3ub) \
    X(glColor3ubv) X(glColor3ui) X(glColor3uiv) X(glColor3us) X(glColor3usv) X(glColor4b) \
    X(glColor4bv) X(glColor4d) X(glColor4dv) X(glColor4f) X(glColor4fv) X(glColor4i) \
    X(glColor4iv) X(glColor4s) X(glColor4sv) X(glColor4ub) X(glColor4ubv) X(glColor4ui) \
    X(glColor4uiv) X(glColor4us) X(glColor4usv) X(glColorMask) X(glColorMaterial) \
    X(glColorPointer) X(glCopyPixels) X(glCopyTexImage1D) X(glCopyTexImage2D) \
    X(glCopyTexSubImage1D) X(glCopyTexSubImage2D) X(glCullFace) X(glDeleteLists) \
    X(glDeleteTextures) X(glDepthFunc) X(glDepthMask) X(glDepthRange) X(glDisable) \
    X(glDisableClientState) X(glDrawArrays) X(glDrawBuffer) X(glDrawElements) \
    X(glDrawPixels) X(glEdgeFlag) X(glEdgeFlagPointer) X(glEdgeFlagv) X(glEnable) \
    X(glEnableClientState) X(glEnd) X(glEndList) X(glEvalCoord1d) X(glEvalCoord1dv) \
    X(glEvalCoord1f) X(glEvalCoord1fv) X(glEvalCoord2d) X(glEvalCoord2dv) X(glEvalCoord2f) \
    X(glEvalCoord2fv) X(glEvalMesh1) X(glEvalMesh2) X(glEvalPoint1) X(glEvalPoint2) \
    X(glFeedbackBuffer) X(glFinish) X(glFlush) X(glFogf) X(glFogfv) X(glFogi) X(glFogiv) \
    X(glFrontFace) X(glFrustum) X(glGenLists) X(glGenTextures) X(glGetBooleanv) \
    X(glGetClipPlane) X(glGetDoublev) X(glGetError) X(glGetFloatv) X(glGetIntegerv) \
    X(glGetLightfv) X(glGetLightiv) X(glGetMapdv) X(glGetMapfv) X(glGetMapiv) \
    X(glGetMaterialfv) X(glGetMaterialiv) X(glGetPixelMapfv) X(glGetPixelMapuiv) \
    X(glGetPixelMapusv) X(glGetPointerv) X(glGetPolygonStipple) X(glGetString) \
    X(glGetTexEnvfv) X(glGetTexEnviv) X(glGetTexGendv) X(glGetTexGenfv) X(glGetTexGeniv) \
    X(glGetTexImage) X(glGetTexLevelParameterfv) X(glGetTexLevelParameteriv) \
    X(glGetTexParameterfv) X(glGetTexParameteriv) X(glHint) X(glIndexMask) X(glIndexPointer) \
    X(glIndexd) X(glIndexdv) X(glIndexf) X(glIndexfv) X(glIndexi) X(glIndexiv) X(glIndexs) \
    X(glIndexsv) X(glIndexub) X(glIndexubv) X(glInitNames) X(glInterleavedArrays) \
    X(glIsEnabled) X(glIsList) X(glIsTexture) X(glLightModelf) X(glLightModelfv) \
    X(glLightModeli) X(glLightModeliv) X(glLightf) X(glLightfv) X(glLighti) X(glLightiv) \
    X(glLineStipple) X(glLineWidth) X(glListBase) X(glLoadIdentity) X(glLoadMatrixd) \
    X(glLoadMatrixf) X(glLoadName) X(glLogicOp) X(glMap1d) X(glMap1f) X(glMap2d) X(glMap2f) \
    X(glMapGrid1d) X(glMapGrid1f) X(glMapGrid2d) X(glMapGrid2f) X(glMaterialf) \
    X(glMaterialfv) X(glMateriali) X(glMaterialiv) X(glMatrixMode) X(glMultMatrixd) \
    X(glMultMatrixf) X(glNewList) X(glNormal3b) X(glNormal3bv) X(glNormal3d) X(glNormal3dv) \
    X(glNormal3f) X(glNormal3fv) X(glNormal3i) X(glNormal3iv) X(glNormal3s) X(glNormal3sv) \
    X(glNormalPointer) X(glOrtho) X(glPassThrough) X(glPixelMapfv) X(glPixelMapuiv) \
    X(glPixelMapusv) X(glPixelStoref) X(glPixelStorei) X(glPixelTransferf) \
    X(glPixelTransferi) X(glPixelZoom) X(glPointSize) X(glPolygonMode) X(glPolygonOffset) \
    X(glPolygonStipple) X(glPopAttrib) X(glPopClientAttrib) X(glPopMatrix) X(glPopName) \
    X(glPrioritizeTextures) X(glPushAttrib) X(glPushClientAttrib) X(glPushMatrix) \
    X(glPushName) X(glRasterPos2d) X(glRasterPos2dv) X(glRasterPos2f) X(glRasterPos2fv) \
    X(glRasterPos2i) X(glRasterPos2iv) X(glRasterPos2s) X(glRasterPos2sv) X(glRasterPos3d) \
    X(glRasterPos3dv) X(glRasterPos3f) X(glRasterPos3fv) X(glRasterPos3i) X(glRasterPos3iv) \
    X(glRasterPos3s) X(glRasterPos3sv) X(glRasterPos4d) X(glRasterPos4dv) X(glRasterPos4f) \
    X(glRasterPos4fv) X(glRasterPos4i) X(glRasterPos4iv) X(glRasterPos4s) X(glRasterPos4sv) \
    X(glReadBuffer) X(glReadPixels) X(glRectd) X(glRectdv) X(glRectf) X(glRectfv) X(glRecti) \
    X(glRectiv) X(glRects) X(glRectsv) X(glRenderMode) X(glRotated) X(glRotatef) X(glScaled) \
    X(glScalef) X(glScissor) X(glSelectBuffer) X(glShadeModel) X(glStencilFunc) \
    X(glStencilMask) X(glStencilOp) X(glTexCoord1d) X(glTexCoord1dv) X(glTexCoord1f) \
    X(glTexCoord1fv) X(glTexCoord1i) X(glTexCoord1iv) X(glTexCoord1s) X(glTexCoord1sv) \
    X(glTexCoord2d) X(glTexCoord2dv) X(glTexCoord2f) X(glTexCoord2fv) X(glTexCoord2i) \
    X(glTexCoord2iv) X(glTexCoord2s) X(glTexCoord2sv) X(glTexCoord3d) X(glTexCoord3dv) \
    X(glTexCoord3f) X(glTexCoord3fv) X(glTexCoord3i) X(glTexCoord3iv) X(glTexCoord3s) \
    X(glTexCoord3sv) X(glTexCoord4d) X(glTexCoord4dv) X(glTexCoord4f) X(glTexCoord4fv) \
    X(glTexCoord4i) X(glTexCoord4iv) X(glTexCoord4s) X(glTexCoord4sv) X(glTexCoordPointer) \
    X(glTexEnvf) X(glTexEnvfv) X(glTexEnvi) X(glTexEnviv) X(glTexGend) X(glTexGendv) \
    X(glTexGenf) X(glTexGenfv) X(glTexGeni) X(glTexGeniv) X(glTexImage1D) X(glTexImage2D) \
    X(glTexParameterf) X(glTexParameterfv) X(glTexParameteri) X(glTexParameteriv) \
    X(glTexSubImage1D) X(glTexSubImage2D) X(glTranslated) X(glTranslatef) X(glVertex2d) \
    X(glVertex2dv) X(glVertex2f) X(glVertex2fv) X(glVertex2i) X(glVertex2iv) X(glVertex2s) \
    X(glVertex2sv) X(glVertex3d) X(glVertex3dv) X(glVertex3f) X(glVertex3fv) X(glVertex3i) \
    X(glVertex3iv) X(glVertex3s) X(glVertex3sv) X(glVertex4d) X(glVertex4dv) X(glVertex4f) \
    X(glVertex4fv) X(glVertex4i) X(glVertex4iv) X(glVertex4s) X(glVertex4sv) \
    X(glVertexPointer) X(glViewport)

// The GLU entry points as name and pointer type, in resolving order.
#define PLATFORM_GLU_ENTRY_POINTS(X) \
    X(gluErrorString, decltype(&::gluErrorString)) \
    X(gluErrorUnicodeStringEXT, ErrorUnicodeStringProc) \
    X(gluGetString, decltype(&::gluGetString)) \
    X(gluOrtho2D, decltype(&::gluOrtho2D)) \
    X(gluPerspective, decltype(&::gluPerspective)) \
    X(gluPickMatrix, decltype(&::gluPickMatrix)) \
    X(gluLookAt, decltype(&::gluLookAt)) \
    X(gluProject, decltype(&::gluProject)) \
    X(gluUnProject, decltype(&::gluUnProject)) \
    X(gluScaleImage, decltype(&::gluScaleImage)) \
    X(gluBuild1DMipmaps, decltype(&::gluBuild1DMipmaps)) \
    X(gluBuild2DMipmaps, decltype(&::gluBuild2DMipmaps)) \
    X(gluNewQuadric, decltype(&::gluNewQuadric)) \
    X(gluDeleteQuadric, decltype(&::gluDeleteQuadric)) \
    X(gluQuadricNormals, decltype(&::gluQuadricNormals)) \
    X(gluQuadricTexture, decltype(&::gluQuadricTexture)) \
    X(gluQuadricOrientation, decltype(&::gluQuadricOrientation)) \
    X(gluQuadricDrawStyle, decltype(&::gluQuadricDrawStyle)) \
    X(gluCylinder, decltype(&::gluCylinder)) \
    X(gluDisk, decltype(&::gluDisk)) \
    X(gluPartialDisk, decltype(&::gluPartialDisk)) \
    X(gluSphere, decltype(&::gluSphere)) \
    X(gluQuadricCallback, decltype(&::gluQuadricCallback)) \
    X(gluNewTess, decltype(&::gluNewTess)) \
    X(gluDeleteTess, decltype(&::gluDeleteTess)) \
    X(gluTessBeginPolygon, decltype(&::gluTessBeginPolygon)) \
    X(gluTessBeginContour, decltype(&::gluTessBeginContour)) \
    X(gluTessVertex, decltype(&::gluTessVertex)) \
    X(gluTessEndContour, decltype(&::gluTessEndContour)) \
    X(gluTessEndPolygon, decltype(&::gluTessEndPolygon)) \
    X(gluTessProperty, decltype(&::gluTessProperty)) \
    X(gluTessNormal, decltype(&::gluTessNormal)) \
    X(gluTessCallback, decltype(&::gluTessCallback)) \
    X(gluGetTessProperty, decltype(&::gluGetTessProperty)) \
    X(gluNewNurbsRenderer, decltype(&::gluNewNurbsRenderer)) \
    X(gluDeleteNurbsRenderer, decltype(&::gluDeleteNurbsRenderer)) \
    X(gluBeginSurface, decltype(&::gluBeginSurface)) \
    X(gluBeginCurve, decltype(&::gluBeginCurve)) \
    X(gluEndCurve, decltype(&::gluEndCurve)) \
    X(gluEndSurface, decltype(&::gluEndSurface)) \
    X(gluBeginTrim, decltype(&::gluBeginTrim)) \
    X(gluEndTrim, decltype(&::gluEndTrim)) \
    X(gluPwlCurve, decltype(&::gluPwlCurve)) \
    X(gluNurbsCurve, decltype(&::gluNurbsCurve)) \
    X(gluNurbsSurface, decltype(&::gluNurbsSurface)) \
    X(gluLoadSamplingMatrices, decltype(&::gluLoadSamplingMatrices)) \
    X(gluNurbsProperty, decltype(&::gluNurbsProperty)) \
    X(gluGetNurbsProperty, decltype(&::gluGetNurbsProperty)) \
    X(gluNurbsCallback, decltype(&::gluNurbsCallback))

// Optional entry points as name and pointer type; each is null when the driver
// lacks it.
#define PLATFORM_GL_EXTENSION_ENTRY_POINTS(X) \
    X(glActiveTextureARB, PFNGLACTIVETEXTUREARBPROC) \
    X(glClientActiveTextureARB, PFNGLCLIENTACTIVETEXTUREARBPROC) \
    X(glMultiTexCoord1dARB, PFNGLMULTITEXCOORD1DARBPROC) \
    X(glMultiTexCoord1dvARB, PFNGLMULTITEXCOORD1DVARBPROC) \
    X(glMultiTexCoord1fARB, PFNGLMULTITEXCOORD1FARBPROC) \
    X(glMultiTexCoord1fvARB, PFNGLMULTITEXCOORD1FVARBPROC) \
    X(glMultiTexCoord1iARB, PFNGLMULTITEXCOORD1IARBPROC) \
    X(glMultiTexCoord1ivARB, PFNGLMULTITEXCOORD1IVARBPROC) \
    X(glMultiTexCoord1sARB, PFNGLMULTITEXCOORD1SARBPROC) \
    X(glMultiTexCoord1svARB, PFNGLMULTITEXCOORD1SVARBPROC) \
    X(glMultiTexCoord2dARB, PFNGLMULTITEXCOORD2DARBPROC) \
    X(glMultiTexCoord2dvARB, PFNGLMULTITEXCOORD2DVARBPROC) \
    X(glMultiTexCoord2fARB, PFNGLMULTITEXCOORD2FARBPROC) \
    X(glMultiTexCoord2fvARB, PFNGLMULTITEXCOORD2FVARBPROC) \
    X(glMultiTexCoord2iARB, PFNGLMULTITEXCOORD2IARBPROC) \
    X(glMultiTexCoord2ivARB, PFNGLMULTITEXCOORD2IVARBPROC) \
    X(glMultiTexCoord2sARB, PFNGLMULTITEXCOORD2SARBPROC) \
    X(glMultiTexCoord2svARB, PFNGLMULTITEXCOORD2SVARBPROC) \
    X(glMultiTexCoord3dARB, PFNGLMULTITEXCOORD3DARBPROC) \
    X(glMultiTexCoord3dvARB, PFNGLMULTITEXCOORD3DVARBPROC) \
    X(glMultiTexCoord3fARB, PFNGLMULTITEXCOORD3FARBPROC) \
    X(glMultiTexCoord3fvARB, PFNGLMULTITEXCOORD3FVARBPROC) \
    X(glMultiTexCoord3iARB, PFNGLMULTITEXCOORD3IARBPROC) \
    X(glMultiTexCoord3ivARB, PFNGLMULTITEXCOORD3IVARBPROC) \
    X(glMultiTexCoord3sARB, PFNGLMULTITEXCOORD3SARBPROC) \
    X(glMultiTexCoord3svARB, PFNGLMULTITEXCOORD3SVARBPROC) \
    X(glMultiTexCoord4dARB, PFNGLMULTITEXCOORD4DARBPROC) \
    X(glMultiTexCoord4dvARB, PFNGLMULTITEXCOORD4DVARBPROC) \
    X(glMultiTexCoord4fARB, PFNGLMULTITEXCOORD4FARBPROC) \
    X(glMultiTexCoord4fvARB, PFNGLMULTITEXCOORD4FVARBPROC) \
    X(glMultiTexCoord4iARB, PFNGLMULTITEXCOORD4IARBPROC) \
    X(glMultiTexCoord4ivARB, PFNGLMULTITEXCOORD4IVARBPROC) \
    X(glMultiTexCoord4sARB, PFNGLMULTITEXCOORD4SARBPROC) \
    X(glMultiTexCoord4svARB, PFNGLMULTITEXCOORD4SVARBPROC) \
    X(glLockArraysEXT, PFNGLLOCKARRAYSEXTPROC) \
    X(glUnlockArraysEXT, PFNGLUNLOCKARRAYSEXTPROC) \
    X(wglSwapIntervalEXT, SwapIntervalProc) \
    X(wglGetSwapIntervalEXT, GetSwapIntervalProc) \
    X(glPointParameterfEXT, PFNGLPOINTPARAMETERFEXTPROC) \
    X(glPointParameterfvEXT, PFNGLPOINTPARAMETERFVEXTPROC)

namespace platform {

#define PLATFORM_GL_NAME(name) #name,
#define PLATFORM_GL_TYPED_NAME(name, type) #name,
inline constexpr const char* GL_ENTRY_POINT_NAMES[] = {PLATFORM_GL_ENTRY_POINTS(PLATFORM_GL_NAME)};
inline constexpr const char* GLU_ENTRY_POINT_NAMES[] = {PLATFORM_GLU_ENTRY_POINTS(PLATFORM_GL_TYPED_NAME)};
inline constexpr const char* GL_EXTENSION_NAMES[] = {PLATFORM_GL_EXTENSION_ENTRY_POINTS(PLATFORM_GL_TYPED_NAME)};
#undef PLATFORM_GL_NAME
#undef PLATFORM_GL_TYPED_NAME

constexpr std::uint32_t GL_ENTRY_POINT_COUNT = 336;
constexpr std::uint32_t GLU_ENTRY_POINT_COUNT = 49;
constexpr std::uint32_t GL_EXTENSION_COUNT = 40;
static_assert(std::size(GL_ENTRY_POINT_NAMES) == GL_ENTRY_POINT_COUNT, "OpenGL 1.1 has 336 entry points");
static_assert(std::size(GLU_ENTRY_POINT_NAMES) == GLU_ENTRY_POINT_COUNT, "49 GLU entry points");
static_assert(std::size(GL_EXTENSION_NAMES) == GL_EXTENSION_COUNT, "40 extension entry points");

}  // namespace platform
