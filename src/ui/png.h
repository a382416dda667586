// A picture as a PNG file: 8-bit RGB, stored (uncompressed) deflate blocks,
// so that screenshots need no image library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// `rgb` holds width*height pixels, top row first, 3 bytes each (R, G, B).
std::string encodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

// Writes the picture as a PNG file; on a failure the program's line about it
// goes to standard error. Every back end with windows takes its screenshots so.
void writeScreenshot(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace ui
