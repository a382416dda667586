#include "ui/png.h"

#include <algorithm>
#include <array>
#include <fstream>

#include "sys/console.h"
#include "ui/messages.h"

namespace ui {

namespace {

std::uint32_t crc32(const std::string& data, std::size_t from) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = from; i < data.size(); ++i)
        c = table[(c ^ static_cast<std::uint8_t>(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void put32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void chunk(std::string& out, const char* type, const std::string& body) {
    put32(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t start = out.size();
    out += type;
    out += body;
    put32(out, crc32(out, start));
}

}  // namespace

std::string encodePng(int width, int height, const std::vector<std::uint8_t>& rgb) {
    // The raw image: each row starts with filter type 0 (none).
    std::string raw;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(rgb.data()) + static_cast<std::size_t>(y) * rowBytes, rowBytes);
    }

    std::string z = "\x78\x01";  // zlib header: deflate, 32K window, no preset dictionary
    constexpr std::size_t kBlock = 65535;
    for (std::size_t at = 0; at < raw.size() || at == 0; at += kBlock) {
        const std::size_t n = std::min(kBlock, raw.size() - at);
        const bool last = at + n >= raw.size();
        z += static_cast<char>(last ? 1 : 0);
        z += static_cast<char>(n & 0xFF);
        z += static_cast<char>(n >> 8);
        z += static_cast<char>(~n & 0xFF);
        z += static_cast<char>((~n >> 8) & 0xFF);
        z.append(raw, at, n);
        if (last) break;
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);

    std::string ihdr;
    put32(ihdr, static_cast<std::uint32_t>(width));
    put32(ihdr, static_cast<std::uint32_t>(height));
    ihdr += "\x08\x02";    // 8 bits, RGB
    ihdr += std::string(3, '\0');  // deflate, adaptive filtering, no interlace

    std::string out = "\x89PNG\r\n\x1a\n";
    chunk(out, "IHDR", ihdr);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", "");
    return out;
}

void writeScreenshot(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb) {
    bool ok = width > 0 && height > 0;
    if (ok) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const std::string png = encodePng(width, height, rgb);
        out.write(png.data(), static_cast<std::streamsize>(png.size()));
        out.close();
        ok = static_cast<bool>(out);
    }
    if (!ok) sys::writeErrorLine(msg::cannotWriteScreenshot(path));
}

}  // namespace ui
