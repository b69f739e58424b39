// JPEG decoding through libjpeg (libjpeg-turbo's libjpeg 6.2 interface). The
// whole file is in memory before libjpeg starts, so the source manager hands
// it over at once and can never supply more. Single-threaded.
//
// Supported: what libjpeg can deliver as red-green-blue, at full size:
// baseline and progressive pictures, colour or grey (grey comes out as three
// equal bytes), up to PICTURE_MAX_SIDE pixels a side. Refused with libjpeg's
// own message: damaged or truncated files, files without an image, colour
// spaces libjpeg cannot turn into RGB.
#include "image/jpg.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "host/error.h"
#include "image/pixels.h"
#include "pak/pak.h"

namespace {

constexpr std::size_t OUTPUT_COMPONENTS = 3;
constexpr std::int32_t OUTPUT_BITS = 24;

// libjpeg's source manager followed by the file it feeds from.
struct MemorySource {
    jpeg_source_mgr manager;             // first: all that libjpeg sees
    std::uint8_t* fileBuffer = nullptr;  // the whole file (delete[])
};

// libjpeg's standard error manager with the way back into the decoder.
struct ErrorHandler {
    jpeg_error_mgr standard;         // first: all that libjpeg sees
    std::jmp_buf backToDecoder;      // set before the first libjpeg call that can fail
    char message[JMSG_LENGTH_MAX];   // libjpeg's text of the error that stopped the decode
};

// What one decode allocates. It lives in a frame that outlasts the jump back
// from the error handler, so that a stopped decode can still release it.
struct Output {
    std::uint8_t* pixels = nullptr;  // std::free; the caller's once the decode succeeds
    JSAMPROW* rows = nullptr;        // std::free; points into pixels
};

enum class Outcome { DECODED, NO_SOURCE, TOO_LARGE, NO_MEMORY, LIBJPEG_ERROR };

// libjpeg's error exit: keeps its message and returns control to RunDecoder,
// which releases what the decode holds. Never returns to libjpeg.
[[noreturn]] void ReturnToDecoder(j_common_ptr info)
{
    ErrorHandler* const handler = reinterpret_cast<ErrorHandler*>(info->err);
    (*info->err->format_message)(info, handler->message);
    std::longjmp(handler->backToDecoder, 1);
}

// Warnings about damaged data have no reader: the error text is for failures.
void DiscardMessage(j_common_ptr) {}

void InitSource(j_decompress_ptr) {}

// The whole file was in the buffer from the start: asking for more means it
// ended early.
[[noreturn]] boolean FillInputBuffer(j_decompress_ptr info)
{
    info->err->msg_code = JERR_INPUT_EMPTY;
    ReturnToDecoder(reinterpret_cast<j_common_ptr>(info));
}

// A skip past the end of the file runs out of data like a read would.
void SkipInputData(j_decompress_ptr info, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* const source = info->src;
    const std::size_t skipped = static_cast<std::size_t>(count);
    if (skipped > source->bytes_in_buffer)
        FillInputBuffer(info);
    source->next_input_byte += skipped;
    source->bytes_in_buffer -= skipped;
}

// Also libjpeg's term_source: the source ends with the decode.
void ReleaseSource(j_decompress_ptr info)
{
    MemorySource* const source = reinterpret_cast<MemorySource*>(info->src);
    if (source == nullptr)
        return;
    delete[] source->fileBuffer;
    delete source;
    info->src = nullptr;
}

// The decompressor's source, made and installed when it has none yet; null
// when memory runs out (reported).
MemorySource* AttachSource(j_decompress_ptr info, const char* name)
{
    if (info->src == nullptr) {
        MemorySource* const source = new (std::nothrow) MemorySource();
        if (source == nullptr) {
            Error::Report(4, "JPEG_mem_src: Not enough memory to decompress jpeg.\n", "  ( ", name,
                          " )\n");
            return nullptr;
        }
        source->manager.init_source = InitSource;
        source->manager.fill_input_buffer = FillInputBuffer;
        source->manager.skip_input_data = SkipInputData;
        source->manager.resync_to_restart = jpeg_resync_to_restart;
        source->manager.term_source = ReleaseSource;
        info->src = &source->manager;
    }
    return reinterpret_cast<MemorySource*>(info->src);
}

// The pixel block, which the decode writes row by row to the last, and the
// table of its rows for the started decode. False when memory runs out; what
// was had stays in output.
bool AllocateOutput(const jpeg_decompress_struct& info, Output& output)
{
    const std::size_t rowBytes = std::size_t{info.output_width} * OUTPUT_COMPONENTS;
    output.rows = static_cast<JSAMPROW*>(std::malloc(info.output_height * sizeof(JSAMPROW)));
    output.pixels = static_cast<std::uint8_t*>(std::malloc(info.output_height * rowBytes));
    if (output.rows == nullptr || output.pixels == nullptr)
        return false;
    for (JDIMENSION row = 0; row < info.output_height; ++row)
        output.rows[row] = output.pixels + row * rowBytes;
    return true;
}

void ReadRows(jpeg_decompress_struct& info, const Output& output)
{
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, output.rows + info.output_scanline,
                            info.output_height - info.output_scanline);
}

