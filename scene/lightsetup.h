// The LightSetup plugin of every Light: each frame, after the scene's
// animation wrote the Light's camera-space matrix, it derives the falloff
// and, for distant and spot lights, the unit direction.
#pragma once

#include "host/fish.h"

class LightSetup : public Plugin {
public:
    LightSetup() { function = Swim; }

    // The plugin function, on the plugin owner (a Light).
    static void Swim();
};
