// The system objects' instances and their operations, but for the ordering
// table's (host/ordertable.cpp). They run inside the main loop, after the
// Aquarium was filled: the GL library is loaded and its context current.
#include "host/systemobjects.h"

#include <GL/gl.h>

#include "host/aquarium.h"
#include "host/mainloop.h"
#include "host/opengllib.h"
#include "platform/platform.h"

namespace {

constexpr std::int64_t MILLISECONDS_PER_SECOND = 1000;

// A black quad over the whole view, translucent enough to leave trails.
constexpr GLfloat FADE_ALPHA = 0.05f;
constexpr GLfloat FADE_DISTANCE = -0.5f;
constexpr GLfloat FADE_EXTENT = 50.0f;

void SetFadeState()
{
    OpenGLLib::glDepthMask(GL_TRUE);
    OpenGLLib::glClear(GL_DEPTH_BUFFER_BIT);
    OpenGLLib::glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    OpenGLLib::glDisable(GL_CULL_FACE);
    OpenGLLib::glDisable(GL_TEXTURE_2D);
    OpenGLLib::glDisable(GL_DEPTH_TEST);
    OpenGLLib::glDisable(GL_LIGHTING);
    OpenGLLib::glEnable(GL_BLEND);
    OpenGLLib::glColor4f(0.0f, 0.0f, 0.0f, FADE_ALPHA);
}

void DrawFadeQuad()
{
    OpenGLLib::glMatrixMode(GL_MODELVIEW);
    OpenGLLib::glPushMatrix();
    OpenGLLib::glLoadIdentity();
    OpenGLLib::glTranslatef(0.0f, 0.0f, FADE_DISTANCE);
    OpenGLLib::glBegin(GL_QUADS);
    OpenGLLib::glVertex3f(-FADE_EXTENT, FADE_EXTENT, 0.0f);
    OpenGLLib::glVertex3f(FADE_EXTENT, FADE_EXTENT, 0.0f);
    OpenGLLib::glVertex3f(FADE_EXTENT, -FADE_EXTENT, 0.0f);
    OpenGLLib::glVertex3f(-FADE_EXTENT, -FADE_EXTENT, 0.0f);
    OpenGLLib::glEnd();
    OpenGLLib::glPopMatrix();
}

}  // namespace

void EscapeKey::Swim()
{
    // Either key-state bit counts, so a press between two frames is not lost.
    if (platform::Os().GetAsyncKeyState(platform::VK_ESCAPE) != 0)
        gAquarium.quit = 1;
}

void BufferSwap::Swim() { OpenGLLib::SwapBuffers(gDisplay.dc); }

void FadeScreen::Swim()
{
    SetFadeState();
    DrawFadeQuad();
}

void PluginRunner::Swim()
{
    Fish* const* const items = gAquarium.currentLightList.items;
    if (items == nullptr)
        return;
    for (Fish* const* slot = items; *slot != nullptr; ++slot) {
        Fish* const light = *slot;
        if (light != EMPTY_SLOT && light->active)
            RunPlugins(light);
    }
}

void Clock::Swim()
{
    platform::Backend& os = platform::Os();
    std::int64_t counter = 0;
    std::int64_t frequency = 0;
    os.QueryPerformanceCounter(counter);
    os.QueryPerformanceFrequency(frequency);
    const std::int64_t ticksPerMillisecond = frequency / MILLISECONDS_PER_SECOND;
    // Without a usable counter the time stands still rather than trapping.
    if (ticksPerMillisecond == 0)
        return;
    gAquarium.currentTime = static_cast<std::uint32_t>(counter / ticksPerMillisecond);
}

void TimelineCarrier::Swim() {}

void ClearScreen::Swim()
{
    OpenGLLib::glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    OpenGLLib::glDepthMask(GL_TRUE);
    OpenGLLib::glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The queue has one drain: the pump's, which the shutdown runs too.
MessagePump::MessagePump()
{
    type = TYPE;
    Aquarium::SetMessageDrain(DispatchQueuedMessages);
}

void MessagePump::Swim() { DispatchQueuedMessages(); }

void DispatchQueuedMessages()
{
    platform::Backend& os = platform::Os();
    platform::Message message;
    while (os.PeekMessage(message)) {
        os.TranslateMessage(message);
        os.DispatchMessage(message);
    }
}
