// The main loop proper and the plugin-chain walk it shares with the plugin
// runner. The global record's handler tables are filled before a loop runs;
// every list it walks is null-terminated.
#include "host/mainloop.h"

#include "host/aquarium.h"
#include "host/error.h"

namespace {

// One object's turn: its plugins, then its own operation when active.
void RunObject(Fish* object)
{
    RunPlugins(object);
    if (object->active)
        CallTableEntry(gAquarium.swimTable, object->type);
}

// One pass over the current ObjectList; false when the quit flag ended it or
// there is no list to run, so that no further pass may follow.
bool RunPass()
{
    // Read afresh each pass: an operation may switch the list during a pass.
    Fish* const* const items = gAquarium.currentObjectList.items;
    ++gAquarium.frameCounter;
    if (items == nullptr)
        return false;
    for (Fish* const* slot = items; *slot != nullptr; ++slot) {
        Fish* const object = *slot;
        gAquarium.currentObject = object;
        if (object != EMPTY_SLOT)
            RunObject(object);
        if (gAquarium.quit)
            return false;
    }
    return true;
}

}  // namespace

Mainloop::Mainloop(Aquarium* owner, bool repeatPasses)
    : repeat(repeatPasses ? 1 : 0), aquarium(owner)
{
    type = TYPE;
}

void Mainloop::Feed()
{
    if (aquarium->currentObjectList.items == nullptr) {
        Error::Report(1, "Mainloop::Feed: ObjectList not initialized.\n");
        return;
    }
    if (!aquarium->filled) {
        Error::Report(1, "Mainloop::Feed: Aquarium not filled.\n");
        return;
    }
    gAquarium.currentObject = this;
    CallTableEntry(gAquarium.swimTable, TYPE);
}

void Mainloop::Swim()
{
    Mainloop* const loop = static_cast<Mainloop*>(gAquarium.currentObject);
    Aquarium* const previous = gAquarium.self;
    Aquarium::MakeCurrent(loop->aquarium);
    while (RunPass() && loop->repeat)
        continue;
    if (previous != &gAquarium)
        Aquarium::MakeCurrent(previous);
}

void RunPlugins(Fish* owner)
{
    for (Plugin* plugin = owner->firstPlugin; plugin != nullptr; plugin = plugin->next) {
        if (!plugin->enabled || plugin->function == nullptr)
            continue;
        gAquarium.currentPlugin = plugin;
        gAquarium.pluginOwner = owner;
        plugin->function();
    }
}
