// The main loop: an object whose operation runs passes over an Aquarium's
// current ObjectList, calling every object's plugins and operation in list
// order. Runs once the Aquarium's handler tables are filled.
#pragma once

#include <cstdint>

#include "host/fish.h"

class Aquarium;

class Mainloop : public Fish {
public:
    static constexpr std::int32_t TYPE = 1;

    // aquarium is borrowed and must outlive the loop.
    Mainloop(Aquarium* aquarium, bool repeat);

    // Runs the loop on its Aquarium; reports and returns when the Aquarium
    // has no ObjectList or is not filled.
    void Feed();

    // The operation of type 1, on the current object (a Mainloop). Placed in
    // an ObjectList, a Mainloop thus runs a nested loop when its turn comes.
    static void Swim();

    std::uint8_t repeat = 0;  // 1: passes go on until the quit flag is set
    Aquarium* aquarium = nullptr;
};

// Calls owner's enabled plugins from first to last, each as the current
// plugin with owner as the plugin owner.
void RunPlugins(Fish* owner);
