// The scene's per-frame animation: from a frame number to the world matrix of
// every object and light, the camera's view, every mesh's and light's
// camera-space matrix, the envelopes' values and the projection scales.
// Runs on the main loop's thread before any mesh is drawn; draws nothing.
#pragma once

class Scene;

// The work of one frame of scene at frame, which becomes the scene's current
// frame: objects, camera, lights, model-view matrices, envelopes, and the
// Aquarium's x and y scale from the camera's zoom. A scene without a camera
// (never loaded) is left alone. Allocates nothing.
void AnimateScene(Scene& scene, float frame);
