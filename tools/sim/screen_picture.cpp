#include "tools/sim/screen_picture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_set>

#include "grid/cell_geometry.h"

namespace korvane {

namespace {

uint32_t Pack(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

// Reads one header number of a PPM, skipping white space and comments.
bool ReadHeaderNumber(std::FILE* file, int64_t& value) {
    int c = std::fgetc(file);
    while (c == '#' || c == ' ' || c == '\t' || c == '\n' || c == '\r') {
        if (c == '#') {
            while (c != '\n' && c != EOF) {
                c = std::fgetc(file);
            }
        }
        c = std::fgetc(file);
    }
    if (c < '0' || c > '9') {
        return false;
    }
    value = 0;
    while (c >= '0' && c <= '9') {
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int32_t>::max()) {
            return false;
        }
        c = std::fgetc(file);
    }
    // Exactly one white-space character ends the header.
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsClearlyGreen(const uint8_t* rgb) {
    return rgb[1] > 60 && rgb[1] > 2 * rgb[0] && rgb[1] > 2 * rgb[2];
}

bool IsNearlyWhite(const uint8_t* rgb) {
    return rgb[0] > 200 && rgb[1] > 200 && rgb[2] > 200;
}

// Counts the pixels of the area, clipped to the screen, for which `test` holds of their
// offset into the screen's samples.
template <typename PixelTest>
int64_t CountInArea(const ScreenPicture& screen, const ScreenArea& area, PixelTest test) {
    const int64_t left = std::max<int64_t>(area.left, 0);
    const int64_t top = std::max<int64_t>(area.top, 0);
    const int64_t right = std::min<int64_t>(int64_t{area.left} + area.width, screen.width);
    const int64_t bottom = std::min<int64_t>(int64_t{area.top} + area.height, screen.height);
    int64_t count = 0;
    for (int64_t y = top; y < bottom; ++y) {
        for (int64_t x = left; x < right; ++x) {
            count += test(static_cast<size_t>(3 * (y * screen.width + x))) ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

int64_t CountGreenPixels(const ScreenPicture& screen, const ScreenArea& area) {
    return CountInArea(screen, area,
                       [&](size_t offset) { return IsClearlyGreen(&screen.rgb[offset]); });
}

int64_t CountWhitePixels(const ScreenPicture& screen, const ScreenArea& area) {
    return CountInArea(screen, area,
                       [&](size_t offset) { return IsNearlyWhite(&screen.rgb[offset]); });
}

int64_t CountChangedPixels(const ScreenPicture& before, const ScreenPicture& after,
                           const ScreenArea& area) {
    if (before.width != after.width || before.height != after.height) {
        return -1;
    }
    return CountInArea(before, area, [&](size_t offset) {
        return before.rgb[offset] != after.rgb[offset] ||
               before.rgb[offset + 1] != after.rgb[offset + 1] ||
               before.rgb[offset + 2] != after.rgb[offset + 2];
    });
}

GlyphSpread MeasureGlyphSpread(const ScreenPicture& screen) {
    constexpr int32_t kStrokePixels = 8;
    const int32_t columns = screen.width / kCellWidth;
    const int32_t rows = screen.height / kCellHeight;
    if (columns == 0 || rows == 0) {
        return {};
    }
    std::vector<bool> litColumn(static_cast<size_t>(columns));
    int32_t litRows = 0;
    for (int32_t row = 0; row < rows; ++row) {
        bool rowLit = false;
        for (int32_t column = 0; column < columns; ++column) {
            const ScreenArea cell{column * kCellWidth, row * kCellHeight, kCellWidth, kCellHeight};
            if (CountGreenPixels(screen, cell) >= kStrokePixels) {
                litColumn[static_cast<size_t>(column)] = true;
                rowLit = true;
            }
        }
        litRows += rowLit ? 1 : 0;
    }
    const auto litColumns = std::count(litColumn.begin(), litColumn.end(), true);
    return {static_cast<int32_t>(100 * litColumns / columns), 100 * litRows / rows};
}

int64_t CountMagentaPixels(const ScreenPicture& screen) {
    int64_t magenta = 0;
    for (size_t i = 0; i + 2 < screen.rgb.size(); i += 3) {
        magenta += screen.rgb[i] > 200 && screen.rgb[i + 1] < 60 && screen.rgb[i + 2] > 200;
    }
    return magenta;
}

size_t CountColors(const ScreenPicture& screen) {
    std::unordered_set<uint32_t> colors;
    for (size_t i = 0; i + 2 < screen.rgb.size(); i += 3) {
        colors.insert(Pack(screen.rgb[i], screen.rgb[i + 1], screen.rgb[i + 2]));
    }
    return colors.size();
}

bool ReadPpm(const std::string& path, ScreenPicture& out, std::string& error) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        error = "cannot read '" + path + "'";
        return false;
    }
    char magic[2] = {};
    int64_t width = 0;
    int64_t height = 0;
    int64_t maximum = 0;
    if (std::fread(magic, 1, 2, file.get()) != 2 || magic[0] != 'P' || magic[1] != '6' ||
        !ReadHeaderNumber(file.get(), width) || !ReadHeaderNumber(file.get(), height) ||
        !ReadHeaderNumber(file.get(), maximum) || maximum != 255 || width <= 0 || height <= 0 ||
        width * height > (int64_t{1} << 28)) {
        error = "'" + path + "' is not an 8-bit binary PPM picture";
        return false;
    }
    out.width = static_cast<int32_t>(width);
    out.height = static_cast<int32_t>(height);
    out.rgb.resize(static_cast<size_t>(width * height * 3));
    if (std::fread(out.rgb.data(), 1, out.rgb.size(), file.get()) != out.rgb.size()) {
        error = "'" + path + "' ends before its pixels do";
        return false;
    }
    return true;
}

ScreenComparison::ScreenComparison(const ScreenPicture& screen, int32_t depth,
                                   const IndexedBitmap& sheet)
    : depth_(depth), sheet_(sheet), width_(screen.width), height_(screen.height) {
    screen_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_));
    for (size_t i = 0; i < screen_.size(); ++i) {
        screen_[i] = Reduce(Pack(screen.rgb[3 * i], screen.rgb[3 * i + 1], screen.rgb[3 * i + 2]));
    }
}

uint32_t ScreenComparison::Reduce(uint32_t rgb) const {
    if (depth_ == 16) {
        return rgb & 0xF8FCF8u;
    }
    if (depth_ != 8) {
        return rgb;
    }
    // The nearest of the sheet's colours; the X server may round what the palette asked for.
    const int red = static_cast<int>(rgb >> 16);
    const int green = static_cast<int>(rgb >> 8 & 0xFF);
    const int blue = static_cast<int>(rgb & 0xFF);
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    const int count = sheet_.colorCount > 0 ? sheet_.colorCount : 256;
    for (int i = 0; i < count; ++i) {
        const PaletteColor& c = sheet_.colors[static_cast<size_t>(i)];
        const int distance = (c.red - red) * (c.red - red) + (c.green - green) * (c.green - green) +
                             (c.blue - blue) * (c.blue - blue);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    const PaletteColor& c = sheet_.colors[static_cast<size_t>(best)];
    return Pack(c.red, c.green, c.blue);
}

bool ScreenComparison::Matches(const MemorySurface& frame) const {
    if (frame.width != width_ || frame.height != height_ || frame.bytesPerPixel != 4) {
        return false;
    }
    // Most candidate frames differ somewhere; the 8-bit reduction of the frame's colours is
    // memoised per distinct colour, which the sheet keeps few.
    uint32_t lastColor = 0xFFFFFFFFu;
    uint32_t lastReduced = 0;
    const uint32_t* expected = screen_.data();
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x, ++expected) {
            const uint32_t color = frame.PixelAt(x, y) & 0xFFFFFFu;
            if (color != lastColor) {
                lastColor = color;
                lastReduced = Reduce(color);
            }
            if (lastReduced != *expected) {
                return false;
            }
        }
    }
    return true;
}

int64_t ScreenComparison::CountDifferences(const MemorySurface& frame) const {
    if (frame.width != width_ || frame.height != height_ || frame.bytesPerPixel != 4) {
        return int64_t{width_} * height_;
    }
    int64_t differences = 0;
    const uint32_t* expected = screen_.data();
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x, ++expected) {
            differences += Reduce(frame.PixelAt(x, y) & 0xFFFFFFu) != *expected ? 1 : 0;
        }
    }
    return differences;
}

