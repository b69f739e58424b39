// Lanes of floats and of 32-bit integers for the batched geometry stage: F4
// and I4 (SSE2) and, in a file built for AVX2, F8 and I8. Each float lane
// does exactly the IEEE operation of its scalar counterpart; comparisons are
// ordered, so a NaN fails them. Loads and stores move a field of each lane's
// record (atom, cell) through an address function: at(i) is lane i's field.
// Only the batched files include this, and everything in it has internal
// linkage: code built for AVX2 must never be merged with baseline code.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

// body(0), body(1), … body(W - 1), written out: each lane index is a
// constant, so that lanes stay in registers.
template <class Body, int... LANE>
inline void EachLaneOf(Body&& body, std::integer_sequence<int, LANE...>)
{
    (body(LANE), ...);
}

template <int W, class Body>
inline void EachLane(Body&& body)
{
    EachLaneOf(body, std::make_integer_sequence<int, W>{});
}

template <class Item>
float* FieldOf(Item* item, std::size_t offset)
{
    return reinterpret_cast<float*>(reinterpret_cast<char*>(item) + offset);
}

template <class Item>
const std::int32_t* IntFieldOf(const Item* item, std::size_t offset)
{
    return reinterpret_cast<const std::int32_t*>(reinterpret_cast<const char*>(item) + offset);
}

// Rows a, b, c, d become columns, within each 128-bit half.
inline void Transpose(__m128& a, __m128& b, __m128& c, __m128& d)
{
    const __m128 t0 = _mm_unpacklo_ps(a, b), t1 = _mm_unpacklo_ps(c, d);
    const __m128 t2 = _mm_unpackhi_ps(a, b), t3 = _mm_unpackhi_ps(c, d);
    a = _mm_movelh_ps(t0, t1);
    b = _mm_movehl_ps(t1, t0);
    c = _mm_movelh_ps(t2, t3);
    d = _mm_movehl_ps(t3, t2);
}

// The first COUNT floats of row to at, never a float more.
template <int COUNT>
void StoreRow(float* at, __m128 row)
{
    if constexpr (COUNT == 4) {
        _mm_storeu_ps(at, row);
    } else if constexpr (COUNT == 1) {
        _mm_store_ss(at, row);
    } else {
        _mm_storel_pi(reinterpret_cast<__m64*>(at), row);
        if constexpr (COUNT == 3)
            _mm_store_ss(at + 2, _mm_movehl_ps(row, row));
    }
}

// Stores the rows of the lanes set in lanes to at(i); all lanes without a
// test each.
// Lane i of a to at(i), for the lanes set in lanes.
template <int W, class At, class V>
inline void StoreLanes(At at, unsigned lanes, V a)
{
    float values[W];
    a.Store(values);
    EachLane<W>([&](int i) {
        if ((lanes >> i & 1) != 0)
            *at(i) = values[i];
    });
}

template <int COUNT, int W, class At, class Row>
inline void StoreRows(At at, unsigned lanes, Row row)
{
    if (lanes == (1u << W) - 1) {
        EachLane<W>([&](int i) { StoreRow<COUNT>(at(i), row(i)); });
        return;
    }
    EachLane<W>([&](int i) {
        if ((lanes >> i & 1) != 0)
            StoreRow<COUNT>(at(i), row(i));
    });
}

struct I4 {
    __m128i v;
    static I4 Splat(std::int32_t x) { return {_mm_set1_epi32(x)}; }
    void Store(std::int32_t* at) const { _mm_storeu_si128(reinterpret_cast<__m128i*>(at), v); }
    // Lane i from the integer at(i) points to.
    template <class At>
    static I4 Gather(At at)
    {
        return {_mm_setr_epi32(*at(0), *at(1), *at(2), *at(3))};
    }
};

inline I4 operator&(I4 a, I4 b) { return {_mm_and_si128(a.v, b.v)}; }
inline I4 operator|(I4 a, I4 b) { return {_mm_or_si128(a.v, b.v)}; }
inline I4 operator^(I4 a, I4 b) { return {_mm_xor_si128(a.v, b.v)}; }
template <int SHIFT>
I4 ShiftLeft(I4 a)
{
    return {_mm_slli_epi32(a.v, SHIFT)};
}
inline I4 Equal(I4 a, I4 b) { return {_mm_cmpeq_epi32(a.v, b.v)}; }
inline I4 Select(I4 mask, I4 a, I4 b) { return {_mm_or_si128(_mm_and_si128(mask.v, a.v), _mm_andnot_si128(mask.v, b.v))}; }

struct F4 {
    static constexpr int WIDTH = 4;
    using Int = I4;
    __m128 v;

