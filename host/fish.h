// The object model: Fish (an object in a list, its operation chosen by type
// number), Plugin (a callback chained to a Fish) and Fishes (a list of object
// pointers). Per-frame behaviour goes through the Aquarium's tables, so the
// only virtual operation of these classes is the destructor.
#pragma once

#include <cstdint>

class Plugin {
public:
    using Function = void (*)();

    Plugin() = default;
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;
    // Destroys the rest of the chain after this plugin.
    virtual ~Plugin();

    std::uint8_t enabled = 1;    // a disabled plugin is skipped
    Function function = nullptr;  // set by the derived class
    Plugin* next = nullptr;       // owned: the rest of the chain
};

class Fish {
public:
    Fish() = default;
    Fish(const Fish&) = delete;
    Fish& operator=(const Fish&) = delete;
    // Destroys the plugin chain.
    virtual ~Fish();

    // front: the plugin runs before the others; otherwise after them.
    static void AttachPlugin(Fish* fish, Plugin* plugin, bool front);

    std::int32_t type = 0;           // index into the swim or light table
    Plugin* firstPlugin = nullptr;   // owned chain, null when empty
    Plugin* lastPlugin = nullptr;
    std::uint8_t active = 1;         // 0 skips the object's own operation
};

// Marks a slot of a list that every loop skips.
inline Fish* const EMPTY_SLOT = reinterpret_cast<Fish*>(~std::uintptr_t{0});

// A list's contents as the Aquarium borrows them: count and a null-terminated
// pointer array that belongs to some Fishes.
struct FishList {
    std::uint32_t count = 0;
    Fish** items = nullptr;  // count + 1 pointers, the last null; null while empty
};

// Owns its pointer array, never the objects in it.
class Fishes : public FishList {
public:
    Fishes() = default;
    Fishes(const Fishes&) = delete;
    Fishes& operator=(const Fishes&) = delete;
    ~Fishes();

    // front: before all others; otherwise after them. False when out of memory
    // (reported; the list is unchanged).
    static bool InsertObject(Fishes* list, Fish* object, bool front);
};
