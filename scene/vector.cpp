// Mesh loading: materials with their maps and glass bump maps, normals and
// draw modes, from a file that scene/vectorchecks has checked whole before
// anything is allocated.
#include "scene/vector.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "host/error.h"
#include "pak/pak.h"
#include "scene/vectorchecks.h"

namespace {

constexpr std::uint32_t VERTEX_SIZE = sizeof(VECTOR_FILE_Vertex);
constexpr std::uint32_t FACE_SIZE = sizeof(VECTOR_FILE_Face);
constexpr std::uint32_t MATERIAL_SIZE = sizeof(VECTOR_FILE_Material);
constexpr int GRADIENT_BIAS = 32;   // a flat neighbourhood's gradient byte
constexpr int HEIGHT_SHIFT = 3;     // a colour byte's share of the 0 to 31 height
constexpr int TEXEL_BYTES = 4;
constexpr int BYTE_MASK = 0xFF;

bool AllocateArrays(Vector& vector, const VECTOR_FILE_Header& header)
{
    vector.atoms = new (std::nothrow) Atom[header.atomCount];
    if (vector.atoms == nullptr) {
        Error::Report(1, "Vector::Load: Not enough memory for atoms.\n");
        return false;
    }
    vector.cells = new (std::nothrow) Cell[header.cellCount];
    if (vector.cells == nullptr) {
        Error::Report(1, "Vector::Load: Not enough memory for cells.\n");
        return false;
    }
    vector.materials = new (std::nothrow) Material[header.materialCount];
    if (vector.materials == nullptr) {
        Error::Report(1, "Vector::Load: Not enough memory for Materials.\n");
        return false;
    }
    vector.atomCount = header.atomCount;
    vector.cellCount = header.cellCount;
    vector.materialCount = header.materialCount;
    return true;
}

// Positions from the file; normals start at 0, 0, 0 for the cells to add to.
void FillAtoms(Vector& vector, const VectorChunk& chunk)
{
    for (std::uint32_t i = 0; i < vector.atomCount; ++i) {
        const auto record = ReadVectorRecord<VECTOR_FILE_Vertex>(chunk.data + std::size_t{i} * VERTEX_SIZE);
        Atom& atom = vector.atoms[i];
        atom.position[0] = record.x;
        atom.position[1] = record.y;
        atom.position[2] = record.z;
        atom.normal[0] = atom.normal[1] = atom.normal[2] = 0.0f;
    }
}

void ReportTexture(const char* name)
{
    Error::Report(3, "Vector::Load: Error loading texture. ( ", name, " )\n");
}

// Loads name as the material's colour map. A map loaded before it for the
// other colour-map flag is given back, so that no reference is lost.
bool LoadColourMap(Material& material, const char* name)
{
    Texture* const texture = Texture::Load(name, Texture::USE_COLOUR_MAP);
    if (texture == nullptr) {
        ReportTexture(name);
        return false;
    }
    if (material.colourMap != nullptr)
        Texture::Release(material.colourMap->FirstField());
    material.colourMap = texture;
    material.mapWidth = texture->width;
    material.mapHeight = texture->height;
    if (!material.SetupMap()) {
        ReportTexture(name);
        return false;
    }
    return true;
}

// Heights 0 to 31 in texel order, one 16-bit word each, written over the
// start of the 32-bit block: word k never overlaps a texel not yet read.
void StoreHeights(std::uint8_t* texels, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint8_t* const texel = texels + k * TEXEL_BYTES;
        const std::uint16_t level = static_cast<std::uint16_t>(
            ((texel[0] >> HEIGHT_SHIFT) + (texel[1] >> HEIGHT_SHIFT) + (texel[2] >> HEIGHT_SHIFT)) / 3);
        std::memcpy(texels + k * sizeof level, &level, sizeof level);
    }
}

// The height words of a width × height picture, rows in memory order.
struct HeightField {
    const std::uint8_t* words;
    std::size_t width;
    std::size_t height;

    int At(std::size_t x, std::size_t y) const
    {
        std::uint16_t level;
        std::memcpy(&level, words + (y * width + x) * sizeof level, sizeof level);
        return level;
    }
};

