// The vector handle table: every mesh loaded for a scene, recorded under its
// upper-cased file name with the scene that uses it now, so that scenes which
// show the same plain mesh can share one Vector. Filled while scenes load at
// start-up, on the one thread of the program; a tool that loads scenes again
// gives their meshes back, and each mesh goes with its last holder.
#pragma once

#include <cstddef>
#include <cstdint>

class Scene;
class Vector;

// One entry of the table. An entry whose vector is null is free and is
// reused by the next load; its name, owner and private flag stay.
struct VectorHandle {
    static constexpr std::size_t NAME_SIZE = 1024;  // bytes, NUL included

    char name[NAME_SIZE] = {};    // the mesh's file name, upper-cased (a-z only)
    Scene* owner = nullptr;       // the scene that uses the mesh now; not owned
    std::uint8_t isPrivate = 0;   // 1: only the owner may use the mesh; 0: others may take it
    std::uint32_t holders = 0;    // scene objects that show the mesh: its load and every hand-over
    Vector* vector = nullptr;     // the mesh, which the table keeps until its holders give it back

    // Loads the mesh name (as given, through Vector::Load) for scene and
    // records it. With isPrivate 0 a shareable mesh of the same name that
    // another scene holds is handed over instead of loading. Null (reported)
    // once the table has reached its bound, when the name does not fit an
    // entry, or when the mesh cannot be loaded.
    static Vector* Funkyload(const char* name, Scene* scene, std::uint8_t isPrivate);

    // A shareable mesh called name (any case) that a scene other than scene
    // holds, now owned by scene; null when there is none.
    static Vector* Take(const char* name, Scene* scene);

    // Frees the entry of vector. The mesh itself is not destroyed: that is
    // left to whoever drops it. Null or an unknown mesh: nothing.
    static void Release(const Vector* vector);

    // Lets other scenes take vector from now on. Null or unknown: nothing.
    static void Share(const Vector* vector);

    // No other scene takes vector from now on; those that hold it keep it.
    // Null or unknown: nothing.
    static void Withhold(const Vector* vector);

    // Gives back what scene's objects hold of the table: every mesh of its
    // own loses a holder, and the last holder's give-back frees the entry
    // and destroys the mesh with the pictures it holds. Meshes lent by a
    // clone source and null objects stay the scene's. The scene's objects
    // no longer show a mesh afterwards. A GL context is current.
    static void GiveBack(Scene& scene);
};

// The table: entries 0 to count - 1 are in use; entries from count on are as
// constructed. A process-wide global, zero until the first load.
struct VectorHandleTable {
    static constexpr std::uint32_t CAPACITY = 30000;  // entries
    static constexpr std::uint32_t LIMIT = 20000;     // the count never passes this

    // At exit the entries forget their meshes; the meshes stay until the
    // process ends, since their textures may already be gone.
    ~VectorHandleTable();

    // Puts entries 0 to count - 1 back to their construction state and the
    // count to 0; no mesh is destroyed. The demo never calls it: tests use
    // it to start from an empty table.
    void Clear();

    VectorHandle entries[CAPACITY];
    std::uint32_t count = 0;
};

// Defined with the other globals made before the entry point (host/globals.cpp).
extern VectorHandleTable gVectorHandles;
