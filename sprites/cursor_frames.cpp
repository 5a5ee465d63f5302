#include "sprites/cursor_frames.h"

#include "sprites/sprite_strip.h"

namespace korvane {

void AddCursorFrames(SpriteStrip& cursorStrip) {
    for (const PixelRect& frame : kCursorFrames) {
        cursorStrip.AddFrame(frame.left, frame.top, frame.right, frame.bottom);
    }
}

void WireStrips(SpriteStrip& glyphStrip, SpriteStrip& cursorStrip, Surface* spriteSurface,
                Surface* backBuffer, Surface* workSurface) {
    glyphStrip.sourceSurface = spriteSurface;
    glyphStrip.targetSurface = backBuffer;
    glyphStrip.workSurface = workSurface;
    glyphStrip.SetBltFlags(kBltNoColorKey);
    cursorStrip.sourceSurface = spriteSurface;
    cursorStrip.targetSurface = backBuffer;
    cursorStrip.workSurface = workSurface;
    AddCursorFrames(cursorStrip);
}

}  // namespace korvane
