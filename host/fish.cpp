// The object model's ownership: a Fish owns its plugin chain, a plugin owns
// the rest of the chain after it, and a Fishes owns its pointer array but
// never the objects listed in it.
#include "host/fish.h"

#include <new>

#include "host/error.h"

Plugin::~Plugin()
{
    delete next;
    enabled = 0;
    function = nullptr;
    next = nullptr;
}

Fish::~Fish()
{
    delete firstPlugin;
    firstPlugin = nullptr;
    lastPlugin = nullptr;
}

void Fish::AttachPlugin(Fish* fish, Plugin* plugin, bool front)
{
    if (fish->firstPlugin == nullptr) {
        fish->firstPlugin = plugin;
        fish->lastPlugin = plugin;
    } else if (front) {
        plugin->next = fish->firstPlugin;
        fish->firstPlugin = plugin;
    } else {
        fish->lastPlugin->next = plugin;
        fish->lastPlugin = plugin;
    }
}

Fishes::~Fishes()
{
    delete[] items;
    items = nullptr;
    count = 0;
}

bool Fishes::InsertObject(Fishes* list, Fish* object, bool front)
{
    // Room for every object, the new one and the null terminator.
    const std::uint32_t oldCount = list->items ? list->count : 0;
    Fish** const grown = new (std::nothrow) Fish*[oldCount + 2];
    if (grown == nullptr) {
        Error::Report(1, "Fishes::InsertObject: Not enough memory.\n");
        return false;
    }
    const std::uint32_t firstOld = front ? 1 : 0;
    for (std::uint32_t i = 0; i < oldCount; ++i)
        grown[firstOld + i] = list->items[i];
    grown[front ? 0 : oldCount] = object;
    grown[oldCount + 1] = nullptr;
    delete[] list->items;
    list->items = grown;
    list->count = oldCount + 1;
    return true;
}
