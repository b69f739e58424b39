// libFuzzer target: any bytes as a JPEG file through JPG::Load, which must
// decode or refuse them (libjpeg's errors included) without ending the
// process or reading past the file's buffer. Each input is written to this
// process's own file and loaded by its path, as the texture loader loads a
// loose picture. Pictures that the loader would decode at more than 65536
// pixels are skipped: they cost time and memory, not new paths through it.
// Larger claims than the loader's bound still go in, as it refuses them first.
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>

#include <jpeglib.h>

#include "fuzz/scratch_file.h"
#include "host/error.h"
#include "image/jpg.h"
#include "image/pixels.h"

namespace {

constexpr unsigned long MAX_PIXELS = 1UL << 16;

struct HeaderErrors {
    jpeg_error_mgr standard;  // first: all that libjpeg sees
    std::jmp_buf back;
};

[[noreturn]] void ReturnToHeaderCheck(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<HeaderErrors*>(info->err)->back, 1);
}

void Silent(j_common_ptr) {}

// Reads the header with libjpeg's own source. No local changes after setjmp.
bool ReadSize(jpeg_decompress_struct& info, HeaderErrors& errors, const std::uint8_t* data,
              std::size_t size)
{
    if (setjmp(errors.back) != 0)
        return false;
    jpeg_CreateDecompress(&info, JPEG_LIB_VERSION, sizeof info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    return true;
}

// False when the header reads and names a picture that the loader would
// decode at more than MAX_PIXELS.
bool CheapToLoad(const std::uint8_t* data, std::size_t size)
{
    jpeg_decompress_struct info{};
    HeaderErrors errors{};
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = ReturnToHeaderCheck;
    errors.standard.output_message = Silent;
    const bool read = ReadSize(info, errors, data, size);
    const bool refused = info.image_width > PICTURE_MAX_SIDE || info.image_height > PICTURE_MAX_SIDE;
    const bool cheap = !read || refused ||
                       static_cast<unsigned long>(info.image_width) * info.image_height <= MAX_PIXELS;
    jpeg_destroy_decompress(&info);
    return cheap;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!CheapToLoad(data, size))
        return 0;
    static fuzz::ScratchFile picture("jpg_fuzzer");
    if (!picture.Write(data, size))
        return 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bits = 0;
    std::free(JPG::Load(picture.Path(), &width, &height, &bits));
    Error::Reset();
    return 0;
}
