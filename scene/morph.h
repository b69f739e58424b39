// The Morph plugin: blends a mesh's atom positions from their loaded places
// toward those of a target mesh of the same size, by an amount that an
// envelope drives. It runs on the mesh's own thread of frames and allocates
// nothing once initialised.
#pragma once

#include <cstdint>

#include "host/fish.h"

class Vector;

class Morph : public Plugin {
public:
    Morph() { function = Swim; }
    // Releases the saved positions and forgets the target.
    ~Morph() override;

    // Saves object's positions (the shape an amount of 0 restores) and
    // remembers target. False when memory runs out (not reported) or when
    // the atom counts differ (reported). A mesh without atoms has nothing to
    // blend and succeeds against a target without atoms.
    bool Init(Vector* object, Vector* target);

    // The plugin function, on the plugin owner (the morphing Vector). An
    // amount of exactly 1.0 copies the target's positions, so that the
    // target shape is reached exactly.
    static void Swim();

    // The Morph plugin in vector's chain, or null.
    static Morph* Of(const Vector* vector);

    float amount = 0.0f;
    Vector* target = nullptr;      // not owned: a mesh of the handle table
    float* saved = nullptr;        // owned: x, y, z per atom as loaded
    std::uint32_t savedCount = 0;  // atoms saved
};
