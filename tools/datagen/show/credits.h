// The credits' lines as the scene description lays them out, shared with the
// tests that watch every line through the scene's camera.
#pragma once

namespace Credits {

struct Line {
    const char* text;
    bool heading;
};

constexpr int SCENE = 50;
// The stars and the nebula come first; line i is object FIRST_LINE_OBJECT + i.
constexpr int FIRST_LINE_OBJECT = 2;
constexpr float ZOOM = 2.4f;

int LineCount();
const Line& LineAt(int i);
// The em of line i's letters, in the scene's units.
float LetterHeight(int i);

}  // namespace Credits
