// Byte classes of 64 bytes at a time, for the listing rewrite: where the
// newlines are, where the white space is, where two given characters are. Both passes look at every byte
// of the listing, and most lines are short, so a call (or a loop) per line
// or per byte costs more than the work itself.
//
// Each function reads exactly 64 bytes from `at` and returns them as bits:
// bit i is set when byte i is of the class. The SSE2 forms are used where
// the processor has SSE2 for certain; the portable forms everywhere else
// (the 32-bit Windows build), and they are kept in every build so that the
// tests can hold the two against each other.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

// VSZEB_LISTING_WITHOUT_SSE2 and VSZEB_LISTING_WITHOUT_AVX2 leave a form
// out, so that the tests can run the rewrite with the others on any
// processor.
#if (defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)) && \
    !defined(VSZEB_LISTING_WITHOUT_SSE2)
#define VSZEB_LISTING_SSE2 1
#include <emmintrin.h>
#endif
// AVX2 only where the compiler can build single functions for it; the
// processors that have it have the bit instructions of BMI1 and POPCNT too,
// which the functions built for it use.
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__) && !defined(VSZEB_LISTING_WITHOUT_AVX2)
#define VSZEB_LISTING_AVX2 1
#define VSZEB_LISTING_FOR_AVX2 __attribute__((target("avx2,bmi,popcnt")))
#include <immintrin.h>
#endif

namespace report::scan {

// ---------------------------------------------------------------- portable

namespace portable {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kLows = 0x7F7F7F7F7F7F7F7Full;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// The high bit of each byte of `chunk` that is zero; exact, no carries
// between bytes.
inline std::uint64_t zeroBytes(std::uint64_t chunk) { return ~(((chunk & kLows) + kLows) | chunk | kLows); }

// The high bit of each byte below `limit` (at most 0x80); exact: the low
// seven bits plus 0x80 - limit cannot carry out of their byte.
inline std::uint64_t bytesBelow(std::uint64_t chunk, unsigned limit) {
    return ~(((chunk & kLows) + kOnes * (0x80u - limit)) | chunk) & kHighs;
}

// One bit per byte, in memory order, from a chunk whose bytes hold 0x80 or 0.
inline unsigned gather(std::uint64_t highs) {
    if constexpr (std::endian::native == std::endian::little) {
        return static_cast<unsigned>(((highs >> 7) * 0x0102040810204080ull) >> 56);
    } else {
        unsigned bits = 0;
        for (int i = 0; i < 8; ++i) bits |= static_cast<unsigned>((highs >> (63 - 8 * i)) & 1u) << i;
        return bits;
    }
}

inline std::uint64_t load8(const char* at) {
    std::uint64_t chunk;
    std::memcpy(&chunk, at, 8);
    return chunk;
}

inline std::uint64_t newlines(const char* at) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
        const std::uint64_t chunk = load8(at + 8 * i) ^ (kOnes * '\n');
        bits |= static_cast<std::uint64_t>(gather(zeroBytes(chunk))) << (8 * i);
    }
    return bits;
}

// Bytes that are `a` or `b`.
inline std::uint64_t either(const char* at, char a, char b) {
    const std::uint64_t first = kOnes * static_cast<unsigned char>(a);
    const std::uint64_t second = kOnes * static_cast<unsigned char>(b);
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
        const std::uint64_t chunk = load8(at + 8 * i);
        bits |= static_cast<std::uint64_t>(gather(zeroBytes(chunk ^ first) | zeroBytes(chunk ^ second))) << (8 * i);
    }
    return bits;
}

// White space as formatted extraction in the classic locale knows it:
// blank, and tab to carriage return (9 to 13).
inline std::uint64_t spaces(const char* at) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
        const std::uint64_t chunk = load8(at + 8 * i);
        const std::uint64_t control = bytesBelow(chunk, 14) & ~bytesBelow(chunk, 9);
        const std::uint64_t space = zeroBytes(chunk ^ (kOnes * ' ')) | control;
        bits |= static_cast<std::uint64_t>(gather(space)) << (8 * i);
    }
    return bits;
}

}  // namespace portable

// ---------------------------------------------------------------- SSE2

#ifdef VSZEB_LISTING_SSE2
namespace sse2 {

inline std::uint64_t bitsOf(__m128i a, __m128i b, __m128i c, __m128i d) {
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(a))) |
           static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(b))) << 16 |
           static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(c))) << 32 |
           static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(d))) << 48;
}

