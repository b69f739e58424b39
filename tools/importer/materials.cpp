#include "tools/importer/materials.h"

#include <assimp/GltfMaterial.h>
#include <assimp/material.h>

#include <algorithm>
#include <cmath>

#include "image/texture.h"
#include "tools/importer/names.h"
#include "tools/importer/pictures.h"
#include "tools/writers/meshwriter.h"

namespace importer {

namespace {

// A colour value from the model within 0 to 1; a value that is no number is 1.
float Unit(const float value)
{
    return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 1.0f;
}

aiColor4D BaseColour(const aiMaterial& material)
{
    aiColor4D colour(1.0f, 1.0f, 1.0f, 1.0f);
    if (material.Get(AI_MATKEY_BASE_COLOR, colour) != AI_SUCCESS)
        material.Get(AI_MATKEY_COLOR_DIFFUSE, colour);
    return colour;
}

// Glass-like materials only: glTF's opaque mode ignores the base alpha.
float Opacity(const aiMaterial& material, const aiColor4D& base)
{
    aiString mode;
    if (material.Get(AI_MATKEY_GLTF_ALPHAMODE, mode) == AI_SUCCESS && std::string(mode.C_Str()) == "OPAQUE")
        return 1.0f;
    float opacity = 1.0f;
    material.Get(AI_MATKEY_OPACITY, opacity);
    return std::min(Unit(base.a), Unit(opacity));
}

bool PicturePath(const aiMaterial& material, aiString& path)
{
    return material.GetTexture(aiTextureType_BASE_COLOR, 0, &path) == AI_SUCCESS ||
           material.GetTexture(aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS;
}

}  // namespace

VECTOR_FILE_Material MakeMaterial(const aiMaterial& material, const bool smooth, Pictures& pictures,
                                  std::vector<std::string>& leftOut)
{
    VECTOR_FILE_Material made;
    const aiColor4D base = BaseColour(material);
    made.colour[0] = Unit(base.r);
    made.colour[1] = Unit(base.g);
    made.colour[2] = Unit(base.b);
    made.further0 = AMBIENT;
    made.flags = smooth ? Material::SMOOTH : 0;
    const float opacity = Opacity(material, base);
    if (opacity < 1.0f) {
        made.flags |= Material::TRANSPARENT;
        made.further1 = 1.0f - opacity;
    }
    aiString path;
    if (PicturePath(material, path)) {
        const std::string picture = pictures.Use(path.C_Str(), leftOut);
        if (!picture.empty()) {
            made.flags |= Material::COLOUR_MAP;
            MeshSetName(made.colourMapName, picture);
            if (made.colour[0] < 1.0f || made.colour[1] < 1.0f || made.colour[2] < 1.0f)
                leftOut.push_back("material \"" + Printable(material.GetName().C_Str()) +
                                  "\": its base colour does not tint its picture (the demo's pictures take no colour)");
        }
    }
    return made;
}

}  // namespace importer
