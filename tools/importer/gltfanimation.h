// The animations of a glTF 2.0 file, read straight from the file. The
// library that reads everything else keeps only the values of a
// cubic-spline sampler, dropping its tangents, and tells no sampler's
// interpolation, so a step or a spline would be followed as a straight
// line; this reader gives the curves as the file defines them. It reads
// .gltf (JSON, its buffers in data URIs or files beside it) and .glb (the
// binary container), trusting nothing: every index, offset, count and
// number is checked before it is used.
#pragma once

#include <string>
#include <vector>

#include "tools/importer/tracks.h"

namespace importer {

// What the animations do to one node of the file.
struct NodeTracks {
    std::string name;    // as the file names the node; "" for none
    bool moved = false;  // any of the three below has keys
    VectorTrack translation;
    RotationTrack rotation;
    VectorTrack scale;
};

struct GltfAnimations {
    std::vector<NodeTracks> nodes;     // by the file's node index
    std::vector<std::string> leftOut;  // channels not followed, and why
};

enum class GltfReading { NOT_GLTF, READ, BROKEN };

// READ with every node's tracks; NOT_GLTF for a file of another format;
// BROKEN, with why, for a glTF file whose animations cannot be read.
GltfReading ReadGltfAnimations(const std::string& path, GltfAnimations& animations, std::string& why);

}  // namespace importer
