// glTF 2.0 animation samplers: the container, the buffers, the accessors and
// the channels, each read with its own checks.
#include "tools/importer/gltfanimation.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "tools/importer/names.h"

namespace importer {

namespace {

using json = nlohmann::json;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t GLB_MAGIC = 0x46546C67;  // "glTF"
constexpr std::uint32_t JSON_CHUNK = 0x4E4F534A;
constexpr std::uint32_t BIN_CHUNK = 0x004E4942;
constexpr std::size_t GLB_HEADER = 12;
constexpr std::size_t CHUNK_HEADER = 8;

std::uint32_t Word(const Bytes& bytes, std::size_t at)
{
    std::uint32_t word;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    return word;
}

// A member of an object, or null: nothing here may throw.
const json* Member(const json& object, const char* key)
{
    if (!object.is_object())
        return nullptr;
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

bool Index(const json& object, const char* key, std::size_t& index)
{
    const json* const value = Member(object, key);
    if (value == nullptr || !value->is_number_unsigned())
        return false;
    index = value->get<std::size_t>();
    return true;
}

std::size_t IndexOr(const json& object, const char* key, std::size_t fallback)
{
    std::size_t index = fallback;
    return Index(object, key, index) ? index : fallback;
}

const json* Element(const json& document, const char* array, std::size_t index)
{
    const json* const list = Member(document, array);
    return list != nullptr && list->is_array() && index < list->size() ? &(*list)[index] : nullptr;
}

std::string Text(const json& object, const char* key)
{
    const json* const value = Member(object, key);
    return value != nullptr && value->is_string() ? value->get<std::string>() : "";
}

bool Base64(const std::string& text, Bytes& out)
{
    int bits = 0, gathered = 0;
    for (const char c : text) {
        int value;
        if (c >= 'A' && c <= 'Z')
            value = c - 'A';
        else if (c >= 'a' && c <= 'z')
            value = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            value = c - '0' + 52;
        else if (c == '+' || c == '-')
            value = 62;
        else if (c == '/' || c == '_')
            value = 63;
        else if (c == '=')
            break;
        else
            return false;
        gathered = (gathered << 6) | value;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<std::uint8_t>((gathered >> bits) & 0xFF));
        }
    }
    return true;
}

bool ReadWhole(const std::string& path, Bytes& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The document and the binary chunk of a .glb, or the document of a .gltf.
class Container {
public:
    GltfReading Open(const std::string& path, std::string& why)
    {
        Bytes file;
        if (!ReadWhole(path, file)) {
            why = "the file cannot be read";
            return GltfReading::BROKEN;
        }
        folder_ = std::filesystem::path(path).parent_path().string();
        if (folder_.empty())
            folder_ = ".";
        if (file.size() >= GLB_HEADER && Word(file, 0) == GLB_MAGIC)
            return OpenBinary(file, why);
        const std::string extension = std::filesystem::path(path).extension().string();
        if (extension != ".gltf" && extension != ".GLTF")
            return GltfReading::NOT_GLTF;
        document_ = json::parse(file.begin(), file.end(), nullptr, false);
        return Parsed(why);
    }

    const json& Document() const { return document_; }
    const std::string& Folder() const { return folder_; }
    Bytes& Binary() { return binary_; }

private:
    GltfReading OpenBinary(const Bytes& file, std::string& why)
    {
        std::size_t at = GLB_HEADER;
        bool first = true;
        while (at + CHUNK_HEADER <= file.size()) {
            const std::size_t length = Word(file, at), type = Word(file, at + 4);
            at += CHUNK_HEADER;
            if (length > file.size() - at)
                break;
            if (first && type == JSON_CHUNK)
                document_ = json::parse(file.begin() + at, file.begin() + at + length, nullptr, false);
            else if (type == BIN_CHUNK && binary_.empty())
                binary_.assign(file.begin() + at, file.begin() + at + length);
            first = false;
            at += length;
        }
        return Parsed(why);
    }

    GltfReading Parsed(std::string& why) const
    {
        if (document_.is_object())
            return GltfReading::READ;
        why = "its JSON cannot be read";
        return GltfReading::BROKEN;
    }

    json document_;
    Bytes binary_;
    std::string folder_;
};

// The buffers, each loaded at its first use.
class Buffers {
public:
    explicit Buffers(Container& container) : container_(container) {}

    const Bytes* Get(std::size_t index, std::string& why)
    {
        const json* const buffer = Element(container_.Document(), "buffers", index);
        if (buffer == nullptr) {
            why = "a buffer index is out of range";
            return nullptr;
        }
        Bytes& bytes = loaded_[index];
        if (!bytes.empty())
            return &bytes;
        if (!Load(Text(*buffer, "uri"), index, bytes)) {
            why = "buffer " + std::to_string(index) + " cannot be read";
            return nullptr;
        }
        return &bytes;
    }

private:
    // The .glb's own chunk for the first buffer without a URI, a data URI's
    // bytes, or a file beside the model.
    bool Load(const std::string& uri, std::size_t index, Bytes& bytes) const
    {
        if (uri.empty()) {
            bytes = container_.Binary();
            return index == 0 && !bytes.empty();
        }
        if (uri.rfind("data:", 0) == 0) {
            const std::size_t comma = uri.find(',');
            return comma != std::string::npos && Base64(uri.substr(comma + 1), bytes);
        }
        return ReadWhole(container_.Folder() + "/" + uri, bytes);
    }

    Container& container_;
    std::map<std::size_t, Bytes> loaded_;
};

struct ComponentType {
    int code;
    std::size_t size;
    double scale;  // of a normalised integer; 0 for a float
    bool isSigned;
};

constexpr ComponentType COMPONENT_TYPES[] = {
    {5126, 4, 0.0, true},     {5120, 1, 127.0, true},    {5121, 1, 255.0, false},
    {5122, 2, 32767.0, true}, {5123, 2, 65535.0, false},
};

double Component(const std::uint8_t* at, const ComponentType& type)
{
    if (type.scale == 0.0) {
        float value;
        std::memcpy(&value, at, sizeof value);
        return value;
    }
    std::int64_t raw = 0;
    if (type.size == 1)
        raw = type.isSigned ? static_cast<std::int8_t>(*at) : *at;
    else {
        std::uint16_t word;
        std::memcpy(&word, at, sizeof word);
        raw = type.isSigned ? static_cast<std::int16_t>(word) : word;
    }
    return std::max(static_cast<double>(raw) / type.scale, -1.0);
}

// Accessor index as count elements of components numbers each.
bool ReadAccessor(const json& document, Buffers& buffers, std::size_t index, std::size_t components,
                  std::vector<double>& out, std::string& why)
{
    const json* const accessor = Element(document, "accessors", index);
    std::size_t view = 0, count = 0;
    const std::string unreadable = "accessor " + std::to_string(index) + " is not one the importer can read";
    if (accessor == nullptr || !Index(*accessor, "bufferView", view) || !Index(*accessor, "count", count) ||
        Member(*accessor, "sparse") != nullptr) {
        why = unreadable;
        return false;
    }
    const std::size_t code = IndexOr(*accessor, "componentType", 0);
    const ComponentType* type = nullptr;
    for (const ComponentType& known : COMPONENT_TYPES)
        type = static_cast<int>(code) == known.code ? &known : type;
    const std::string shape = Text(*accessor, "type");
    const std::size_t declared = shape == "SCALAR" ? 1 : shape == "VEC3" ? 3 : shape == "VEC4" ? 4 : 0;
    const json* const bufferView = Element(document, "bufferViews", view);
    if (type == nullptr || declared != components || bufferView == nullptr) {
        why = unreadable;
        return false;
    }
    const Bytes* const buffer = buffers.Get(IndexOr(*bufferView, "buffer", SIZE_MAX), why);
    if (buffer == nullptr)
        return false;
    const std::size_t element = type->size * components;
    const std::size_t stride = IndexOr(*bufferView, "byteStride", element);
    const std::size_t start = IndexOr(*bufferView, "byteOffset", 0), length = IndexOr(*bufferView, "byteLength", 0);
    const std::size_t offset = IndexOr(*accessor, "byteOffset", 0);
    // Every element inside the view, the view inside the buffer.
    const bool inside = stride >= element && start <= buffer->size() && length <= buffer->size() - start &&
                        count != 0 && offset <= length && element <= length - offset &&
                        count - 1 <= (length - offset - element) / stride;
    if (!inside) {
        why = "accessor " + std::to_string(index) + " runs past its buffer";
        return false;
    }
    out.resize(count * components);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* const at = buffer->data() + start + offset + i * stride;
        for (std::size_t c = 0; c < components; ++c)
            out[i * components + c] = Component(at + c * type->size, *type);
    }
    return true;
}

Interpolation InterpolationOf(const std::string& name, bool rotation)
{
    if (name == "STEP")
        return Interpolation::STEP;
    if (name == "CUBICSPLINE")
        return Interpolation::CUBIC_SPLINE;
    return rotation ? Interpolation::SPHERICAL_LINEAR : Interpolation::LINEAR;
}

template <class Key, std::size_t N>
void Fill(const std::vector<double>& times, const std::vector<double>& values, bool cubic, std::vector<Key>& keys)
{
    const std::size_t per = cubic ? 3 : 1;
    keys.resize(times.size());
    for (std::size_t k = 0; k < times.size(); ++k) {
        keys[k].time = times[k];
        const double* const v = values.data() + k * per * N;
        for (std::size_t c = 0; c < N; ++c) {
            keys[k].value[c] = v[(cubic ? N : 0) + c];
            if (cubic) {
                keys[k].inTangent[c] = v[c];
                keys[k].outTangent[c] = v[2 * N + c];
            }
        }
    }
}

class Channels {
public:
    Channels(const json& document, Buffers& buffers, GltfAnimations& animations)
        : document_(document), buffers_(buffers), animations_(animations)
    {
    }

