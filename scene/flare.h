// The Flare plugin: textured lens-flare sprites placed in camera space every
// frame and queued in the ordering table for the sprite drawer. Three kinds:
// a sprite at an object, a fading trail along an object's recent path, and a
// sprite at a light. Allocates nothing once set up.
#pragma once

#include <cstdint>

#include "host/fish.h"
#include "scene/flaresprite.h"

class Material;
class Scene;
struct SceneObject;

class Flare : public Plugin {
public:
    // The kinds, chosen at construction; each has its own function.
    static constexpr std::uint32_t OBJECT = 0;  // on the plugin owner, a Vector
    static constexpr std::uint32_t LIGHT = 1;   // on the plugin owner, a Light
    static constexpr std::uint32_t TRAIL = 2;   // along the bound object's path
    // Flags of an object flare.
    static constexpr std::uint32_t FADE_OFF_AXIS = 0x02;  // with the angle from the view axis
    static constexpr std::uint32_t FADE_FACING = 0x04;    // with the facing of the object
    // The sprites' material: transparent, additive, colour-mapped.
    static constexpr std::uint32_t MATERIAL_FLAGS = 0x15;
    // No real scene comes near it; a count beyond it is a broken file.
    static constexpr std::uint32_t MAX_SPRITES = 4096;
    // What the flares of one scene hold together: sixteen of the longest
    // trails, a few megabytes; the loader refuses a scene that asks for more.
    static constexpr std::uint32_t MAX_SCENE_SPRITES = 16 * MAX_SPRITES;

    // object and scene are the trail flare's; the other kinds ignore them.
    // A kind other than the three has no function.
    Flare(std::uint32_t kind, SceneObject* object, Scene* scene);
    // Destroys the material (giving back its map) and the sprites.
    ~Flare() override;

    // Loads the sprites' map and makes the sprites: trunc(sprites per frame
    // × trail length) for a trail, one for the object and light kinds, which
    // draw sprite 0 only, whatever their counts say. False (reported) when
    // the map cannot be loaded, a trail's count passes MAX_SPRITES or memory
    // runs out.
    bool Setup(const char* textureName);

    // plugin as a trail flare, or null when it is none.
    static const Flare* AsTrail(const Plugin* plugin);

    std::uint32_t flags = 0;
    SceneObject* object;                // not owned: the trail's object record
    Scene* scene;                       // not owned: the trail's scene
    FlareSprite* sprites = nullptr;     // owned, spriteCount elements
    float size = 1.0f;                  // side of the newest sprite, camera units
    float trailLength = 0.0f;           // frames
    float spritesPerFrame = 0.0f;
    std::uint32_t kind;
    std::uint32_t spriteCount = 0;
    Material* material = nullptr;       // owned, shared by every sprite

private:
    // The trail's sprite count into count; false (reported) past MAX_SPRITES.
    bool TrailCount(std::uint32_t& count) const;
};