// libjpeg from the creation of the decompressor to the end of the decode. An
// error raised by libjpeg comes back here as LIBJPEG_ERROR; whatever was
// allocated by then is held by info and output, which belong to the caller's
// frame, so nothing in this frame changes after setjmp.
Outcome RunDecoder(jpeg_decompress_struct& info, ErrorHandler& errors, Output& output, const char* name)
{
    if (setjmp(errors.backToDecoder) != 0)
        return Outcome::LIBJPEG_ERROR;
    jpeg_CreateDecompress(&info, JPEG_LIB_VERSION, sizeof info);
    if (JPEG_mem_src(&info, name) == 0)
        return Outcome::NO_SOURCE;
    jpeg_read_header(&info, TRUE);
    // libjpeg sizes its own buffers from the header at the start: refuse first.
    if (!CheckPictureSides(info.image_width, info.image_height, "JPG::Load", name))
        return Outcome::TOO_LARGE;
    // Asked before the start, so that grey pictures are widened to three
    // components by libjpeg rather than read into rows three times too wide;
    // libjpeg-turbo writes them in the texture's byte order at once.
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    if (!AllocateOutput(info, output))
        return Outcome::NO_MEMORY;
    ReadRows(info, output);
    jpeg_finish_decompress(&info);
    return Outcome::DECODED;
}

void ReportFailure(Outcome outcome, const char* libjpegMessage, const char* name)
{
    switch (outcome) {
    case Outcome::NO_SOURCE:
        Error::Report(3, "JPG_Load: Error initializing jpeg-source. ( ", name, " )\n");
        break;
    case Outcome::NO_MEMORY:
        Error::Report(3, "JPG::Load: Not enough memory to decompress picture. ( ", name, " )\n");
        break;
    case Outcome::LIBJPEG_ERROR:
        Error::Report(5, "JPG::Load: ", libjpegMessage, " ( ", name, " )\n");
        break;
    case Outcome::TOO_LARGE:  // reported by the check itself
    case Outcome::DECODED:
        break;
    }
}

}  // namespace

int JPEG_mem_src(jpeg_decompress_struct* decompressor, const char* name)
{
    MemorySource* const source = AttachSource(decompressor, name);
    if (source == nullptr)
        return 0;
    delete[] source->fileBuffer;
    std::size_t length = 0;
    source->fileBuffer = PAK::ReadFile(name, &length);
    if (source->fileBuffer == nullptr) {
        Error::Report(4, "JPEG_mem_src: Error loading jpeg.\n", "  ( ", name, " )\n");
        ReleaseSource(decompressor);
        return 0;
    }
    // Asked for its messages only: a loose file may have changed since the
    // read, and the decoder must never be told more bytes than it holds.
    PAK::FileSize(name);
    source->manager.next_input_byte = source->fileBuffer;
    source->manager.bytes_in_buffer = length;
    return 1;
}

namespace JPG {

std::uint8_t* Load(const char* name, std::int32_t* width, std::int32_t* height, std::int32_t* bits)
{
    jpeg_decompress_struct info{};
    ErrorHandler errors{};
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = ReturnToDecoder;
    errors.standard.output_message = DiscardMessage;
    Output output;
    const Outcome outcome = RunDecoder(info, errors, output, name);
    if (outcome == Outcome::DECODED) {
        *width = static_cast<std::int32_t>(info.output_width);
        *height = static_cast<std::int32_t>(info.output_height);
        *bits = OUTPUT_BITS;
    } else {
        ReportFailure(outcome, errors.message, name);
        std::free(output.pixels);
        output.pixels = nullptr;
    }
    ReleaseSource(&info);
    jpeg_destroy_decompress(&info);
    std::free(output.rows);
    return output.pixels;
}

}  // namespace JPG
