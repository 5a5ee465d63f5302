#include "sprites/cursor_frames.h"

#include <cstddef>

#include "sprites/sprite_strip.h"

namespace korvane {

namespace {

PixelRect CursorFrameAt(std::size_t n, int32_t cellScale) {
    const PixelRect& frame = kCursorFrames[n % kCursorFrames.size()];
    return {frame.left * cellScale, frame.top * cellScale, frame.right * cellScale,
            frame.bottom * cellScale};
}

}  // namespace

void AddCursorFrames(SpriteStrip& cursorStrip, int32_t cellScale) {
    for (std::size_t n = 0; n < kCursorFrames.size(); ++n) {
        const PixelRect frame = CursorFrameAt(n, cellScale);
        cursorStrip.AddFrame(frame.left, frame.top, frame.right, frame.bottom);
    }
    SpriteFrame* frame = cursorStrip.frames.get();
    for (std::size_t n = 0;
         frame != nullptr && n < static_cast<std::size_t>(cursorStrip.frameCount);
         ++n, frame = frame->next.get()) {
        const PixelRect scaled = CursorFrameAt(n, cellScale);
        frame->left = scaled.left;
        frame->top = scaled.top;
        frame->right = scaled.right;
        frame->bottom = scaled.bottom;
    }
}

void WireStrips(SpriteStrip& glyphStrip, SpriteStrip& cursorStrip, Surface* spriteSurface,
                Surface* backBuffer, Surface* workSurface, int32_t cellScale) {
    glyphStrip.sourceSurface = spriteSurface;
    glyphStrip.targetSurface = backBuffer;
    glyphStrip.workSurface = workSurface;
    glyphStrip.SetBltFlags(kBltNoColorKey);
    cursorStrip.sourceSurface = spriteSurface;
    cursorStrip.targetSurface = backBuffer;
    cursorStrip.workSurface = workSurface;
    AddCursorFrames(cursorStrip, cellScale);
}

}  // namespace korvane
