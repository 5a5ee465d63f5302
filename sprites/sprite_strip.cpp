#include "sprites/sprite_strip.h"

#include "sprites/busy_budget.h"

namespace korvane {

SpriteFrame::~SpriteFrame() {
    // Unlink iteratively so that a long chain cannot exhaust the stack.
    std::unique_ptr<SpriteFrame> rest = std::move(next);
    while (rest) {
        rest = std::move(rest->next);
    }
}

SpriteStrip::SpriteStrip() : frames(std::make_unique<SpriteFrame>(0, 0, 32, 32)) {
    SelectFrame(0);
}

SpriteStrip::~SpriteStrip() = default;

void SpriteStrip::AddFrame(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (frameCount <= 0) {
        frames->left = left;
        frames->top = top;
        frames->right = right;
        frames->bottom = bottom;
        SelectFrame(0);
    } else {
        SpriteFrame* last = frames.get();
        for (int32_t i = 0; i < frameCount - 1 && last->next; ++i) {
            last = last->next.get();
        }
        last->next = std::make_unique<SpriteFrame>(left, top, right, bottom);
    }
    ++frameCount;
}

void SpriteStrip::SelectFrame(int32_t n) {
    const SpriteFrame* frame = frames.get();
    for (int32_t i = 0; i < n; ++i) {
        frame = frame->next.get();
        if (frame == nullptr) {
            return;
        }
    }
    sourceRect = {frame->left, frame->top, frame->right, frame->bottom};
}

void SpriteStrip::MoveTo(int32_t newX, int32_t newY) {
    earlierX = previousX;
    earlierY = previousY;
    previousX = x;
    previousY = y;
    if (newX != kKeepCoordinate) {
        x = newX;
    }
    if (newY != kKeepCoordinate) {
        y = newY;
    }
}

DisplayResult SpriteStrip::Draw(int32_t newX, int32_t newY) {
    MoveTo(newX, newY);
    if (targetSurface == nullptr || sourceSurface == nullptr) {
        return kNoObject;
    }
    if (busyBudget == nullptr) {
        return targetSurface->BltFast(x, y, *sourceSurface, sourceRect, bltFlags);
    }
    return busyBudget->RetryWhileStillDrawing(
        [this] { return targetSurface->BltFast(x, y, *sourceSurface, sourceRect, bltFlags); });
}

DisplayResult SpriteStrip::DrawBand(int32_t newY, std::span<const BandCopy> copies) {
    if (copies.empty()) {
        return kDisplayOk;
    }
    if (targetSurface == nullptr || sourceSurface == nullptr || !targetSurface->TakesBands()) {
        DisplayResult result = kDisplayOk;
        for (const BandCopy& copy : copies) {
            sourceRect = copy.rect;
            const DisplayResult one = Draw(copy.x, newY);
            if (result == kDisplayOk) {
                result = one;
            }
        }
        return result;
    }
    for (const BandCopy& copy : copies) {
        MoveTo(copy.x, newY);
    }
    sourceRect = copies.back().rect;
    return targetSurface->BltFastBand(y, *sourceSurface, copies, bltFlags);
}

uint32_t SpriteStrip::SetBltFlags(uint32_t flags) {
    const uint32_t previous = bltFlags;
    bltFlags = flags;
    return previous;
}

}  // namespace korvane