// Low byte: the vertical slope at (x, y), high byte: the horizontal one, each
// biased by 32; an edge texel stands in for its missing neighbour.
std::uint16_t GradientWord(const HeightField& field, std::size_t x, std::size_t y)
{
    const int here = field.At(x, y);
    const int up = y > 0 ? field.At(x, y - 1) : here;
    const int down = y + 1 < field.height ? field.At(x, y + 1) : here;
    const int left = x > 0 ? field.At(x - 1, y) : here;
    const int right = x + 1 < field.width ? field.At(x + 1, y) : here;
    return static_cast<std::uint16_t>(((up - down + GRADIENT_BIAS) & BYTE_MASK) |
                                      ((left - right + GRADIENT_BIAS) & BYTE_MASK) << 8);
}

// Rewrites the bump picture's 32-bit texels into one gradient word per texel
// at the start of its block; the rest of the block is left as it is. False
// when memory runs out.
bool MakeGlassBumpMap(Texture& texture)
{
    const std::size_t width = static_cast<std::size_t>(texture.width);
    const std::size_t height = static_cast<std::size_t>(texture.height);
    const std::unique_ptr<std::uint16_t[]> gradients(new (std::nothrow) std::uint16_t[width * height]);
    if (!gradients)
        return false;
    StoreHeights(texture.pixels, width * height);
    const HeightField field{texture.pixels, width, height};
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x)
            gradients[y * width + x] = GradientWord(field, x, y);
    }
    std::memcpy(texture.pixels, gradients.get(), width * height * sizeof(std::uint16_t));
    return true;
}

// The bump picture becomes the material's bump map. Only its first holder
// converts it: later holders share the converted block.
bool LoadBumpMap(Material& material, const char* name)
{
    Texture* const texture = Texture::Load(name, Texture::USE_BUMP_SOURCE);
    if (texture == nullptr) {
        ReportTexture(name);
        return false;
    }
    material.bumpMap = texture;
    material.mapWidth = texture->width;
    material.mapHeight = texture->height;
    if (texture->references == 1 && !MakeGlassBumpMap(*texture)) {
        Error::Report(3, "Vector::Load: Not enough memory to set up glass' bumptexture. ( ", name, " )\n");
        return false;
    }
    return true;
}

bool FillMaterial(Material& material, const VECTOR_FILE_Material& record)
{
    material.flags = record.flags;
    std::memcpy(material.colour, record.colour, sizeof material.colour);
    material.fourth = record.fourth;
    material.further[0] = record.further0;
    material.further[1] = record.further1;
    if ((record.flags & Material::COLOUR_MAP) != 0 && !LoadColourMap(material, record.colourMapName))
        return false;
    if ((record.flags & Material::ENVIRONMENT) != 0 && !LoadColourMap(material, record.secondMapName))
        return false;
    return (record.flags & Material::BUMP_PICTURE) == 0 || LoadBumpMap(material, record.bumpPictureName);
}

bool FillMaterials(Vector& vector, const VectorChunk& chunk)
{
    for (std::uint32_t i = 0; i < vector.materialCount; ++i) {
        const auto record = ReadVectorRecord<VECTOR_FILE_Material>(chunk.data + std::size_t{i} * MATERIAL_SIZE);
        if (!FillMaterial(vector.materials[i], record))
            return false;
    }
    return true;
}

// The unit normal of the triangle a, b, c; 0, 0, 0 when its corners are in line.
void CellNormal(const float* a, const float* b, const float* c, float* normal)
{
    const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    normal[0] = e1[1] * e2[2] - e1[2] * e2[1];
    normal[1] = e1[2] * e2[0] - e1[0] * e2[2];
    normal[2] = e1[0] * e2[1] - e1[1] * e2[0];
    const float squared = normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2];
    const float length = squared == 0.0f ? 1.0f : std::sqrt(squared);
    for (int axis = 0; axis < 3; ++axis)
        normal[axis] /= length;
}

// Corners, material and map coordinates from the file (indices checked);
// each cell's normal is added to its corner atoms' normals.
void FillCells(Vector& vector, const VectorChunk& chunk)
{
    for (std::uint32_t i = 0; i < vector.cellCount; ++i) {
        const auto face = ReadVectorRecord<VECTOR_FILE_Face>(chunk.data + std::size_t{i} * FACE_SIZE);
        Cell& cell = vector.cells[i];
        for (int k = 0; k < 3; ++k)
            cell.corners[k] = &vector.atoms[face.corners[k]];
        CellNormal(cell.corners[0]->position, cell.corners[1]->position, cell.corners[2]->position,
                   cell.normal);
        for (Atom* const corner : cell.corners) {
            for (int axis = 0; axis < 3; ++axis)
                corner->normal[axis] += cell.normal[axis];
        }
        cell.material = &vector.materials[face.material];
        std::memcpy(cell.uv, face.uv, sizeof cell.uv);
    }
}

