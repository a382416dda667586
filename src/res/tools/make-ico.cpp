// Build-time helper: writes icon 128 as a Windows .ico file for vsZEB.rc, from
// the same image data that the portable back ends draw, so that the Windows
// program and the others cannot show different icons.
//   make-ico OUTPUT.ico
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "res/resources.h"

namespace {

void put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void put32(std::string& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

// One image as an icon resource stores it: a bitmap header of twice the
// height, the palette, the colour rows and the mask rows, both bottom-up and
// padded to whole 32-bit words.
std::string iconBitmap(const res::IconImage& img) {
    const int n = img.size;
    const int xorStride = ((n * 4 + 31) / 32) * 4;
    const int andStride = ((n + 31) / 32) * 4;
    std::string out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(n));
    put32(out, static_cast<std::uint32_t>(2 * n));
    put16(out, 1);
    put16(out, 4);
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>((xorStride + andStride) * n));
    put32(out, 0);
    put32(out, 0);
    put32(out, 16);
    put32(out, 0);
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t rgb = i < static_cast<int>(img.palette.size()) ? img.palette[i] : 0;
        out += static_cast<char>(rgb & 0xFF);
        out += static_cast<char>((rgb >> 8) & 0xFF);
        out += static_cast<char>((rgb >> 16) & 0xFF);
        out += '\0';
    }
    for (int y = n - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(xorStride), '\0');
        for (int x = 0; x < n; ++x) {
            const std::size_t at = static_cast<std::size_t>(y * n + x);
            // Transparent pixels must be black in the colour part, or the
            // screen shows through inverted.
            const std::uint8_t index = img.mask[at] ? 0 : (img.pixels[at] & 0x0F);
            row[static_cast<std::size_t>(x / 2)] |= static_cast<char>(x % 2 ? index : index << 4);
        }
        out += row;
    }
    for (int y = n - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(andStride), '\0');
        for (int x = 0; x < n; ++x)
            if (img.mask[static_cast<std::size_t>(y * n + x)])
                row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        out += row;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make-ico OUTPUT.ico\n", stderr);
        return 2;
    }
    const auto images = res::iconImages(res::IDR_MAINFRAME);
    if (images.empty()) {
        std::fputs("make-ico: icon 128 has no images\n", stderr);
        return 1;
    }
    std::vector<std::string> bitmaps;
    for (const auto& img : images) {
        const std::size_t cells = static_cast<std::size_t>(img.size) * static_cast<std::size_t>(img.size);
        if (img.size <= 0 || img.size > 255 || img.pixels.size() != cells || img.mask.size() != cells) {
            std::fprintf(stderr, "make-ico: image of size %d has inconsistent data\n", img.size);
            return 1;
        }
        bitmaps.push_back(iconBitmap(img));
    }
    std::string out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out += static_cast<char>(images[i].size);
        out += static_cast<char>(images[i].size);
        out += static_cast<char>(16);
        out += '\0';
        put16(out, 1);
        put16(out, 4);
        put32(out, static_cast<std::uint32_t>(bitmaps[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(bitmaps[i].size());
    }
    for (const auto& b : bitmaps) out += b;
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "make-ico: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
