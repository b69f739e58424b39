// The scene file writer. Everything is built in memory in the host's byte
// order, which pak/pak.h requires to be little-endian as the files are; keys
// are copied as they lie in memory, which scene/keys.h lays out as the file.
#include "tools/writers/scenewriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "host/error.h"
#include "tools/writers/bytesfile.h"
#include "pak/pak.h"

namespace {

void AppendBytes(std::vector<std::uint8_t>& out, const void* data, const std::size_t length)
{
    const auto* const bytes = static_cast<const std::uint8_t*>(data);
    out.insert(out.end(), bytes, bytes + length);
}

template <class Value>
void Append(std::vector<std::uint8_t>& out, const Value value)
{
    static_assert(sizeof(Value) == 4, "every number of a scene file is a 32-bit word");
    AppendBytes(out, &value, sizeof value);
}

// A NUL-padded field of size bytes; text longer than size - 1 is cut to size
// bytes and loses its NUL.
void AppendField(std::vector<std::uint8_t>& out, const std::string& text, const std::size_t size)
{
    const std::size_t kept = std::min(text.size(), size);
    AppendBytes(out, text.data(), kept);
    out.insert(out.end(), size - kept, 0);
}

template <class Key>
void AppendKeys(std::vector<std::uint8_t>& out, const std::vector<Key>& keys,
                const std::optional<std::uint32_t>& keyCount)
{
    Append(out, keyCount.value_or(static_cast<std::uint32_t>(keys.size())));
    AppendBytes(out, keys.data(), keys.size() * sizeof(Key));
}

void Store(std::vector<std::uint8_t>& file, const std::size_t offset, const std::uint32_t value)
{
    std::memcpy(file.data() + offset, &value, sizeof value);
}

std::uint32_t Load(const std::vector<std::uint8_t>& file, const std::size_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, file.data() + offset, sizeof value);
    return value;
}

}  // namespace

bool SceneFormat::IsEnvelopeTag(const std::uint32_t tag)
{
    return tag == TAG_LINT || tag == TAG_LRNG || tag == TAG_LCON || tag == TAG_LEDG || tag == TAG_ZOOM ||
           tag == TAG_MORP || tag == TAG_ODIS;
}

std::vector<std::uint8_t> SceneObjectData(const SceneObjectChunk& object)
{
    std::vector<std::uint8_t> data;
    AppendField(data, object.name, SceneFormat::NAME_SIZE);
    for (const float coordinate : object.pivot)
        Append(data, coordinate);
    Append(data, object.endBehaviour);
    Append(data, object.pathLookAhead);
    Append(data, object.parent);
    Append(data, object.target);
    Append(data, object.morphTarget);
    Append(data, object.morphAmount);
    AppendKeys(data, object.keys, object.keyCount);
    return data;
}

std::vector<std::uint8_t> SceneLightData(const SceneLightChunk& light)
{
    std::vector<std::uint8_t> data;
    Append(data, light.kind);
    Append(data, light.red);
    Append(data, light.green);
    Append(data, light.blue);
    Append(data, light.range);
    Append(data, light.intensity);
    Append(data, light.coneAngle);
    Append(data, light.edgeAngle);
    Append(data, light.endBehaviour);
    Append(data, light.pathLookAhead);
    Append(data, light.parent);
    Append(data, light.target);
    AppendKeys(data, light.keys, light.keyCount);
    return data;
}

std::vector<std::uint8_t> SceneCameraData(const SceneCameraChunk& camera)
{
    std::vector<std::uint8_t> data;
    Append(data, camera.endBehaviour);
    Append(data, camera.pathLookAhead);
    Append(data, camera.parent);
    Append(data, camera.target);
    Append(data, camera.zoom);
    AppendKeys(data, camera.keys, camera.keyCount);
    return data;
}

std::vector<std::uint8_t> SceneEnvelopeData(const SceneEnvelopeChunk& envelope)
{
    std::vector<std::uint8_t> data;
    Append(data, envelope.endBehaviour);
    AppendKeys(data, envelope.keys, envelope.keyCount);
    return data;
}

