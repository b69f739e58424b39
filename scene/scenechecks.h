// The scene loader's guards against hostile files: the shape of each chunk
// before any record reads it, and the links between objects before anything
// walks them. Each refusal is reported with its own "Scene::Load: " message.
#pragma once

#include <cstdint>

#include "scene/scenefile.h"

// Reports message and returns false: how the loader stops.
bool SceneFail(const char* message);

// Whether tag is one the loader reads; every other is skipped.
bool IsSceneTag(std::uint32_t tag);

// Whether chunk holds the fixed fields of its tag, the keys they count and,
// for tags with a name, a NUL inside the name field; a light's kind must
// index the light table; every float must be finite. Unknown tags pass.
bool CheckSceneChunk(const SceneChunk& chunk);

// Whether the objects' parent and target links are free of cycles, however
// deep they nest. The camera and the lights only link into objects, so
// their links cannot close a cycle.
bool CheckSceneLinks(const Scene& scene);
