// The scene's camera and lights. The model's camera (its first perspective
// one, or the one the user names) follows its node through the world, the
// node's scale left out since the demo's camera is rigid, and keeps its
// vertical field of view at 4:3, which gives the zoom; a model without one
// gets a camera that frames the whole model at the animation's start. The
// model's directional, point and spot lights follow their nodes too, with
// their colour; their intensities are scaled together so that the
// brightest lights the model's middle fully, since the tools measure light
// in units the demo has none of. A model without lights gets one distant
// light from the camera, so that it is never black.
#pragma once

#include <string>
#include <vector>

#include "tools/importer/model.h"
#include "tools/importer/nodes.h"
#include "tools/importer/objects.h"

struct aiScene;

namespace importer {

struct ViewSources {
    const aiScene& scene;
    const Nodes& nodes;
    const Axes& axes;
    const ImportOptions& options;
    bool gltf;      // the library's glTF cameras tell their field of view in a way of their own
    double start;   // seconds: the animation's first time
    Extent extent;  // the model at start, demo units
};

// The camera into import.camera; false with why when the user named a
// camera the model does not have, or its pose cannot be keyed.
bool MakeCamera(const ViewSources& sources, Import& import, std::string& why);

// The lights into import.lights, after the camera.
bool MakeLights(const ViewSources& sources, Import& import, std::string& why);

// The demo's zoom for a field of view of yfov radians, vertically at 4:3.
double ZoomOf(double yfov);

}  // namespace importer