std::vector<std::uint8_t> SceneFlareData(const SceneFlareChunk& flare)
{
    std::vector<std::uint8_t> data;
    Append(data, flare.kind);
    Append(data, flare.flags);
    Append(data, flare.size);
    Append(data, flare.trailLength);
    Append(data, flare.spritesPerFrame);
    AppendField(data, flare.textureName, SceneFormat::NAME_SIZE);
    return data;
}

void SceneSeal(std::vector<std::uint8_t>& file)
{
    if (file.size() < SceneFormat::HEADER_SIZE)
        return;
    const std::size_t covered = std::min<std::size_t>(Load(file, SceneFormat::FILE_SIZE_OFFSET), file.size());
    Store(file, SceneFormat::CHECKSUM_OFFSET, 0);
    Store(file, SceneFormat::CHECKSUM_OFFSET, PAK_Checksum(file.data(), covered));
}

void SceneWriter::AddObject(const SceneObjectChunk& object)
{
    AddChunk(SceneFormat::TAG_VOBJ, SceneObjectData(object));
}

void SceneWriter::AddNull(const SceneObjectChunk& object)
{
    AddChunk(SceneFormat::TAG_NULL, SceneObjectData(object));
}

void SceneWriter::AddLight(const SceneLightChunk& light)
{
    AddChunk(SceneFormat::TAG_LGHT, SceneLightData(light));
}

void SceneWriter::AddCamera(const SceneCameraChunk& camera)
{
    AddChunk(SceneFormat::TAG_CAMR, SceneCameraData(camera));
}

void SceneWriter::AddEnvelope(const std::uint32_t tag, const SceneEnvelopeChunk& envelope)
{
    AddChunk(tag, SceneEnvelopeData(envelope));
}

void SceneWriter::AddLightFlare(const SceneFlareChunk& flare)
{
    AddChunk(SceneFormat::TAG_LFLR, SceneFlareData(flare));
}

void SceneWriter::AddObjectFlare(const SceneFlareChunk& flare)
{
    AddChunk(SceneFormat::TAG_OFLR, SceneFlareData(flare));
}

void SceneWriter::AddChunk(const std::uint32_t tag, const std::vector<std::uint8_t>& data)
{
    Append(chunks_, tag);
    Append(chunks_, static_cast<std::uint32_t>(data.size()));
    AddBytes(data);
    if (tag == SceneFormat::TAG_VOBJ || tag == SceneFormat::TAG_NULL)
        ++objectCount_;
    else if (tag == SceneFormat::TAG_LGHT)
        ++lightCount_;
    else if (SceneFormat::IsEnvelopeTag(tag))
        ++envelopeCount_;
}

void SceneWriter::AddBytes(const std::vector<std::uint8_t>& bytes)
{
    AppendBytes(chunks_, bytes.data(), bytes.size());
}

std::vector<std::uint8_t> SceneWriter::Bytes() const
{
    std::vector<std::uint8_t> file;
    file.reserve(SceneFormat::HEADER_SIZE + chunks_.size());
    AppendField(file, header.freeText, SceneFormat::FREE_TEXT_SIZE);
    Append(file, header.fileId);
    Append(file, header.unread);
    Append(file, header.version);
    Append(file, header.fileSize.value_or(
                     static_cast<std::uint32_t>(SceneFormat::HEADER_SIZE + chunks_.size())));
    Append(file, std::uint32_t{0});
    Append(file, header.objectCount.value_or(objectCount_));
    Append(file, header.lightCount.value_or(lightCount_));
    Append(file, header.envelopeCount.value_or(envelopeCount_));
    Append(file, header.firstFrame);
    Append(file, header.lastFrame);
    Append(file, header.framesPerSecond);
    AppendBytes(file, chunks_.data(), chunks_.size());
    if (header.checksum)
        Store(file, SceneFormat::CHECKSUM_OFFSET, *header.checksum);
    else
        SceneSeal(file);
    return file;
}

bool SceneWriter::Write(const std::string& path) const { return WriteBytesFile(path, Bytes()); }
