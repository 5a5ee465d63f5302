#pragma once

#include <cstdint>
#include <memory>

#include "sprites/surface.h"

namespace korvane {

class BusyBudget;

// One source rectangle of a strip's animation; owns the frames after it.
class SpriteFrame {
  public:
    SpriteFrame(int32_t left, int32_t top, int32_t right, int32_t bottom)
        : left(left), top(top), right(right), bottom(bottom) {}
    virtual ~SpriteFrame();

    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    std::unique_ptr<SpriteFrame> next;
};

// Copies its current source rectangle from a source surface to a position on a target
// surface. Frames are selected by number; a rectangle can also be set directly, so one strip
// can copy any cell of a sheet. It owns neither surface.
class SpriteStrip {
  public:
    static constexpr int32_t kKeepCoordinate = 10000;

    SpriteStrip();
    virtual ~SpriteStrip();

    SpriteStrip(const SpriteStrip&) = delete;
    SpriteStrip& operator=(const SpriteStrip&) = delete;

    void AddFrame(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void SelectFrame(int32_t n);
    void SetSourceRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        sourceRect = {left, top, right, bottom};
    }
    // Retries while the target is still drawing and the busy budget lasts; a copy still busy
    // then is left out. Without a budget a busy copy is tried once. kNoObject without both
    // surfaces.
    DisplayResult Draw(int32_t newX, int32_t newY);
    // Draw of each copy in turn at row y, in one call where the target takes bands. The
    // strip is left as the last Draw would leave it. Answers the first failure.
    DisplayResult DrawBand(int32_t newY, std::span<const BandCopy> copies);
    uint32_t SetBltFlags(uint32_t flags);

    PixelRect sourceRect;
    int32_t y = 0;
    int32_t x = 0;
    int32_t earlierY = 0;
    int32_t previousY = 0;
    int32_t earlierX = 0;
    int32_t previousX = 0;
    Surface* sourceSurface = nullptr;
    Surface* targetSurface = nullptr;
    Surface* workSurface = nullptr;
    // Not owned; the show's, wired once where the strips live. Display swaps leave it.
    BusyBudget* busyBudget = nullptr;
    std::unique_ptr<SpriteFrame> frames;
    int32_t frameCount = 0;
    uint32_t bltFlags = kBltSourceColorKey;

  private:
    // Where a Draw goes, and the two places before it.
    void MoveTo(int32_t newX, int32_t newY);
};

}  // namespace korvane
