// The system objects: one global instance of each, placed in ObjectLists to do
// a fixed job every frame (keys, clock, messages, screen, ordering table). Each
// operation finds its object as the global record's current object.
#pragma once

#include <cstdint>

#include "host/fish.h"
#include "host/ordertable.h"

// Sets the quit flag once Escape is down or was pressed since the last look.
class EscapeKey : public Fish {
public:
    static constexpr std::int32_t TYPE = 2;
    EscapeKey() { type = TYPE; }
    static void Swim();
};

// Shows the frame drawn so far.
class BufferSwap : public Fish {
public:
    static constexpr std::int32_t TYPE = 3;
    BufferSwap() { type = TYPE; }
    static void Swim();
};

// Darkens the previous frame a little instead of clearing it, for trails.
class FadeScreen : public Fish {
public:
    static constexpr std::int32_t TYPE = 4;
    FadeScreen() { type = TYPE; }
    static void Swim();
};

// Empties the ordering table for a new frame, leaving its terminator.
class OrderTableReset : public Fish {
public:
    static constexpr std::int32_t TYPE = 5;
    OrderTableReset() { type = TYPE; }
    static void Swim();

    // Ends every walk of the table; type 0, never drawn.
    PolygonNode terminator;
};

// Draws the sorted ordering table through the polygon table.
class OrderTableDraw : public Fish {
public:
    static constexpr std::int32_t TYPE = 6;
    OrderTableDraw() { type = TYPE; }
    static void Swim();
};

// Runs the plugins of the active objects of the current LightList.
class PluginRunner : public Fish {
public:
    static constexpr std::int32_t TYPE = 8;
    PluginRunner() { type = TYPE; }
    static void Swim();
};

// Sets the current time in milliseconds from the performance counter.
class Clock : public Fish {
public:
    static constexpr std::int32_t TYPE = 10;
    Clock() { type = TYPE; }
    static void Swim();
};

// Sorts the ordering table by priority and depth.
class OrderTableSort : public Fish {
public:
    static constexpr std::int32_t TYPE = 11;
    OrderTableSort() { type = TYPE; }
    static void Swim();
};

// Carries the timeline's plugins; its own operation does nothing.
class TimelineCarrier : public Fish {
public:
    static constexpr std::int32_t TYPE = 16;
    TimelineCarrier() { type = TYPE; }
    static void Swim();
};

// Clears colour and depth to black.
class ClearScreen : public Fish {
public:
    static constexpr std::int32_t TYPE = 20;
    ClearScreen() { type = TYPE; }
    static void Swim();
};

// Hands every queued window message to the window procedure.
class MessagePump : public Fish {
public:
    static constexpr std::int32_t TYPE = 25;
    MessagePump();
    static void Swim();
};

// Hands every queued window message to the window procedure, oldest first:
// the pump's frame work, and the last step of the shutdown.
void DispatchQueuedMessages();

extern EscapeKey gEscapeKey;
extern BufferSwap gBufferSwap;
extern FadeScreen gFadeScreen;
extern OrderTableReset gOrderTableReset;
extern OrderTableDraw gOrderTableDraw;
extern PluginRunner gPluginRunner;
extern Clock gClock;
extern OrderTableSort gOrderTableSort;
extern TimelineCarrier gTimelineCarrier;
extern ClearScreen gClearScreen;
extern MessagePump gMessagePump;
