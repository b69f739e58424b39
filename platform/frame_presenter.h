// The frame shown on a drawable of another size, or multisampled where the
// drawable is not: the system draws into an offscreen framebuffer of the
// frame's own size, and every swap blits it to the window's drawable, scaled
// to the largest size that keeps its shape (or 1:1 where a chosen size fits),
// centred on black. A multisampled frame is resolved into a second
// framebuffer first, which reads come from too. A presenter's calls run with
// its GL context current.
#pragma once

#include <SDL.h>
#include <GL/gl.h>

namespace platform {

struct FrameRect {
    int x = 0, y = 0;           // lower-left corner in the target
    int width = 0, height = 0;  // pixels
};

// The largest rectangle of the frame's shape inside the target, centred.
FrameRect FitFrame(int frameWidth, int frameHeight, int targetWidth, int targetHeight);
// The frame 1:1 and centred when the target holds it, else FitFrame.
FrameRect PlaceFrame(int frameWidth, int frameHeight, int targetWidth, int targetHeight, bool oneToOne);

// Framebuffer-object calls, resolved by the platform itself so the system's
// own binding stays GL 1.1.
struct FrameGl {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC renderbufferStorageMultisample;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
    void (*clearColor)(GLfloat, GLfloat, GLfloat, GLfloat);
    void (*clear)(GLbitfield);
    void (*colorMask)(GLboolean, GLboolean, GLboolean, GLboolean);
    void (*enable)(GLenum);
    void (*disable)(GLenum);
    GLboolean (*isEnabled)(GLenum);
    void (*getFloatv)(GLenum, GLfloat*);
    void (*getBooleanv)(GLenum, GLboolean*);
    void (*getIntegerv)(GLenum, GLint*);
};

class FramePresenter {
public:
    // Makes an offscreen framebuffer of width x height, with 24-bit depth and
    // 8-bit stencil as the window's pixel format, the target of every draw and
    // read, cleared to black; with samples above 1, multisampled with as many
    // as the context has up to that. oneToOne shows it unscaled where it fits.
    // False, and nothing changed, when the context has no framebuffer objects
    // or the framebuffer cannot be completed; such a context is not asked again.
    bool Start(int width, int height, int samples, bool oneToOne);
    bool Active() const { return framebuffer_ != 0; }
    // Samples of the frame: 0 without multisampling.
    int Samples() const { return samples_; }
    // Makes what was drawn readable: a multisampled frame is resolved into
    // the framebuffer reads come from. Drawing goes on in the frame.
    void Resolve() const;
    // Blits the frame onto window's drawable within black bars, swaps, and
    // leaves drawing in the frame again. GL state the system set is kept.
    void Present(SDL_Window* window) const;

private:
    struct SavedState;

    bool ResolveFunctions();
    bool MakeFramebuffer(GLuint& framebuffer, GLuint (&renderbuffers)[2], int samples, bool withDepth);
    SavedState ClearToBlack() const;
    void Restore(const SavedState& saved) const;

    FrameGl gl_{};
    GLuint framebuffer_ = 0;  // 0: not started, the window is drawn directly; the
                              // context's deletion frees it and its renderbuffers
    GLuint resolved_ = 0;     // single-sampled copy of a multisampled frame, or 0
    int width_ = 0, height_ = 0;
    int samples_ = 0;
    bool oneToOne_ = false;
    bool refused_ = false;    // a start failed: the context cannot have the frame
};

}  // namespace platform
