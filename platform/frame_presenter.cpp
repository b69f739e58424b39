// The offscreen frame and its blit; see frame_presenter.h. Runs on the main
// thread with the presenter's context current; Present allocates nothing.
#include "platform/frame_presenter.h"

#include <algorithm>
#include <cstdlib>

namespace platform {
namespace {

constexpr int FIRST_FRAMEBUFFER_VERSION = 3;  // GL 3.0 made framebuffer objects core

template <typename Function>
bool Load(Function& function, const char* name)
{
    function = reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
    return function != nullptr;
}

// GLX hands out an address for any name, so the context itself must say it has them.
bool HasFramebufferObjects()
{
    using GetStringProc = const GLubyte* (*)(GLenum);
    GetStringProc getString = nullptr;
    if (!Load(getString, "glGetString"))
        return false;
    const auto* const version = reinterpret_cast<const char*>(getString(GL_VERSION));
    const bool core = version != nullptr && std::atoi(version) >= FIRST_FRAMEBUFFER_VERSION;
    return core || SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object") == SDL_TRUE;
}

}  // namespace

// What a clear to black changes of the system's GL state, to put back after.
struct FramePresenter::SavedState {
    GLfloat clearColour[4];
    GLboolean colourMask[4];
    GLboolean scissor;
};

FrameRect FitFrame(int frameWidth, int frameHeight, int targetWidth, int targetHeight)
{
    FrameRect fit;
    if (frameWidth <= 0 || frameHeight <= 0 || targetWidth <= 0 || targetHeight <= 0)
        return fit;
    const long long wide = static_cast<long long>(targetWidth) * frameHeight;
    const long long tall = static_cast<long long>(targetHeight) * frameWidth;
    if (wide <= tall) {
        fit.width = targetWidth;
        fit.height = static_cast<int>((wide + frameWidth / 2) / frameWidth);
    } else {
        fit.height = targetHeight;
        fit.width = static_cast<int>((tall + frameHeight / 2) / frameHeight);
    }
    fit.x = (targetWidth - fit.width) / 2;
    fit.y = (targetHeight - fit.height) / 2;
    return fit;
}

FrameRect PlaceFrame(int frameWidth, int frameHeight, int targetWidth, int targetHeight, bool oneToOne)
{
    if (!oneToOne || frameWidth > targetWidth || frameHeight > targetHeight)
        return FitFrame(frameWidth, frameHeight, targetWidth, targetHeight);
    return {(targetWidth - frameWidth) / 2, (targetHeight - frameHeight) / 2, frameWidth, frameHeight};
}

bool FramePresenter::ResolveFunctions()
{
    return HasFramebufferObjects() && Load(gl_.genFramebuffers, "glGenFramebuffers") &&
           Load(gl_.deleteFramebuffers, "glDeleteFramebuffers") &&
           Load(gl_.bindFramebuffer, "glBindFramebuffer") &&
           Load(gl_.genRenderbuffers, "glGenRenderbuffers") &&
           Load(gl_.deleteRenderbuffers, "glDeleteRenderbuffers") &&
           Load(gl_.bindRenderbuffer, "glBindRenderbuffer") &&
           Load(gl_.renderbufferStorage, "glRenderbufferStorage") &&
           Load(gl_.renderbufferStorageMultisample, "glRenderbufferStorageMultisample") &&
           Load(gl_.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           Load(gl_.checkFramebufferStatus, "glCheckFramebufferStatus") &&
           Load(gl_.blitFramebuffer, "glBlitFramebuffer") &&
           Load(gl_.clearColor, "glClearColor") && Load(gl_.clear, "glClear") &&
           Load(gl_.colorMask, "glColorMask") && Load(gl_.enable, "glEnable") &&
           Load(gl_.disable, "glDisable") && Load(gl_.isEnabled, "glIsEnabled") &&
           Load(gl_.getFloatv, "glGetFloatv") && Load(gl_.getBooleanv, "glGetBooleanv") &&
           Load(gl_.getIntegerv, "glGetIntegerv");
}

// A framebuffer of the frame's size with a colour renderbuffer (and a depth
// and stencil one), samples of them when above 0, bound for drawing and
// reading. False, with nothing left behind, when it cannot be completed.
bool FramePresenter::MakeFramebuffer(GLuint& framebuffer, GLuint (&renderbuffers)[2], int samples, bool withDepth)
{
    const auto storage = [&](GLenum format) {
        if (samples > 0)
            gl_.renderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width_, height_);
        else
            gl_.renderbufferStorage(GL_RENDERBUFFER, format, width_, height_);
    };
    const GLsizei count = withDepth ? 2 : 1;
    gl_.genFramebuffers(1, &framebuffer);
    gl_.genRenderbuffers(count, renderbuffers);
    gl_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl_.bindRenderbuffer(GL_RENDERBUFFER, renderbuffers[0]);
    storage(GL_RGBA8);
    gl_.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffers[0]);
    if (withDepth) {
        gl_.bindRenderbuffer(GL_RENDERBUFFER, renderbuffers[1]);
        storage(GL_DEPTH24_STENCIL8);
        gl_.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, renderbuffers[1]);
    }
    gl_.bindRenderbuffer(GL_RENDERBUFFER, 0);
    if (gl_.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE)
        return true;
    gl_.bindFramebuffer(GL_FRAMEBUFFER, 0);
    gl_.deleteRenderbuffers(count, renderbuffers);
    gl_.deleteFramebuffers(1, &framebuffer);
    framebuffer = 0;
    return false;
}

