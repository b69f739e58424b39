// Flare set-up and the three per-frame functions. They run after the scene's
// animation wrote the matrices of the frame, with the ordering table reset:
// every sprite they place is appended to set A at most once per frame.
#include "scene/flare.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

#include "host/aquarium.h"
#include "host/error.h"
#include "image/texture.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"

namespace {

constexpr float KEY_RANGE = 4294967296.0f;  // 2^32: depth keys are 32-bit
constexpr std::uint32_t BUCKET_MASK = 0xFF;
constexpr int LAST_BUCKET = ORDER_TABLE_BUCKETS - 1;

// The complement of trunc(depth-key scale / z), so that nearer sprites get
// smaller keys; quotients beyond the 32 bits are clamped.
std::uint32_t DepthKeyOf(const float z)
{
    const float quotient = gAquarium.depthKeyScale / z;
    std::uint32_t whole = 0;
    if (quotient >= KEY_RANGE)
        whole = ~std::uint32_t{0};
    else if (quotient > 0.0f)
        whole = static_cast<std::uint32_t>(quotient);
    return ~whole;
}

// Gives sprite the square of half-size h around (x, y) at depth z and queues it.
void Place(FlareSprite& sprite, const float x, const float y, const float z, const float h)
{
    sprite.x0 = x - h;
    sprite.y0 = y - h;
    sprite.x1 = x + h;
    sprite.y1 = y + h;
    sprite.z0 = sprite.z1 = z;
    sprite.node.depthKey = DepthKeyOf(z);
    OrderTableAppend(SetA(gAquarium.orderTable), LAST_BUCKET - static_cast<int>(sprite.node.depthKey & BUCKET_MASK),
                     &sprite.node);
}

float Clamped(const float cosine) { return std::max(-1.0f, std::min(1.0f, cosine)); }

// The object flare's intensity at camera-space (x, y, z), z in front of the
// eye, for the object's z axis (m[2], m[6], m[10]).
float ObjectIntensity(const Flare& flare, const float* m, const float x, const float y, const float z)
{
    const float distance = std::sqrt(x * x + y * y + z * z);
    float intensity = 1.0f;
    if ((flare.flags & Flare::FADE_OFF_AXIS) != 0) {
        const float c = std::cos(2.0f * std::acos(Clamped(z / distance)));
        intensity *= 2.0f * c * c * c * c * c;
    }
    if ((flare.flags & Flare::FADE_FACING) != 0 && z > 0.0f) {
        const float dot = x * m[2] + y * m[6] + z * m[10];
        const float facing = -dot / distance;
        intensity *= dot >= 0.0f ? 0.0f : facing * facing * facing;
    }
    return intensity;
}

void SwimObject()
{
    const Flare& flare = *static_cast<const Flare*>(gAquarium.currentPlugin);
    const float* const m = static_cast<const Vector*>(gAquarium.pluginOwner)->matrix.m;
    const float z = m[11];
    if (flare.spriteCount == 0 || !(z >= gAquarium.nearPlane))
        return;
    FlareSprite& sprite = flare.sprites[0];
    sprite.intensity = ObjectIntensity(flare, m, m[3], m[7], z);
    Place(sprite, m[3], m[7], z, flare.size / 2.0f);
}

void SwimLight()
{
    const Flare& flare = *static_cast<const Flare*>(gAquarium.currentPlugin);
    const float* const m = static_cast<const Light*>(gAquarium.pluginOwner)->matrix.m;
    if (flare.spriteCount == 0 || !(m[11] >= gAquarium.nearPlane))
        return;
    Place(flare.sprites[0], m[3], m[7], m[11], flare.size / 2.0f);
}

// Sprite i shows the object i × step frames ago, shrinking and brightening
// with age; the newest is invisible, so the trail grows out of the object.
void SwimTrail()
{
    const Flare& flare = *static_cast<const Flare*>(gAquarium.currentPlugin);
    if (flare.spriteCount == 0 || flare.object == nullptr || flare.scene == nullptr || flare.scene->camera == nullptr)
        return;
    const float now = flare.scene->currentFrame;
    Matrix view;
    flare.scene->camera->Evaluate(now, view);
    const float count = static_cast<float>(flare.spriteCount);
    const float step = flare.trailLength / count;
    for (std::uint32_t i = 0; i < flare.spriteCount; ++i) {
        const float age = static_cast<float>(i);
        Matrix place;
        flare.object->Evaluate(std::max(0.0f, now - age * step), place);
        view.Multiply(place, place);
        FlareSprite& sprite = flare.sprites[i];
        sprite.intensity = age / count;
        if (place.m[11] > gAquarium.nearPlane)
            Place(sprite, place.m[3], place.m[7], place.m[11], (flare.size - flare.size * age / count) / 2.0f);
    }
}

Plugin::Function FunctionOf(const std::uint32_t kind)
{
    switch (kind) {
    case Flare::OBJECT:
        return SwimObject;
    case Flare::LIGHT:
        return SwimLight;
    case Flare::TRAIL:
        return SwimTrail;
    default:
        return nullptr;
    }
}

void ReportNoMemory() { Error::Report(1, "Flare::Setup: Not enough memory.\n"); }

}  // namespace

Flare::Flare(const std::uint32_t flareKind, SceneObject* boundObject, Scene* boundScene)
    : object(boundObject), scene(boundScene), kind(flareKind)
{
    function = FunctionOf(flareKind);
}

Flare::~Flare()
{
    delete material;
    material = nullptr;
    for (std::uint32_t i = 0; i < spriteCount; ++i)
        sprites[i].material = nullptr;
    delete[] sprites;
    sprites = nullptr;
    spriteCount = 0;
}

bool Flare::TrailCount(std::uint32_t& count) const
{
    const float wanted = std::trunc(spritesPerFrame * trailLength);
    if (wanted > static_cast<float>(MAX_SPRITES)) {
        char message[128];
        std::snprintf(message, sizeof message, "Flare::Setup: Sprite count %.0f beyond the bound of %u.\n",
                      static_cast<double>(wanted), static_cast<unsigned>(MAX_SPRITES));
        Error::Report(1, message);
        return false;
    }
    count = wanted >= 1.0f ? static_cast<std::uint32_t>(wanted) : 0;
    return true;
}

const Flare* Flare::AsTrail(const Plugin* plugin)
{
    return plugin->function == SwimTrail ? static_cast<const Flare*>(plugin) : nullptr;
}

bool Flare::Setup(const char* textureName)
{
    delete material;
    material = new (std::nothrow) Material;
    if (material == nullptr) {
        ReportNoMemory();
        return false;
    }
    material->flags |= MATERIAL_FLAGS;
    Texture* const texture = Texture::Load(textureName, Texture::USE_COLOUR_MAP);
    if (texture == nullptr) {
        Error::Report(1, "Flare::Setup: Error loading texture.\n");
        Error::Report(3, "  ( ", textureName, " )  \n");
        return false;
    }
    material->colourMap = texture;
    material->mapWidth = texture->width;
    material->mapHeight = texture->height;
    std::uint32_t count = 1;  // the object and light kinds draw sprite 0 alone
    if (kind == TRAIL && !TrailCount(count))
        return false;
    delete[] sprites;
    spriteCount = 0;
    sprites = new (std::nothrow) FlareSprite[count];
    if (sprites == nullptr) {
        ReportNoMemory();
        return false;
    }
    spriteCount = count;
    for (std::uint32_t i = 0; i < count; ++i) {
        sprites[i].node.priority = FlareSprite::PRIORITY;
        sprites[i].material = material;
    }
    return true;
}