inline __m128i load16(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }

inline std::uint64_t newlines(const char* at) {
    const __m128i nl = _mm_set1_epi8('\n');
    return bitsOf(_mm_cmpeq_epi8(load16(at), nl), _mm_cmpeq_epi8(load16(at + 16), nl),
                  _mm_cmpeq_epi8(load16(at + 32), nl), _mm_cmpeq_epi8(load16(at + 48), nl));
}

inline __m128i either16(__m128i bytes, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_cmpeq_epi8(bytes, a), _mm_cmpeq_epi8(bytes, b));
}

inline std::uint64_t either(const char* at, char a, char b) {
    const __m128i first = _mm_set1_epi8(a);
    const __m128i second = _mm_set1_epi8(b);
    return bitsOf(either16(load16(at), first, second), either16(load16(at + 16), first, second),
                  either16(load16(at + 32), first, second), either16(load16(at + 48), first, second));
}

inline __m128i spaces16(__m128i bytes) {
    // 9 to 13: unsigned, byte - 9 is at most 4, that is min(byte - 9, 4) is
    // byte - 9 itself.
    const __m128i shifted = _mm_sub_epi8(bytes, _mm_set1_epi8(9));
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(shifted, _mm_set1_epi8(4)), shifted);
    return _mm_or_si128(control, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')));
}

inline std::uint64_t spaces(const char* at) {
    return bitsOf(spaces16(load16(at)), spaces16(load16(at + 16)), spaces16(load16(at + 32)),
                  spaces16(load16(at + 48)));
}

}  // namespace sse2
#endif

// ---------------------------------------------------------------- AVX2

// 32 bytes at a time where the processor has AVX2, which is known only when
// the program runs: these are compiled for it, and used only after
// available() has said so.
#ifdef VSZEB_LISTING_AVX2
namespace avx2 {

inline bool available() {
    static const bool yes =
        __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
    return yes;
}

VSZEB_LISTING_FOR_AVX2 inline __m256i load32(const char* at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

VSZEB_LISTING_FOR_AVX2 inline std::uint64_t bitsOf(__m256i low, __m256i high) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(low))) |
           static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(high))) << 32;
}

VSZEB_LISTING_FOR_AVX2 inline std::uint64_t newlines(const char* at) {
    const __m256i nl = _mm256_set1_epi8('\n');
    return bitsOf(_mm256_cmpeq_epi8(load32(at), nl), _mm256_cmpeq_epi8(load32(at + 32), nl));
}

VSZEB_LISTING_FOR_AVX2 inline __m256i either32(__m256i bytes, __m256i a, __m256i b) {
    return _mm256_or_si256(_mm256_cmpeq_epi8(bytes, a), _mm256_cmpeq_epi8(bytes, b));
}

VSZEB_LISTING_FOR_AVX2 inline std::uint64_t either(const char* at, char a, char b) {
    const __m256i first = _mm256_set1_epi8(a);
    const __m256i second = _mm256_set1_epi8(b);
    return bitsOf(either32(load32(at), first, second), either32(load32(at + 32), first, second));
}

VSZEB_LISTING_FOR_AVX2 inline __m256i spaces32(__m256i bytes) {
    // As sse2::spaces16.
    const __m256i shifted = _mm256_sub_epi8(bytes, _mm256_set1_epi8(9));
    const __m256i control = _mm256_cmpeq_epi8(_mm256_min_epu8(shifted, _mm256_set1_epi8(4)), shifted);
    return _mm256_or_si256(control, _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(' ')));
}

VSZEB_LISTING_FOR_AVX2 inline std::uint64_t spaces(const char* at) {
    return bitsOf(spaces32(load32(at)), spaces32(load32(at + 32)));
}

}  // namespace avx2
#endif

// ---------------------------------------------------------------- the ones in use

inline std::uint64_t newlines(const char* at) {
#ifdef VSZEB_LISTING_SSE2
    return sse2::newlines(at);
#else
    return portable::newlines(at);
#endif
}

inline std::uint64_t either(const char* at, char a, char b) {
#ifdef VSZEB_LISTING_SSE2
    return sse2::either(at, a, b);
#else
    return portable::either(at, a, b);
#endif
}

inline std::uint64_t spaces(const char* at) {
#ifdef VSZEB_LISTING_SSE2
    return sse2::spaces(at);
#else
    return portable::spaces(at);
#endif
}

}  // namespace report::scan
