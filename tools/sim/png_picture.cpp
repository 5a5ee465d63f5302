#include "tools/sim/png_picture.h"

#include <png.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace korvane {

bool WriteSurfacePng(std::FILE* out, const MemorySurface& surface) {
    if (out == nullptr || surface.Empty() ||
        (surface.bytesPerPixel != 3 && surface.bytesPerPixel != 4)) {
        return false;
    }
    const size_t width = static_cast<size_t>(surface.width);
    std::vector<uint8_t> rgb(width * static_cast<size_t>(surface.height) * 3);
    uint8_t* to = rgb.data();
    for (int32_t y = 0; y < surface.height; ++y) {
        const uint8_t* from = surface.bytes.data() + static_cast<size_t>(y) * surface.pitch;
        for (size_t x = 0; x < width; ++x, from += surface.bytesPerPixel, to += 3) {
            // Little-endian 0x00RRGGBB: blue first.
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(surface.width);
    image.height = static_cast<png_uint_32>(surface.height);
    image.format = PNG_FORMAT_RGB;
    const int written = png_image_write_to_stdio(&image, out, 0, rgb.data(), 0, nullptr);
    png_image_free(&image);
    return written != 0;
}

}  // namespace korvane
