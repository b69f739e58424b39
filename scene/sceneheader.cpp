// The scene header's checks and the arrays it makes, and the upload of a
// loaded scene's maps. The header is checked against the buffer's real
// length before anything is allocated.
#include <cstring>

#include "host/error.h"
#include "image/texture.h"
#include "scene/flare.h"
#include "scene/scenechecks.h"
#include "scene/scenefile.h"
#include "scene/vector.h"

namespace {

constexpr std::size_t HEADER_SIZE = sizeof(SCENE_FILE_Header);
// The least a counted chunk occupies, head included.
constexpr std::uint64_t OBJECT_CHUNK_MIN = SCENE_CHUNK_HEAD_SIZE + sizeof(SCENE_FILE_Object);
constexpr std::uint64_t LIGHT_CHUNK_MIN = SCENE_CHUNK_HEAD_SIZE + sizeof(SCENE_FILE_Light);
constexpr std::uint64_t ENVELOPE_CHUNK_MIN = SCENE_CHUNK_HEAD_SIZE + sizeof(SCENE_FILE_Envelope);

// The byte sum of the first fileSize bytes as if the checksum field were 0.
std::uint32_t FileChecksum(const std::uint8_t* buffer, const std::uint32_t fileSize)
{
    std::uint32_t sum = PAK_Checksum(buffer, fileSize);
    for (std::size_t i = SCENE_CHECKSUM_OFFSET; i < SCENE_CHECKSUM_OFFSET + 4 && i < fileSize; ++i)
        sum -= buffer[i];
    return sum;
}

// Whether the chunks the header counts could fit the file at all, so that a
// header claiming millions of records allocates nothing.
bool CountsFit(const SCENE_FILE_Header& header)
{
    const std::uint64_t room = header.fileSize > HEADER_SIZE ? header.fileSize - HEADER_SIZE : 0;
    const std::uint64_t needed = header.objectCount * OBJECT_CHUNK_MIN + header.lightCount * LIGHT_CHUNK_MIN +
                                 header.envelopeCount * ENVELOPE_CHUNK_MIN;
    return needed <= room;
}

bool CheckHeader(const std::uint8_t* buffer, const std::size_t length, const SCENE_FILE_Header& header)
{
    if (header.fileId != SCENE_FILE_ID)
        return SceneFail("Scene::SetupHeader: Corrupt SCENE_FILE_ID.\n");
    if (header.version < SCENE_MIN_VERSION)
        return SceneFail("Scene::SetupHeader: Incompatible fileversion.\n");
    if (header.fileSize > length)
        return SceneFail("Scene::Load: File size runs past the end of the file.\n");
    if (FileChecksum(buffer, header.fileSize) != header.checksum)
        return SceneFail("Scene::SetupHeader: Checksum failure.n\n");
    if (!CountsFit(header))
        return SceneFail("Scene::Load: Header counts more chunks than the file holds.\n");
    return true;
}

bool AllocateArrays(Scene& scene, const SCENE_FILE_Header& header)
{
    if (!scene.AllocateObjects(header.objectCount))
        return SceneFail("Scene::SetupHeader: Not enough memory for Scenevectors.\n");
    if (!scene.AllocateLights(header.lightCount))
        return SceneFail("Scene::SetupHeader: Not enough memory for Scenelights.\n");
    if (!scene.AllocateEnvelopes(header.envelopeCount))
        return SceneFail("Scene::SetupHeader: Not enough memory for Sceneenvelopes.\n");
    if (!scene.AllocateCamera())
        return SceneFail("Scene::SetupHeader: Not enough memory for Scenecamera.\n");
    return true;
}

// Uploads the colour map of material, when it has one.
bool UploadMap(const Material* material)
{
    return material == nullptr || material->colourMap == nullptr || material->colourMap->Upload();
}

bool UploadFlare(const Flare* flare) { return flare == nullptr || UploadMap(flare->material); }

}  // namespace

bool Scene::SetupHeader(const std::uint8_t* buffer, const std::size_t length)
{
    if (length < HEADER_SIZE)
        return SceneFail("Scene::Load: File too short for its header.\n");
    SCENE_FILE_Header header;
    std::memcpy(&header, buffer, sizeof header);
    if (!CheckHeader(buffer, length, header) || !AllocateArrays(*this, header))
        return false;
    firstFrame = header.firstFrame;
    lastFrame = header.lastFrame;
    framesPerSecond = static_cast<float>(header.framesPerSecond);
    return true;
}

bool Scene::SetupOpenGL()
{
    bool uploaded = true;
    for (std::uint32_t i = 0; i < objectCount; ++i) {
        const Vector* const vector = objects[i].vector;
        for (std::uint32_t m = 0; vector != nullptr && m < vector->materialCount; ++m)
            uploaded = UploadMap(&vector->materials[m]) && uploaded;
        uploaded = UploadFlare(objects[i].flare) && uploaded;
    }
    for (std::uint32_t i = 0; i < lightCount; ++i)
        uploaded = UploadFlare(lights[i].flare) && uploaded;
    return uploaded;
}