    static F4 Splat(float x) { return {_mm_set1_ps(x)}; }
    void Store(float* at) const { _mm_storeu_ps(at, v); }
    // Lane i set where bit i of bits is.
    static F4 Mask(unsigned bits)
    {
        const __m128i lane = _mm_setr_epi32(1, 2, 4, 8);
        const __m128i set = _mm_and_si128(_mm_set1_epi32(static_cast<int>(bits)), lane);
        return {_mm_castsi128_ps(_mm_cmpeq_epi32(set, lane))};
    }
    static F4 Of(I4 bits) { return {_mm_castsi128_ps(bits.v)}; }
    I4 Bits() const { return {_mm_castps_si128(v)}; }
    // Lane i from the float at(i) points to.
    template <class At>
    static F4 Gather(At at)
    {
        return {_mm_setr_ps(*at(0), *at(1), *at(2), *at(3))};
    }
    // Lanes i of a, b, c, d from the four floats from at(i) on.
    template <class At>
    static void Gather(At at, F4& a, F4& b, F4& c, F4& d)
    {
        a.v = _mm_loadu_ps(at(0)), b.v = _mm_loadu_ps(at(1)), c.v = _mm_loadu_ps(at(2)), d.v = _mm_loadu_ps(at(3));
        Transpose(a.v, b.v, c.v, d.v);
    }
    // The first COUNT of lanes i of a, b, c, d from at(i) on, for the lanes
    // set in lanes.
    template <int COUNT, class At>
    static void Scatter(At at, unsigned lanes, F4 a, F4 b, F4 c, F4 d)
    {
        if constexpr (COUNT == 1) {
            StoreLanes<WIDTH>(at, lanes, a);
            return;
        }
        Transpose(a.v, b.v, c.v, d.v);
        const __m128 rows[4] = {a.v, b.v, c.v, d.v};
        StoreRows<COUNT, WIDTH>(at, lanes, [&](int i) { return rows[i]; });
    }
    // Round to nearest in the current mode, as 32-bit integers; a lane out of
    // their range reads INT32_MIN.
    I4 Round() const { return {_mm_cvtps_epi32(v)}; }
};

inline F4 operator+(F4 a, F4 b) { return {_mm_add_ps(a.v, b.v)}; }
inline F4 operator-(F4 a, F4 b) { return {_mm_sub_ps(a.v, b.v)}; }
inline F4 operator*(F4 a, F4 b) { return {_mm_mul_ps(a.v, b.v)}; }
inline F4 operator/(F4 a, F4 b) { return {_mm_div_ps(a.v, b.v)}; }
inline F4 operator-(F4 a) { return {_mm_xor_ps(a.v, _mm_set1_ps(-0.0f))}; }
inline F4 Sqrt(F4 a) { return {_mm_sqrt_ps(a.v)}; }
inline F4 Less(F4 a, F4 b) { return {_mm_cmplt_ps(a.v, b.v)}; }
inline F4 LessEqual(F4 a, F4 b) { return {_mm_cmple_ps(a.v, b.v)}; }
inline F4 Greater(F4 a, F4 b) { return {_mm_cmpgt_ps(a.v, b.v)}; }
inline F4 GreaterEqual(F4 a, F4 b) { return {_mm_cmpge_ps(a.v, b.v)}; }
inline F4 Equal(F4 a, F4 b) { return {_mm_cmpeq_ps(a.v, b.v)}; }
inline F4 And(F4 a, F4 b) { return {_mm_and_ps(a.v, b.v)}; }
inline F4 Select(F4 mask, F4 a, F4 b) { return {_mm_or_ps(_mm_and_ps(mask.v, a.v), _mm_andnot_ps(mask.v, b.v))}; }
inline unsigned Bits(F4 mask) { return static_cast<unsigned>(_mm_movemask_ps(mask.v)); }
inline unsigned Bits(I4 mask) { return Bits(F4::Of(mask)); }

#ifdef __AVX2__

// Lanes 0 to 3 of a 256-bit register in its low half, 4 to 7 in its high one.
inline __m256 Join(__m128 low, __m128 high) { return _mm256_insertf128_ps(_mm256_castps128_ps256(low), high, 1); }

inline void Transpose(__m256& a, __m256& b, __m256& c, __m256& d)
{
    const __m256 t0 = _mm256_unpacklo_ps(a, b), t1 = _mm256_unpacklo_ps(c, d);
    const __m256 t2 = _mm256_unpackhi_ps(a, b), t3 = _mm256_unpackhi_ps(c, d);
    a = _mm256_shuffle_ps(t0, t1, _MM_SHUFFLE(1, 0, 1, 0));
    b = _mm256_shuffle_ps(t0, t1, _MM_SHUFFLE(3, 2, 3, 2));
    c = _mm256_shuffle_ps(t2, t3, _MM_SHUFFLE(1, 0, 1, 0));
    d = _mm256_shuffle_ps(t2, t3, _MM_SHUFFLE(3, 2, 3, 2));
}

struct I8 {
    __m256i v;
    static I8 Splat(std::int32_t x) { return {_mm256_set1_epi32(x)}; }
    void Store(std::int32_t* at) const { _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v); }
    template <class At>
    static I8 Gather(At at)
    {
        return {_mm256_setr_epi32(*at(0), *at(1), *at(2), *at(3), *at(4), *at(5), *at(6), *at(7))};
    }
};

