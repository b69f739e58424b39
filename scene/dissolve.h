// The Dissolve plugin: fades a mesh out as an envelope drives its amount from
// 0 to 1.0. Its cells switch to blended drawing, every material's
// transparency rises toward 1.0, and at 1.0 the mesh is hidden. Allocates
// nothing once initialised.
#pragma once

#include <cstdint>

#include "host/fish.h"

class Vector;

class Dissolve : public Plugin {
public:
    Dissolve() { function = Swim; }
    // Releases the saved values.
    ~Dissolve() override;

    // Saves every material's transparency (its second further value) as the
    // value the fade starts from. False (reported) when memory runs out.
    bool Init(const Vector* object);

    // The plugin function, on the plugin owner (the dissolving Vector).
    static void Swim();

    float* saved = nullptr;        // owned: one transparency per material
    std::uint32_t savedCount = 0;
    float amount = 0.0f;
    std::uint8_t changed = 1;      // 1: the materials carry the transparent bit
};
