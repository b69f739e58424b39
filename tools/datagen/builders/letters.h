// Solid letters: real glyph outlines of a font that Debian ships (DejaVu,
// through FreeType), curves flattened, faces triangulated by GLU's
// tessellator and pushed out to a given depth. Text is laid out in the x-y
// plane (y up), read from the -z side, the baseline at y = 0, starting at x = 0
// or centred.
#pragma once

#include <string>

#include "tools/datagen/builders/mesh.h"

constexpr const char* LETTER_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

class LetterFont {
public:
    // Opens the font file; Ready() tells whether that worked (reported).
    explicit LetterFont(const char* path = LETTER_FONT);
    ~LetterFont();
    LetterFont(const LetterFont&) = delete;
    LetterFont& operator=(const LetterFont&) = delete;

    bool Ready() const { return face_ != nullptr; }

    // The text in solid letters height units tall (the em size), depth deep,
    // faces in the front material and sides in the side material. Centred on
    // x = 0 when centred is set. False (reported) when a glyph cannot be
    // outlined or tessellated.
    bool Build(const std::string& text, float height, float depth, bool centred, std::uint32_t front,
               std::uint32_t side, Mesh& mesh) const;

    // How wide the text is at that height.
    float Width(const std::string& text, float height) const;

private:
    void* library_ = nullptr;  // FT_Library
    void* face_ = nullptr;     // FT_Face
};