inline I8 operator&(I8 a, I8 b) { return {_mm256_and_si256(a.v, b.v)}; }
inline I8 operator|(I8 a, I8 b) { return {_mm256_or_si256(a.v, b.v)}; }
inline I8 operator^(I8 a, I8 b) { return {_mm256_xor_si256(a.v, b.v)}; }
template <int SHIFT>
I8 ShiftLeft(I8 a)
{
    return {_mm256_slli_epi32(a.v, SHIFT)};
}
inline I8 Equal(I8 a, I8 b) { return {_mm256_cmpeq_epi32(a.v, b.v)}; }
inline I8 Select(I8 mask, I8 a, I8 b) { return {_mm256_blendv_epi8(b.v, a.v, mask.v)}; }

struct F8 {
    static constexpr int WIDTH = 8;
    using Int = I8;
    __m256 v;

    static F8 Splat(float x) { return {_mm256_set1_ps(x)}; }
    void Store(float* at) const { _mm256_storeu_ps(at, v); }
    static F8 Mask(unsigned bits)
    {
        const __m256i lane = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
        const __m256i set = _mm256_and_si256(_mm256_set1_epi32(static_cast<int>(bits)), lane);
        return {_mm256_castsi256_ps(_mm256_cmpeq_epi32(set, lane))};
    }
    static F8 Of(I8 bits) { return {_mm256_castsi256_ps(bits.v)}; }
    I8 Bits() const { return {_mm256_castps_si256(v)}; }
    template <class At>
    static F8 Gather(At at)
    {
        return {_mm256_setr_ps(*at(0), *at(1), *at(2), *at(3), *at(4), *at(5), *at(6), *at(7))};
    }
    template <class At>
    static void Gather(At at, F8& a, F8& b, F8& c, F8& d)
    {
        const auto row = [&](int i) { return _mm_loadu_ps(at(i)); };
        a.v = Join(row(0), row(4));
        b.v = Join(row(1), row(5));
        c.v = Join(row(2), row(6));
        d.v = Join(row(3), row(7));
        Transpose(a.v, b.v, c.v, d.v);
    }
    template <int COUNT, class At>
    static void Scatter(At at, unsigned lanes, F8 a, F8 b, F8 c, F8 d)
    {
        if constexpr (COUNT == 1) {
            StoreLanes<WIDTH>(at, lanes, a);
            return;
        }
        Transpose(a.v, b.v, c.v, d.v);
        const __m128 rows[8] = {_mm256_castps256_ps128(a.v),   _mm256_castps256_ps128(b.v),
                                _mm256_castps256_ps128(c.v),   _mm256_castps256_ps128(d.v),
                                _mm256_extractf128_ps(a.v, 1), _mm256_extractf128_ps(b.v, 1),
                                _mm256_extractf128_ps(c.v, 1), _mm256_extractf128_ps(d.v, 1)};
        StoreRows<COUNT, WIDTH>(at, lanes, [&](int i) { return rows[i]; });
    }
    I8 Round() const { return {_mm256_cvtps_epi32(v)}; }
};

inline F8 operator+(F8 a, F8 b) { return {_mm256_add_ps(a.v, b.v)}; }
inline F8 operator-(F8 a, F8 b) { return {_mm256_sub_ps(a.v, b.v)}; }
inline F8 operator*(F8 a, F8 b) { return {_mm256_mul_ps(a.v, b.v)}; }
inline F8 operator/(F8 a, F8 b) { return {_mm256_div_ps(a.v, b.v)}; }
inline F8 operator-(F8 a) { return {_mm256_xor_ps(a.v, _mm256_set1_ps(-0.0f))}; }
inline F8 Sqrt(F8 a) { return {_mm256_sqrt_ps(a.v)}; }
inline F8 Less(F8 a, F8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_LT_OQ)}; }
inline F8 LessEqual(F8 a, F8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_LE_OQ)}; }
inline F8 Greater(F8 a, F8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_GT_OQ)}; }
inline F8 GreaterEqual(F8 a, F8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_GE_OQ)}; }
inline F8 Equal(F8 a, F8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_EQ_OQ)}; }
inline F8 And(F8 a, F8 b) { return {_mm256_and_ps(a.v, b.v)}; }
inline F8 Select(F8 mask, F8 a, F8 b) { return {_mm256_blendv_ps(b.v, a.v, mask.v)}; }
inline unsigned Bits(F8 mask) { return static_cast<unsigned>(_mm256_movemask_ps(mask.v)); }
inline unsigned Bits(I8 mask) { return Bits(F8::Of(mask)); }

#endif

// The depth key of a reciprocal depth times the key scale: rounded to
// nearest as a signed 64-bit number, of which the key keeps the low 32 bits.
inline std::uint32_t ScalarKey(float product)
{
    return static_cast<std::uint32_t>(_mm_cvtss_si64(_mm_set_ss(product)));
}

}  // namespace
