// Spectral flux with an in-place radix-2 FFT; one pass over the track.
#include "tools/audio/onsets.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::size_t BINS = ONSET_WINDOW_FRAMES / 2 + 1;
constexpr float COMPRESSION = 1000.0f;  // log(1 + C|X|): loud and quiet rises both count
constexpr double PI = 3.14159265358979323846;

// Real and imaginary parts in two arrays: the compiler keeps them in registers.
struct Spectrum {
    std::vector<float> re = std::vector<float>(ONSET_WINDOW_FRAMES);
    std::vector<float> im = std::vector<float>(ONSET_WINDOW_FRAMES);
};

class Fft {
public:
    Fft() : cos_(ONSET_WINDOW_FRAMES / 2), sin_(ONSET_WINDOW_FRAMES / 2), reversed_(ONSET_WINDOW_FRAMES)
    {
        for (std::size_t k = 0; k < cos_.size(); ++k) {
            cos_[k] = static_cast<float>(std::cos(2.0 * PI * k / ONSET_WINDOW_FRAMES));
            sin_[k] = static_cast<float>(-std::sin(2.0 * PI * k / ONSET_WINDOW_FRAMES));
        }
        std::size_t bits = 0;
        while ((std::size_t{1} << bits) < ONSET_WINDOW_FRAMES)
            ++bits;
        for (std::size_t i = 0; i < ONSET_WINDOW_FRAMES; ++i) {
            std::size_t r = 0;
            for (std::size_t b = 0; b < bits; ++b)
                r |= ((i >> b) & 1u) << (bits - 1 - b);
            reversed_[i] = r;
        }
    }

    // In place, radix 2, decimation in time.
    void Transform(Spectrum& data) const
    {
        float* const re = data.re.data();
        float* const im = data.im.data();
        for (std::size_t i = 0; i < ONSET_WINDOW_FRAMES; ++i) {
            if (i < reversed_[i]) {
                std::swap(re[i], re[reversed_[i]]);
                std::swap(im[i], im[reversed_[i]]);
            }
        }
        for (std::size_t half = 1; half < ONSET_WINDOW_FRAMES; half *= 2) {
            const std::size_t stride = ONSET_WINDOW_FRAMES / (2 * half);
            for (std::size_t k = 0; k < half; ++k) {
                const float wr = cos_[k * stride];
                const float wi = sin_[k * stride];
                for (std::size_t even = k; even < ONSET_WINDOW_FRAMES; even += 2 * half) {
                    const std::size_t odd = even + half;
                    const float xr = wr * re[odd] - wi * im[odd];
                    const float xi = wr * im[odd] + wi * re[odd];
                    re[odd] = re[even] - xr;
                    im[odd] = im[even] - xi;
                    re[even] += xr;
                    im[even] += xi;
                }
            }
        }
    }

private:
    std::vector<float> cos_, sin_;
    std::vector<std::size_t> reversed_;
};

std::vector<float> MonoMix(const Pcm& pcm)
{
    std::vector<float> mono(pcm.Frames());
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = 0.5f * (pcm.samples[2 * i] + pcm.samples[2 * i + 1]);
    return mono;
}

// Log magnitudes of the frame centred on centre; samples outside the track are 0.
void FrameSpectrum(const std::vector<float>& mono, std::size_t centre, const std::vector<float>& window,
                   const Fft& fft, Spectrum& work, std::vector<float>& magnitudes)
{
    const std::ptrdiff_t first = static_cast<std::ptrdiff_t>(centre) - ONSET_WINDOW_FRAMES / 2;
    for (std::size_t i = 0; i < ONSET_WINDOW_FRAMES; ++i) {
        const std::ptrdiff_t at = first + static_cast<std::ptrdiff_t>(i);
        const bool inside = at >= 0 && at < static_cast<std::ptrdiff_t>(mono.size());
        work.re[i] = inside ? mono[static_cast<std::size_t>(at)] * window[i] : 0.0f;
        work.im[i] = 0.0f;
    }
    fft.Transform(work);
    for (std::size_t k = 0; k < BINS; ++k) {
        const float magnitude = std::sqrt(work.re[k] * work.re[k] + work.im[k] * work.im[k]);
        magnitudes[k] = std::log1p(COMPRESSION * magnitude / ONSET_WINDOW_FRAMES);
    }
}

}  // namespace

OnsetCurve OnsetStrength(const Pcm& pcm)
{
    const std::vector<float> mono = MonoMix(pcm);
    std::vector<float> window(ONSET_WINDOW_FRAMES);
    for (std::size_t i = 0; i < window.size(); ++i)
        window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * PI * i / ONSET_WINDOW_FRAMES));
    const Fft fft;
    Spectrum work;
    std::vector<float> previous(BINS, 0.0f);
    std::vector<float> current(BINS, 0.0f);
    OnsetCurve curve;
    for (std::size_t centre = 0; centre < mono.size(); centre += ONSET_HOP_FRAMES) {
        FrameSpectrum(mono, centre, window, fft, work, current);
        float flux = 0.0f;
        for (std::size_t k = 0; k < BINS; ++k)
            flux += std::max(0.0f, current[k] - previous[k]);
        curve.strength.push_back(centre == 0 ? 0.0f : flux);
        std::swap(previous, current);
    }
    return curve;
}

std::vector<Onset> PeakOnsets(const OnsetCurve& curve, float threshold, double gapMs)
{
    std::vector<Onset> peaks;
    const std::vector<float>& s = curve.strength;
    for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        if (s[i] < threshold || s[i] < s[i - 1] || s[i] < s[i + 1])
            continue;
        const Onset onset{curve.TimeMs(i), s[i]};
        if (!peaks.empty() && onset.timeMs - peaks.back().timeMs < gapMs) {
            if (onset.strength > peaks.back().strength)
                peaks.back() = onset;
            continue;
        }
        peaks.push_back(onset);
    }
    return peaks;
}