bool FramePresenter::Start(int width, int height, int samples, bool oneToOne)
{
    if (Active())
        return true;
    if (refused_ || width <= 0 || height <= 0 || !ResolveFunctions()) {
        refused_ = true;
        return false;
    }
    width_ = width;
    height_ = height;
    GLint most = 0;
    gl_.getIntegerv(GL_MAX_SAMPLES, &most);
    const int taken = samples > 1 ? std::min(samples, static_cast<int>(most)) : 0;
    GLuint frame = 0, resolved = 0;
    GLuint frameBuffers[2] = {}, resolvedBuffers[2] = {};
    if (taken > 1 && !MakeFramebuffer(resolved, resolvedBuffers, 0, false)) {
        refused_ = true;
        return false;
    }
    if (!MakeFramebuffer(frame, frameBuffers, taken > 1 ? taken : 0, true)) {
        if (resolved != 0) {
            gl_.deleteRenderbuffers(1, resolvedBuffers);
            gl_.deleteFramebuffers(1, &resolved);
        }
        refused_ = true;
        return false;
    }
    framebuffer_ = frame;
    resolved_ = resolved;
    samples_ = taken > 1 ? taken : 0;
    oneToOne_ = oneToOne;
    Restore(ClearToBlack());
    return true;
}

// Clears the framebuffer bound for drawing to black, the scissor test off
// (a blit obeys it too); Restore puts the system's state back.
FramePresenter::SavedState FramePresenter::ClearToBlack() const
{
    SavedState saved{};
    gl_.getFloatv(GL_COLOR_CLEAR_VALUE, saved.clearColour);
    gl_.getBooleanv(GL_COLOR_WRITEMASK, saved.colourMask);
    saved.scissor = gl_.isEnabled(GL_SCISSOR_TEST);
    gl_.disable(GL_SCISSOR_TEST);
    gl_.colorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl_.clearColor(0.0f, 0.0f, 0.0f, 1.0f);
    gl_.clear(GL_COLOR_BUFFER_BIT);
    return saved;
}

void FramePresenter::Restore(const SavedState& saved) const
{
    const GLfloat* const colour = saved.clearColour;
    const GLboolean* const mask = saved.colourMask;
    gl_.clearColor(colour[0], colour[1], colour[2], colour[3]);
    gl_.colorMask(mask[0], mask[1], mask[2], mask[3]);
    if (saved.scissor == GL_TRUE)
        gl_.enable(GL_SCISSOR_TEST);
}

void FramePresenter::Resolve() const
{
    if (resolved_ == 0)
        return;
    gl_.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    gl_.bindFramebuffer(GL_DRAW_FRAMEBUFFER, resolved_);
    gl_.blitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    gl_.bindFramebuffer(GL_READ_FRAMEBUFFER, resolved_);
    gl_.bindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer_);
}

void FramePresenter::Present(SDL_Window* window) const
{
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    const FrameRect fit = PlaceFrame(width_, height_, width, height, oneToOne_);
    Resolve();
    gl_.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    const SavedState saved = ClearToBlack();
    gl_.bindFramebuffer(GL_READ_FRAMEBUFFER, resolved_ != 0 ? resolved_ : framebuffer_);
    gl_.blitFramebuffer(0, 0, width_, height_, fit.x, fit.y, fit.x + fit.width,
                        fit.y + fit.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    Restore(saved);
    SDL_GL_SwapWindow(window);
    gl_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

}  // namespace platform
