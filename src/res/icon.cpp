// Icon 128, the application icon: a yellow "Z" on a dark blue tile with
// rounded corners, in the 16 colours of the standard VGA palette as Windows
// orders it. Each image is drawn below, one character a pixel: a hex digit is
// a palette index, '.' is transparent. The images are decoded at compile time
// into palette indices and a mask; the Win32 build turns them into an .ico
// file, the FLTK back end into its own images.
#include <array>
#include <cstddef>

#include "res/resources.h"

namespace res {
namespace {

constexpr std::uint32_t kVgaPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

// palette index 0 black (outline), 4 navy (tile), 11 yellow (Z), 12 blue (highlight)
constexpr const char* kArt16[16] = {
    ".00000000000000.",
    "00CCCCCC44444400",
    "0C44444444444440",
    "0C4BBBBBBBBBB440",
    "0C4BBBBBBBBBB440",
    "0C444444444BB440",
    "0C44444444BB4440",
    "0C444444BB444440",
    "044444BB44444440",
    "0444BB4444444440",
    "044BB44444444440",
    "044BBBBBBBBBB440",
    "044BBBBBBBBBB440",
    "0444444444444440",
    "0044444444444400",
    ".00000000000000.",
};

constexpr const char* kArt32[32] = {
    "...00000000000000000000000000...",
    ".00CCCCCCCCCCCCC444444444444400.",
    ".044444444444444444444444444440.",
    "0C444444444444444444444444444440",
    "0C444444444444444444444444444440",
    "0C444444444444444444444444444440",
    "0C4444BBBBBBBBBBBBBBBBBBBB444440",
    "0C4444BBBBBBBBBBBBBBBBBBBB444440",
    "0C4444BBBBBBBBBBBBBBBBBBBB444440",
    "0C4444BBBBBBBBBBBBBBBBBBBB444440",
    "0C444444444444444444444BBB444440",
    "0C44444444444444444444BBBB444440",
    "0C444444444444444444BBBB44444440",
    "0C4444444444444444BBBBB444444440",
    "0C44444444444444BBBBB44444444440",
    "0C4444444444444BBBB4444444444440",
    "0444444444444BBBB444444444444440",
    "04444444444BBBBB4444444444444440",
    "044444444BBBBB444444444444444440",
    "04444444BBBB44444444444444444440",
    "044444BBBB4444444444444444444440",
    "044444BBB44444444444444444444440",
    "044444BBBBBBBBBBBBBBBBBBBB444440",
    "044444BBBBBBBBBBBBBBBBBBBB444440",
    "044444BBBBBBBBBBBBBBBBBBBB444440",
    "044444BBBBBBBBBBBBBBBBBBBB444440",
    "04444444444444444444444444444440",
    "04444444444444444444444444444440",
    "04444444444444444444444444444440",
    ".044444444444444444444444444440.",
    ".004444444444444444444444444400.",
    "...00000000000000000000000000...",
};

template <std::size_t N>
struct Decoded {
    std::array<std::uint8_t, N * N> pixels{};
    std::array<std::uint8_t, N * N> mask{};
};

constexpr int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

template <std::size_t N>
constexpr Decoded<N> decode(const char* const (&rows)[N]) {
    Decoded<N> out;
    for (std::size_t y = 0; y < N; ++y) {
        for (std::size_t x = 0; x < N; ++x) {
            const char c = rows[y][x];
            if (c == '\0') throw "icon row too short";  // not a constant expression: fails the build
            const std::size_t i = y * N + x;
            if (c == '.') {
                out.pixels[i] = 0;
                out.mask[i] = 1;
            } else {
                const int v = hexValue(c);
                if (v < 0) throw "bad icon pixel";
                out.pixels[i] = static_cast<std::uint8_t>(v);
                out.mask[i] = 0;
            }
        }
        if (rows[y][N] != '\0') throw "icon row too long";
    }
    return out;
}

constexpr Decoded<16> kIcon16 = decode(kArt16);
constexpr Decoded<32> kIcon32 = decode(kArt32);

const IconImage kMainIcon[] = {
    {16, kVgaPalette, kIcon16.pixels, kIcon16.mask},
    {32, kVgaPalette, kIcon32.pixels, kIcon32.mask},
};

}  // namespace

std::span<const IconImage> iconImages(int id) {
    if (id == IDR_MAINFRAME) return kMainIcon;
    return {};
}

}  // namespace res
