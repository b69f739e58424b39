// Pixels per second through the picture loaders: TGA raw and run-length from
// a whole file in memory, and JPEG through JPG::Load, which reads the file
// (a loose one here) and decodes it, beside libjpeg-turbo decoding the same
// file from memory into a plain buffer on its own. The picture is a 1024 x
// 1024 photo-like field: smooth shading and fine grain.
#include <benchmark/benchmark.h>

#include <jpeglib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "image/jpg.h"
#include "image/tga.h"
#include "tools/writers/jpgwriter.h"
#include "tools/writers/tgawriter.h"

namespace {

constexpr int SIDE = 1024;
constexpr double PIXELS = static_cast<double>(SIDE) * SIDE;

std::vector<std::uint8_t> PhotoPixels()
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> grain(-6, 6);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(SIDE) * SIDE * 3);
    for (int y = 0; y < SIDE; ++y) {
        for (int x = 0; x < SIDE; ++x) {
            const double shade = 0.5 + 0.5 * std::sin(x * 0.013) * std::cos(y * 0.017);
            std::uint8_t* const pixel = &pixels[(static_cast<std::size_t>(y) * SIDE + x) * 3];
            for (int channel = 0; channel < 3; ++channel) {
                const int value = static_cast<int>(shade * (120 + 60 * channel)) + 40 + grain(random);
                pixel[channel] = static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
            }
        }
    }
    return pixels;
}

const std::vector<std::uint8_t>& Jpeg(bool progressive)
{
    static std::vector<std::uint8_t> files[2];
    std::vector<std::uint8_t>& file = files[progressive];
    if (file.empty()) {
        JpegSettings settings;
        settings.progressive = progressive;
        JpegEncode(PhotoPixels().data(), SIDE, SIDE, JpegPixels::BGR, settings, &file);
    }
    return file;
}

const std::vector<std::uint8_t>& Tga(std::uint8_t type)
{
    static std::vector<std::uint8_t> files[2];
    std::vector<std::uint8_t>& file = files[type == TGA_TYPE_RUN_LENGTH];
    if (file.empty()) {
        TgaPicture picture;
        picture.imageType = type;
        picture.width = picture.height = SIDE;
        picture.pixels = PhotoPixels();
        // Runs as a drawn map has them: the grain gone from every other row pair.
        for (std::size_t row = 0; row < SIDE; row += 4)
            std::fill_n(picture.pixels.begin() + row * SIDE * 3, 2 * SIDE * 3, std::uint8_t{90});
        file = TgaEncode(picture);
    }
    return file;
}

// The file, written once as a loose file that the archive reader falls back to.
const char* JpegFile(bool progressive)
{
    static std::string paths[2];
    std::string& path = paths[progressive];
    if (path.empty()) {
        char pattern[] = "/tmp/picture_bench_XXXXXX";
        const int descriptor = mkstemp(pattern);
        const std::vector<std::uint8_t>& file = Jpeg(progressive);
        if (descriptor < 0 || write(descriptor, file.data(), file.size()) != static_cast<ssize_t>(file.size()))
            return "";
        close(descriptor);
        path = pattern;
        std::atexit([] {
            for (const std::string& made : paths)
                if (!made.empty())
                    unlink(made.c_str());
        });
    }
    return path.c_str();
}

void Count(benchmark::State& state)
{
    state.counters["Mpixels/s"] =
        benchmark::Counter(PIXELS / 1e6 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Argument: 1 for a progressive file.
void BM_JpgLoad(benchmark::State& state)
{
    const char* const path = JpegFile(state.range(0) != 0);
    for (auto _ : state) {
        std::int32_t width = 0, height = 0, bits = 0;
        std::uint8_t* const pixels = JPG::Load(path, &width, &height, &bits);
        if (pixels == nullptr) {
            state.SkipWithError("JPG::Load refused the picture");
            break;
        }
        benchmark::DoNotOptimize(pixels);
        std::free(pixels);
    }
    Count(state);
}

// libjpeg-turbo alone: its own memory source, red-green-blue rows into one block.
void BM_LibjpegDecode(benchmark::State& state)
{
    const std::vector<std::uint8_t>& file = Jpeg(state.range(0) != 0);
    std::vector<std::uint8_t> block(static_cast<std::size_t>(SIDE) * SIDE * 3);
    for (auto _ : state) {
        jpeg_decompress_struct decompressor;
        jpeg_error_mgr errors;
        decompressor.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&decompressor);
        jpeg_mem_src(&decompressor, file.data(), static_cast<unsigned long>(file.size()));
        jpeg_read_header(&decompressor, TRUE);
        decompressor.out_color_space = JCS_RGB;
        jpeg_start_decompress(&decompressor);
        while (decompressor.output_scanline < decompressor.output_height) {
            JSAMPROW row = &block[static_cast<std::size_t>(decompressor.output_scanline) * SIDE * 3];
            jpeg_read_scanlines(&decompressor, &row, 1);
        }
        jpeg_finish_decompress(&decompressor);
        jpeg_destroy_decompress(&decompressor);
        benchmark::DoNotOptimize(block.data());
    }
    Count(state);
}

// Argument: the TGA image type.
void BM_TgaDecode(benchmark::State& state)
{
    const std::vector<std::uint8_t>& file = Tga(static_cast<std::uint8_t>(state.range(0)));
    for (auto _ : state) {
        std::int32_t width = 0, height = 0, bits = 0;
        std::uint8_t* const pixels = TGA::Decode(file.data(), file.size(), "bench.tga", &width, &height, &bits);
        if (pixels == nullptr) {
            state.SkipWithError("TGA::Decode refused the picture");
            break;
        }
        benchmark::DoNotOptimize(pixels);
        std::free(pixels);
    }
    Count(state);
}

}  // namespace

BENCHMARK(BM_JpgLoad)->ArgName("progressive")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibjpegDecode)->ArgName("progressive")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TgaDecode)->ArgName("type")->Arg(TGA_TYPE_RAW)->Arg(TGA_TYPE_RUN_LENGTH)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
