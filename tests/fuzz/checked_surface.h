#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <typeinfo>

#include "display/memory_surface.h"
#include "sprites/surface.h"

namespace korvane {

// Stands in front of a memory surface and stops the run at the first copy that would reach
// outside either surface, before the memory surface is asked to make it. A surface that
// tolerates overhang (the cursor's target) lets such a copy through only at the cell just past
// the grid's right or bottom edge, where the display refuses it by design, and then insists
// that the memory surface did refuse it.
class CheckedSurface final : public Surface {
  public:
    CheckedSurface(const char* name, MemorySurface& pixels) : name_(name), pixels_(pixels) {}

    // Lets copies hang over this target's edge at the cell just past a grid of cols x rows.
    void TolerateCellPastGrid(int32_t cols, int32_t rows, int32_t cellWidth, int32_t cellHeight) {
        tolerant_ = true;
        cols_ = cols;
        rows_ = rows;
        cellWidth_ = cellWidth;
        cellHeight_ = cellHeight;
    }

    DisplayResult BltFast(int32_t x, int32_t y, Surface& sourceSurface, const PixelRect& rect,
                          uint32_t flags) override {
        CheckedSurface& source = SourceOf(sourceSurface, x, y, rect);
        const bool inside = Check(source, x, y, rect);
        const DisplayResult result = pixels_.BltFast(x, y, source.pixels_, rect, flags);
        Expect(result, inside, x, y, rect);
        ++(inside ? copiesMade : copiesRefused);
        return result;
    }

    // A band is checked copy by copy, then made by the memory surface's own band copy, which
    // must answer success exactly when every copy of it fits.
    bool TakesBands() const override { return true; }
    DisplayResult BltFastBand(int32_t y, Surface& sourceSurface, std::span<const BandCopy> copies,
                              uint32_t flags) override {
        if (copies.empty()) {
            return kDisplayOk;
        }
        CheckedSurface& source = SourceOf(sourceSurface, copies[0].x, y, copies[0].rect);
        int64_t fitting = 0;
        for (const BandCopy& copy : copies) {
            fitting += Check(source, copy.x, y, copy.rect) ? 1 : 0;
        }
        const auto all = static_cast<int64_t>(copies.size());
        const DisplayResult result = pixels_.BltFastBand(y, source.pixels_, copies, flags);
        Expect(result, fitting == all, copies[0].x, y, copies[0].rect);
        copiesMade += fitting;
        copiesRefused += all - fitting;
        return result;
    }

    int64_t copiesMade = 0;
    int64_t copiesRefused = 0;

  private:
    CheckedSurface& SourceOf(Surface& sourceSurface, int32_t x, int32_t y,
                             const PixelRect& rect) const {
        if (typeid(sourceSurface) != typeid(CheckedSurface)) {
            Fail("copies from a surface outside the checked display", x, y, rect);
        }
        return static_cast<CheckedSurface&>(sourceSurface);
    }

    // Whether the copy fits this target; stops the run where it may not be asked for at all.
    bool Check(const CheckedSurface& source, int32_t x, int32_t y, const PixelRect& rect) const {
        if (!Inside(rect, source.pixels_)) {
            source.Fail("source rectangle outside its surface", x, y, rect);
        }
        const PixelRect target{x, y, x + (rect.right - rect.left), y + (rect.bottom - rect.top)};
        const bool inside = Inside(target, pixels_);
        if (!inside && !AtCellPastGrid(x, y)) {
            Fail("copy outside its target surface", x, y, rect);
        }
        return inside;
    }

    void Expect(DisplayResult result, bool inside, int32_t x, int32_t y,
                const PixelRect& rect) const {
        if ((result == kDisplayOk) != inside) {
            Fail(inside ? "memory surface refused a copy that fits"
                        : "memory surface made a copy that does not fit",
                 x, y, rect);
        }
    }

    static bool Inside(const PixelRect& r, const MemorySurface& s) {
        return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
               r.right <= s.width && r.bottom <= s.height;
    }

    bool AtCellPastGrid(int32_t x, int32_t y) const {
        if (!tolerant_ || x < 0 || y < 0 || x % cellWidth_ != 0 || y % cellHeight_ != 0) {
            return false;
        }
        const int32_t column = x / cellWidth_;
        const int32_t row = y / cellHeight_;
        return column <= cols_ && row <= rows_ && (column == cols_ || row == rows_);
    }

    [[noreturn]] void Fail(const char* what, int32_t x, int32_t y, const PixelRect& rect) const {
        std::fprintf(stderr, "%s (%s %dx%d): copy of (%d,%d)-(%d,%d) to (%d,%d)\n", what, name_,
                     pixels_.width, pixels_.height, rect.left, rect.top, rect.right, rect.bottom, x,
                     y);
        std::abort();
    }

    const char* name_;
    MemorySurface& pixels_;
    bool tolerant_ = false;
    int32_t cols_ = 0;
    int32_t rows_ = 0;
    int32_t cellWidth_ = 1;
    int32_t cellHeight_ = 1;
};

}  // namespace korvane
