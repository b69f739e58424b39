// The scene loader's guards against hostile files: the shape of each chunk
// before any record reads it, and the links between objects before anything
// walks them. Each refusal is reported with its own "Scene::Load: " message.
#pragma once

#include <cstdint>

#include "scene/scenefile.h"

// Links deeper than this (through parents and targets) are refused: no real
// scene comes near it, and the animation's recursion follows every link.
constexpr std::uint32_t SCENE_MAX_LINK_DEPTH = 256;
// Evaluations one record's evaluation may ask for through its links, the
// matrix cache aside. Every path look-ahead doubles the work of the chain
// above it, so that a few dozen nested ones would take years per frame.
constexpr std::uint32_t SCENE_MAX_LINK_WORK = 1024;

// Reports message and returns false: how the loader stops.
bool SceneFail(const char* message);

// Whether chunk holds the fixed fields of its tag, the keys they count and,
// for tags with a name, a NUL inside the name field; a light's kind must be
// 1, 2 or 3. Unknown tags pass.
bool CheckSceneChunk(const SceneChunk& chunk);

// Whether the objects' parent and target links are free of cycles, no
// deeper than SCENE_MAX_LINK_DEPTH, and whether no object, light or camera
// asks for more than SCENE_MAX_LINK_WORK evaluations. The camera and the
// lights only link into objects, so their links cannot close a cycle.
bool CheckSceneLinks(const Scene& scene);
