// The table of content modules. New content (scenes, meshes, pictures) adds
// a module here.
#include "tools/datagen/content.h"

#include "tools/datagen/music/music_module.h"
#include "tools/datagen/show/show_module.h"

const std::vector<ContentModule>& ContentModules()
{
    static const std::vector<ContentModule> modules = {
        {"show", WriteShow},
        {"music", WriteMusic},
    };
    return modules;
}
