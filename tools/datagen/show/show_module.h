// The show's content module: the 51 scenes of the scene table with their
// meshes and pictures, act by act, in the data tree.
#pragma once

#include <string>

// False (reported) when any file cannot be made. Prints what it made.
bool WriteShow(const std::string& root);
