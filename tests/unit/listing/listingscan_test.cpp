// The byte classes of the listing rewrite: the portable forms, which the
// 32-bit Windows build uses, the SSE2 forms, where this build has them, and
// the AVX2 forms, where this processor has them too, against a plain
// byte-by-byte reading.
#include "report/listingscan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

using namespace report;

std::uint64_t bytewise(const char* at, bool (*member)(unsigned char)) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 64; ++i) {
        if (member(static_cast<unsigned char>(at[i]))) bits |= std::uint64_t{1} << i;
    }
    return bits;
}

bool isNewline(unsigned char c) { return c == '\n'; }
bool isSpace(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }
bool isMOrHash(unsigned char c) { return c == 'M' || c == '#'; }

// Every byte value at every place, and random mixes weighted towards the
// bytes next to the classes' edges.
std::vector<std::string> samples() {
    std::vector<std::string> out;
    for (int value = 0; value < 256; ++value) {
        for (int place = 0; place < 64; place += 9) {
            std::string s(64, 'a');
            s[static_cast<std::size_t>(place)] = static_cast<char>(value);
            out.push_back(s);
        }
    }
    std::mt19937 random(23);
    const std::string edges = std::string("\x08\x09\x0a\x0b\x0c\x0d\x0e\x1f\x20\x21\x22\x23\x24\x4c\x4d\x4e\x7f\x80\x81\x89\x8a\xa0\xff", 23) + '\0';
    for (int n = 0; n < 4000; ++n) {
        std::string s(64, '\0');
        for (char& c : s) c = random() % 2 ? edges[random() % edges.size()] : static_cast<char>(random());
        out.push_back(s);
    }
    return out;
}

TEST(ListingScan, EveryFormAgreesWithTheBytes) {
    for (const std::string& s : samples()) {
        const char* at = s.data();
        const std::uint64_t newlines = bytewise(at, isNewline);
        const std::uint64_t spaces = bytewise(at, isSpace);
        const std::uint64_t either = bytewise(at, isMOrHash);
        ASSERT_EQ(scan::portable::newlines(at), newlines);
        ASSERT_EQ(scan::portable::spaces(at), spaces);
        ASSERT_EQ(scan::portable::either(at, 'M', '#'), either);
#ifdef VSZEB_LISTING_SSE2
        ASSERT_EQ(scan::sse2::newlines(at), newlines);
        ASSERT_EQ(scan::sse2::spaces(at), spaces);
        ASSERT_EQ(scan::sse2::either(at, 'M', '#'), either);
#endif
#ifdef VSZEB_LISTING_AVX2
        if (scan::avx2::available()) {
            ASSERT_EQ(scan::avx2::newlines(at), newlines);
            ASSERT_EQ(scan::avx2::spaces(at), spaces);
            ASSERT_EQ(scan::avx2::either(at, 'M', '#'), either);
        }
#endif
        ASSERT_EQ(scan::newlines(at), newlines);
        ASSERT_EQ(scan::spaces(at), spaces);
        ASSERT_EQ(scan::either(at, 'M', '#'), either);
    }
}

}  // namespace
