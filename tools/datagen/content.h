// The content modules of the data generator. Each writes its part of the data
// tree (files at the paths the demo reads them by, relative to the root) and
// says so; the generator runs them in table order and packs the tree.
#pragma once

#include <string>
#include <vector>

struct ContentModule {
    const char* name;                         // for the generator's messages
    bool (*write)(const std::string& root);  // false (reported) on failure
};

const std::vector<ContentModule>& ContentModules();