    bool Read(const json& animation, std::size_t number, std::string& why);

private:
    bool Channel(const json& animation, const json& channel, const std::string& where, std::string& why);

    const json& document_;
    Buffers& buffers_;
    GltfAnimations& animations_;
};

// One channel into its node's track; morph weights and channels a node
// already has from an earlier animation are left out with a line.
bool Channels::Channel(const json& animation, const json& channel, const std::string& where, std::string& why)
{
    const json* const target = Member(channel, "target");
    std::size_t node = 0, sampler = 0;
    const json* const samplerRecord = Member(animation, "samplers") != nullptr && Index(channel, "sampler", sampler)
                                          ? Element(animation, "samplers", sampler)
                                          : nullptr;
    if (target == nullptr || !Index(*target, "node", node) || node >= animations_.nodes.size() ||
        samplerRecord == nullptr) {
        why = where + " names no node or sampler of the file";
        return false;
    }
    const std::string path = Text(*target, "path");
    NodeTracks& tracks = animations_.nodes[node];
    const bool rotation = path == "rotation";
    VectorTrack* const vector = path == "translation" ? &tracks.translation : path == "scale" ? &tracks.scale : nullptr;
    if (!rotation && vector == nullptr) {
        animations_.leftOut.push_back(where + ": its " + Printable(path) + " are not followed");
        return true;
    }
    if ((rotation && !tracks.rotation.keys.empty()) || (vector != nullptr && !vector->keys.empty())) {
        animations_.leftOut.push_back(where + ": another animation moves its node already");
        return true;
    }
    const Interpolation interpolation = InterpolationOf(Text(*samplerRecord, "interpolation"), rotation);
    const bool cubic = interpolation == Interpolation::CUBIC_SPLINE;
    std::vector<double> times, values;
    const std::size_t components = rotation ? 4 : 3;
    if (!ReadAccessor(document_, buffers_, IndexOr(*samplerRecord, "input", SIZE_MAX), 1, times, why) ||
        !ReadAccessor(document_, buffers_, IndexOr(*samplerRecord, "output", SIZE_MAX), components, values, why))
        return false;
    if (values.size() != times.size() * components * (cubic ? 3 : 1)) {
        why = where + ": its sampler's keys and values do not match";
        return false;
    }
    if (rotation) {
        tracks.rotation.interpolation = interpolation;
        Fill<RotationKey, 4>(times, values, cubic, tracks.rotation.keys);
    } else {
        vector->interpolation = interpolation;
        Fill<VectorKey, 3>(times, values, cubic, vector->keys);
    }
    tracks.moved = true;
    return rotation ? CheckTrack(tracks.rotation, why) : CheckTrack(*vector, why);
}

bool Channels::Read(const json& animation, const std::size_t number, std::string& why)
{
    const json* const channels = Member(animation, "channels");
    if (channels == nullptr || !channels->is_array())
        return true;
    for (std::size_t i = 0; i < channels->size(); ++i) {
        const std::string where = "animation " + std::to_string(number) + " channel " + std::to_string(i);
        if (!Channel(animation, (*channels)[i], where, why))
            return false;
    }
    return true;
}

}  // namespace

GltfReading ReadGltfAnimations(const std::string& path, GltfAnimations& animations, std::string& why)
{
    Container container;
    const GltfReading opened = container.Open(path, why);
    if (opened != GltfReading::READ)
        return opened;
    const json& document = container.Document();
    const json* const nodes = Member(document, "nodes");
    animations.nodes.resize(nodes != nullptr && nodes->is_array() ? nodes->size() : 0);
    for (std::size_t i = 0; i < animations.nodes.size(); ++i)
        animations.nodes[i].name = Text((*nodes)[i], "name");
    Buffers buffers(container);
    Channels channels(document, buffers, animations);
    const json* const list = Member(document, "animations");
    for (std::size_t a = 0; list != nullptr && list->is_array() && a < list->size(); ++a) {
        if (!channels.Read((*list)[a], a, why))
            return GltfReading::BROKEN;
    }
    return GltfReading::READ;
}

}  // namespace importer