int32_t CountLitCells(const MemorySurface& frame) {
    int32_t lit = 0;
    for (int32_t top = 0; top + kCellHeight <= frame.height; top += kCellHeight) {
        for (int32_t left = 0; left + kCellWidth <= frame.width; left += kCellWidth) {
            bool any = false;
            for (int32_t y = top; y < top + kCellHeight && !any; ++y) {
                for (int32_t x = left; x < left + kCellWidth && !any; ++x) {
                    any = (frame.PixelAt(x, y) & 0xFFFFFFu) != 0;
                }
            }
            lit += any ? 1 : 0;
        }
    }
    return lit;
}

uint64_t PictureFingerprint(const MemorySurface& frame) {
    // FNV-style mixing over the visible bytes of every row, eight at a time.
    uint64_t hash = 0xcbf29ce484222325ull;
    const size_t rowBytes = static_cast<size_t>(frame.width) * frame.bytesPerPixel;
    for (int32_t y = 0; y < frame.height; ++y) {
        const uint8_t* row = frame.bytes.data() + static_cast<size_t>(y) * frame.pitch;
        size_t i = 0;
        for (; i + 8 <= rowBytes; i += 8) {
            uint64_t word;
            std::memcpy(&word, row + i, sizeof word);
            hash = (hash ^ word) * 0x100000001b3ull;
        }
        for (; i < rowBytes; ++i) {
            hash = (hash ^ row[i]) * 0x100000001b3ull;
        }
    }
    return hash;
}

}  // namespace korvane
