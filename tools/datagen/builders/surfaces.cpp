// The material records. Flags are the mesh file's material bits.
#include "tools/datagen/builders/surfaces.h"

#include "tools/writers/meshwriter.h"

namespace Surface {
namespace {

VECTOR_FILE_Material Base(std::uint32_t flags, Colour colour, float lit, float ambient)
{
    VECTOR_FILE_Material material;
    material.flags = flags;
    material.colour[0] = colour.r;
    material.colour[1] = colour.g;
    material.colour[2] = colour.b;
    material.fourth = lit;
    material.further0 = ambient;
    return material;
}

VECTOR_FILE_Material WithMap(VECTOR_FILE_Material material, const std::string& map)
{
    material.flags |= Material::COLOUR_MAP;
    MeshSetName(material.colourMapName, map);
    return material;
}

constexpr Colour WHITE{};

}  // namespace

VECTOR_FILE_Material Flat(Colour colour, float ambient) { return Base(0, colour, 1.0f, ambient); }

VECTOR_FILE_Material Smooth(Colour colour, float ambient) { return Base(Material::SMOOTH, colour, 1.0f, ambient); }

VECTOR_FILE_Material Mapped(const std::string& map, bool smooth, float ambient)
{
    return WithMap(Base(smooth ? Material::SMOOTH : 0, WHITE, 1.0f, ambient), map);
}

VECTOR_FILE_Material Environment(const std::string& map, float ambient)
{
    VECTOR_FILE_Material material = Base(Material::ENVIRONMENT | Material::SMOOTH, WHITE, 0.8f, ambient);
    MeshSetName(material.secondMapName, map);
    return material;
}

VECTOR_FILE_Material Shining(Colour colour) { return Base(0, colour, 0.0f, 1.0f); }

VECTOR_FILE_Material ShiningMapped(const std::string& map) { return WithMap(Base(0, WHITE, 0.0f, 1.0f), map); }

VECTOR_FILE_Material Glow(Colour colour, float strength)
{
    VECTOR_FILE_Material material = Base(Material::TRANSPARENT | Material::ADDITIVE, colour, 0.0f, 1.0f);
    material.further1 = 1.0f - strength;
    return material;
}

VECTOR_FILE_Material GlowMapped(const std::string& map, float strength)
{
    VECTOR_FILE_Material material = WithMap(Base(Material::ADDITIVE, WHITE, 0.0f, 1.0f), map);
    material.further1 = 1.0f - strength;
    return material;
}

VECTOR_FILE_Material Glass(Colour colour, float transparency, float ambient)
{
    VECTOR_FILE_Material material = Base(Material::TRANSPARENT, colour, 1.0f, ambient);
    material.further1 = transparency;
    return material;
}

VECTOR_FILE_Material GlassMapped(const std::string& map, float transparency, float ambient)
{
    VECTOR_FILE_Material material = WithMap(Base(Material::TRANSPARENT, WHITE, 1.0f, ambient), map);
    material.further1 = transparency;
    return material;
}

VECTOR_FILE_Material WithBump(VECTOR_FILE_Material material, const std::string& picture)
{
    material.flags |= Material::BUMP_PICTURE;
    MeshSetName(material.bumpPictureName, picture);
    return material;
}

VECTOR_FILE_Material Smoothed(VECTOR_FILE_Material material)
{
    material.flags |= Material::SMOOTH;
    return material;
}

}  // namespace Surface
