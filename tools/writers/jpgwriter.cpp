// JPEG writing through libjpeg's compressor (libjpeg-turbo's libjpeg 6.2
// interface) into a growing memory buffer. libjpeg's errors come back to
// JpegEncode through setjmp/longjmp and are reported; none ends the program.
#include "tools/writers/jpgwriter.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>

#include <jpeglib.h>
#include <jerror.h>

#include "host/error.h"

namespace {

constexpr std::size_t FIRST_CAPACITY = 4096;  // bytes; doubled whenever libjpeg fills it
constexpr int COLOUR_COMPONENTS = 3;

// libjpeg's destination manager over one growing buffer.
struct GrowingDestination {
    jpeg_destination_mgr manager;   // first: all that libjpeg sees
    std::uint8_t* bytes = nullptr;  // std::free; released by JpegEncode
    std::size_t capacity = 0;
};

// libjpeg's standard error manager with the way back into JpegEncode.
struct ErrorHandler {
    jpeg_error_mgr standard;        // first: all that libjpeg sees
    std::jmp_buf backToWriter;      // set before the first libjpeg call that can fail
    char message[JMSG_LENGTH_MAX];  // libjpeg's text of the error that stopped the compression
};

// What one compression allocates. It lives in a frame that outlasts the jump
// back from the error handler, so that a stopped compression can release it.
struct Work {
    GrowingDestination destination;
    std::uint8_t* row = nullptr;  // std::free; one blue-green-red row turned red-green-blue
};

struct Input {
    const std::uint8_t* pixels;
    int width;
    int height;
    JpegPixels layout;
};

[[noreturn]] void ReturnToWriter(j_common_ptr info)
{
    ErrorHandler* const handler = reinterpret_cast<ErrorHandler*>(info->err);
    (*info->err->format_message)(info, handler->message);
    std::longjmp(handler->backToWriter, 1);
}

[[noreturn]] void RaiseOutOfMemory(j_common_ptr info)
{
    info->err->msg_code = JERR_OUT_OF_MEMORY;
    info->err->msg_parm.i[0] = 0;
    ReturnToWriter(info);
}

GrowingDestination* DestinationOf(j_compress_ptr info)
{
    return reinterpret_cast<GrowingDestination*>(info->dest);
}

void InitDestination(j_compress_ptr info)
{
    GrowingDestination* const destination = DestinationOf(info);
    destination->bytes = static_cast<std::uint8_t*>(std::malloc(FIRST_CAPACITY));
    if (destination->bytes == nullptr)
        RaiseOutOfMemory(reinterpret_cast<j_common_ptr>(info));
    destination->capacity = FIRST_CAPACITY;
    destination->manager.next_output_byte = destination->bytes;
    destination->manager.free_in_buffer = FIRST_CAPACITY;
}

// libjpeg calls this when the whole buffer is full.
boolean EmptyOutputBuffer(j_compress_ptr info)
{
    GrowingDestination* const destination = DestinationOf(info);
    const std::size_t capacity = destination->capacity * 2;
    std::uint8_t* const grown = static_cast<std::uint8_t*>(std::realloc(destination->bytes, capacity));
    if (grown == nullptr)
        RaiseOutOfMemory(reinterpret_cast<j_common_ptr>(info));
    destination->bytes = grown;
    destination->manager.next_output_byte = grown + destination->capacity;
    destination->manager.free_in_buffer = capacity - destination->capacity;
    destination->capacity = capacity;
    return TRUE;
}

// The file's length is taken from the buffer by JpegEncode.
void TermDestination(j_compress_ptr) {}

void InstallDestination(jpeg_compress_struct& info, GrowingDestination& destination)
{
    destination.manager.init_destination = InitDestination;
    destination.manager.empty_output_buffer = EmptyOutputBuffer;
    destination.manager.term_destination = TermDestination;
    info.dest = &destination.manager;
}

void SetParameters(jpeg_compress_struct& info, const Input& input, const JpegSettings& settings)
{
    const bool grey = input.layout == JpegPixels::GREY;
    info.image_width = static_cast<JDIMENSION>(input.width);
    info.image_height = static_cast<JDIMENSION>(input.height);
    info.input_components = grey ? 1 : COLOUR_COMPONENTS;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, settings.quality, TRUE);
    if (settings.fullChroma) {
        info.comp_info[0].h_samp_factor = 1;
        info.comp_info[0].v_samp_factor = 1;
    }
    if (settings.progressive)
        jpeg_simple_progression(&info);
}

void WriteRows(jpeg_compress_struct& info, Work& work, const Input& input)
{
    const std::size_t rowBytes = std::size_t{info.image_width} * info.input_components;
    while (info.next_scanline < info.image_height) {
        const std::uint8_t* const source = input.pixels + info.next_scanline * rowBytes;
        // libjpeg only reads the rows it is given.
        JSAMPROW row = const_cast<JSAMPROW>(source);
        if (input.layout == JpegPixels::BGR) {
            for (std::size_t at = 0; at < rowBytes; at += COLOUR_COMPONENTS) {
                work.row[at] = source[at + 2];
                work.row[at + 1] = source[at + 1];
                work.row[at + 2] = source[at];
            }
            row = work.row;
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
}

// libjpeg from the creation of the compressor to the end of the file. An
// error raised by libjpeg comes back here as false; what was allocated by then
// is held by info and work, which belong to the caller's frame, so nothing in
// this frame changes after setjmp.
bool RunCompressor(jpeg_compress_struct& info, ErrorHandler& errors, Work& work, const Input& input,
                   const JpegSettings& settings)
{
    if (setjmp(errors.backToWriter) != 0)
        return false;
    jpeg_CreateCompress(&info, JPEG_LIB_VERSION, sizeof info);
    InstallDestination(info, work.destination);
    SetParameters(info, input, settings);
    jpeg_start_compress(&info, TRUE);
    if (input.layout == JpegPixels::BGR) {
        work.row = static_cast<std::uint8_t*>(std::malloc(std::size_t{info.image_width} * COLOUR_COMPONENTS));
        if (work.row == nullptr)
            RaiseOutOfMemory(reinterpret_cast<j_common_ptr>(&info));
    }
    WriteRows(info, work, input);
    jpeg_finish_compress(&info);
    return true;
}

}  // namespace

bool JpegEncode(const std::uint8_t* pixels, int width, int height, JpegPixels layout,
                const JpegSettings& settings, std::vector<std::uint8_t>* file)
{
    file->clear();
    jpeg_compress_struct info{};
    ErrorHandler errors{};
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = ReturnToWriter;
    Work work;
    const bool compressed = RunCompressor(info, errors, work, {pixels, width, height, layout}, settings);
    if (compressed) {
        const GrowingDestination& destination = work.destination;
        file->assign(destination.bytes,
                     destination.bytes + destination.capacity - destination.manager.free_in_buffer);
    } else {
        Error::Report(3, "JpegEncode: ", errors.message, "\n");
    }
    jpeg_destroy_compress(&info);
    std::free(work.destination.bytes);
    std::free(work.row);
    return compressed;
}

