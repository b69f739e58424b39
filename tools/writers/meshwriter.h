// Writing mesh files for tests and the content generator: the header, then the
// chunks in the order given, file size and checksum filled in. Any field or
// chunk length can be set by hand, so broken files are made like sound ones.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scene/vector.h"
#include "tools/writers/bytesfile.h"

struct MeshChunk {
    std::uint32_t tag = 0;                         // PAK_Tag("VERT") and the like
    std::vector<std::uint8_t> data;
    std::optional<std::uint32_t> declaredLength;  // stored instead of data's length when set
};

struct MeshFile {
    // fileSize and checksum are overwritten unless the matching keep flag is
    // set; headerLength says where the chunks start, but they always follow
    // the header's fields: a length under 24 makes a file that must be refused.
    VECTOR_FILE_Header header;
    bool keepFileSize = false;  // else: the whole file's length
    bool keepChecksum = false;  // else: the checksum of the first fileSize bytes
    std::vector<MeshChunk> chunks;
};

// The parts of a sound mesh, indices as the file stores them.
struct MeshContent {
    std::vector<VECTOR_FILE_Vertex> vertices;
    std::vector<VECTOR_FILE_Face> faces;
    std::vector<VECTOR_FILE_Material> materials;
};

MeshChunk MeshVerticesChunk(const std::vector<VECTOR_FILE_Vertex>& vertices);
MeshChunk MeshFacesChunk(const std::vector<VECTOR_FILE_Face>& faces);
MeshChunk MeshMaterialsChunk(const std::vector<VECTOR_FILE_Material>& materials);

// Copies name into a map name field, cut to fit with its NUL.
void MeshSetName(char (&field)[VECTOR_NAME_SIZE], const std::string& name);

// The counts of content and its three chunks, "VERT", "FACE", "MSPC".
MeshFile MeshLayout(const MeshContent& content);

// The whole file.
std::vector<std::uint8_t> MeshEncode(const MeshFile& file);

// Stores the checksum of the first fileSize bytes (at most all of them) as
// the header holds it; for tests that edit an encoded file. bytes holds at
// least the header.
void MeshSeal(std::vector<std::uint8_t>& bytes);