// Makes the summed normals unit length. An atom without a usable sum (no
// cell, or cells whose normals cancel) keeps 0, 0, 0 rather than NaN.
void NormaliseAtoms(Vector& vector)
{
    for (std::uint32_t i = 0; i < vector.atomCount; ++i) {
        float* const normal = vector.atoms[i].normal;
        const float squared = normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2];
        if (squared == 0.0f)
            continue;
        const float length = std::sqrt(squared);
        for (int axis = 0; axis < 3; ++axis)
            normal[axis] /= length;
    }
}

void SetMode(Cell& cell, std::int32_t type, std::uint32_t priority)
{
    cell.node.type = type;
    cell.node.priority = priority;
}

// Later rules override earlier ones; the flags are read afresh for each rule
// because the last two add the transparent bit.
void SetupDrawMode(Cell& cell)
{
    Material& material = *cell.material;
    const auto has = [&material](std::uint32_t bits) { return (material.flags & bits) == bits; };
    SetMode(cell, DrawMode::OPAQUE, DrawMode::SOLID_PRIORITY);
    if (has(Material::TRANSPARENT))
        SetMode(cell, DrawMode::BLENDED, DrawMode::TRANSLUCENT_PRIORITY);
    if (has(Material::COLOUR_MAP) || has(Material::ENVIRONMENT))
        SetMode(cell, DrawMode::OPAQUE_MAPPED, DrawMode::SOLID_PRIORITY);
    if (has(Material::TRANSPARENT | Material::ADDITIVE))
        SetMode(cell, DrawMode::ADDITIVE, DrawMode::TRANSLUCENT_PRIORITY);
    if (has(Material::TRANSPARENT | Material::COLOUR_MAP) || has(Material::TRANSPARENT | Material::ENVIRONMENT))
        SetMode(cell, DrawMode::BLENDED_MAPPED, DrawMode::TRANSLUCENT_PRIORITY);
    if (has(Material::COLOUR_MAP | Material::ADDITIVE) || has(Material::ENVIRONMENT | Material::ADDITIVE)) {
        material.flags |= Material::TRANSPARENT;
        SetMode(cell, DrawMode::ADDITIVE_MAPPED, DrawMode::TRANSLUCENT_PRIORITY);
    }
}

}  // namespace

Vector::~Vector()
{
    delete[] atoms;
    delete[] cells;
    delete[] materials;
    atoms = nullptr;
    cells = nullptr;
    materials = nullptr;
}

Vector* Vector::Load(const char* name)
{
    std::size_t length = 0;
    const std::unique_ptr<std::uint8_t[]> file(PAK::ReadFile(name, &length));
    if (!file) {
        Error::Report(3, "Vector::Load: Error reading fish from disk. ( ", name, " )\n");
        return nullptr;
    }
    Vector* const vector = Build(file.get(), length);
    if (vector == nullptr)
        Error::Report(3, "Vector::Load: Error running Vector::Load.( ", name, " )\n");
    return vector;
}

Vector* Vector::Build(const std::uint8_t* file, std::size_t length)
{
    VectorLayout layout;
    if (!CheckVectorFile(file, length, &layout))
        return nullptr;
    std::unique_ptr<Vector> vector(new (std::nothrow) Vector);
    if (!vector) {
        Error::Report(1, "Vector::Load: Not enough memory for objectheader.\n");
        return nullptr;
    }
    if (!AllocateArrays(*vector, layout.header))
        return nullptr;
    FillAtoms(*vector, layout.vertices);
    if (!FillMaterials(*vector, layout.materials))
        return nullptr;
    FillCells(*vector, layout.faces);
    NormaliseAtoms(*vector);
    vector->SetupDrawModes();
    return vector.release();
}

void Vector::SetupDrawModes()
{
    for (std::uint32_t i = 0; i < cellCount; ++i)
        SetupDrawMode(cells[i]);
}
