// Runs the show as the simulator draws it: the real glyph sheet, decoded from the generated
// bitmap, in memory pages of a fuzzed size and depth, with fuzzed switches, number, message
// and frame count. Every copy goes through a checked surface, and after every frame every
// cell code must name a cell of the sheet.
//
// Input: switches and depth, columns, rows, spare pixels, frames, start state, two bytes of
// random draws, the rain's frame count, the number's length; then the number and the message.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>

#include "display/indexed_bitmap.h"
#include "display/memory_display.h"
#include "frontend/memory_show.h"
#include "grid/cell_geometry.h"
#include "show/frame_tick.h"
#include "show/show.h"
#include "show/sound_cues.h"
#include "sprites/sprite_strip.h"
#include "tests/fuzz/checked_surface.h"

namespace korvane {
namespace {

constexpr std::size_t kHeaderBytes = 10;
// Up to 1920 x 1080 pixels, from the empty grid of a screen smaller than one cell.
constexpr int32_t kMaxCols = 120;
constexpr int32_t kMaxRows = 45;
constexpr int32_t kMaxFrames = 2041;
// Copies are what a frame costs most. After this many the strips lose their target and the
// show runs on without pixels, its cell codes still checked, so one input takes milliseconds
// and still reaches the end of a sequence on a screen-sized grid.
constexpr int64_t kCopyBudget = 5000;
// Each frame also visits every cell, to render the region and to check the codes; a run ends
// after this many visits, so a screen-sized grid runs for tens of frames, a small one for all.
constexpr int64_t kCellVisitBudget = 300000;
constexpr int32_t kMaxRandomDraws = 4095;
constexpr int32_t kDepths[4] = {8, 16, 24, 32};
// The sheet holds three rows of 40 cells in each brightness band.
constexpr int32_t kSheetGlyphs = kCellsPerSheetRow * (kBandHeight / kCellHeight);
constexpr int32_t kCellCodeLimit = kSheetGlyphs * 4;

[[noreturn]] void Fail(const char* what, int32_t value) {
    std::fprintf(stderr, "%s: %d\n", what, value);
    std::abort();
}

const IndexedBitmap& GlyphSheet() {
    static const IndexedBitmap sheet = [] {
        IndexedBitmap decoded;
        if (!ReadBitmapFile(KORVANE_FUZZ_GLYPH_SHEET, decoded)) {
            std::fprintf(stderr, "cannot read the glyph sheet %s\n", KORVANE_FUZZ_GLYPH_SHEET);
            std::abort();
        }
        return decoded;
    }();
    return sheet;
}

// The sheet as the display set-up puts it in a sprite surface of the given depth. Made once
// per depth: converting the sheet costs more than most runs of the show.
MemorySurface& SheetSurface(int32_t depthIndex) {
    static std::array<std::unique_ptr<MemoryDisplay>, std::size(kDepths)> displays;
    std::unique_ptr<MemoryDisplay>& display = displays[static_cast<std::size_t>(depthIndex)];
    if (!display) {
        display = std::make_unique<MemoryDisplay>(0, 0, kDepths[depthIndex]);
        SpriteStrip glyphStrip;
        SpriteStrip cursorStrip;
        SetUpMemoryDisplay(*display, &GlyphSheet(), glyphStrip, cursorStrip);
    }
    return display->spriteSurface;
}

// Pages of the given size, in the memory of earlier runs: fresh pages of a screen's size cost
// more in page faults than the whole show. The fuzz build has the vectors' unused capacity
// poisoned, so a read past a page's size is still caught.
MemoryDisplay& PagesFor(int32_t depthIndex, int32_t width, int32_t height) {
    static std::array<std::unique_ptr<MemoryDisplay>, std::size(kDepths)> displays;
    std::unique_ptr<MemoryDisplay>& display = displays[static_cast<std::size_t>(depthIndex)];
    if (!display) {
        display = std::make_unique<MemoryDisplay>(0, 0, kDepths[depthIndex]);
    }
    for (MemorySurface* page :
         {&display->primarySurface, &display->backBuffer, &display->workSurface}) {
        page->width = width;
        page->height = height;
        page->pitch = width * page->bytesPerPixel;
        page->bytes.assign(static_cast<std::size_t>(page->pitch) * static_cast<std::size_t>(height),
                           0);
    }
    return *display;
}

// Only the program's own four sounds exist, and a show without sound asks for none.
class CheckedSoundPlayer : public SoundPlayer {
  public:
    void Stop() override {}
    void Purge() override {}
    void Play(int32_t id, bool /*loop*/) override {
        if (!settings->soundEnabled) {
            Fail("a sound was asked for with sound switched off", id);
        }
        if (id != kTraceTypingSound && id != kTraceSearchSound && id != kKeyClickSound &&
            id != kTitleMusic) {
            Fail("a sound that does not exist was asked for", id);
        }
    }

    const ShowSettings* settings = nullptr;
};

void CheckCells(const CodeGrid& grid) {
    for (const int32_t code : grid.cells) {
        if (code < 0 || code >= kCellCodeLimit) {
            Fail("cell code outside the glyph sheet", code);
        }
    }
}

}  // namespace
}  // namespace korvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvane;
    if (size < kHeaderBytes) {
        return 0;
    }
    const uint8_t switches = data[0];
    const int32_t depthIndex = (switches >> 5) & 3;
    const int32_t cols = data[1] % (kMaxCols + 1);  // empty and one-cell grids included
    const int32_t rows = data[2] % (kMaxRows + 1);
    // A screen is rarely a whole number of cells: the spare pixels stay unused.
    const int32_t width = cols * kCellWidth + (data[3] & 15);
    const int32_t height = rows * kCellHeight + (data[3] >> 4) * (kCellHeight - 1) / 15;
    // Mostly short runs, which are cheap, but the whole of a long sequence stays in reach.
    const int32_t frames = 1 + data[4] * data[4] * (kMaxFrames - 1) / (255 * 255);
    const int32_t startState = data[5] % 5;
    const int32_t randomDraws = (data[6] | data[7] << 8) & kMaxRandomDraws;
    const int32_t rainFrames = std::min(data[8] * 10, CodeGrid::kRainFramesPerRun);
    const std::size_t numberLength = std::min<std::size_t>(data[9] % 16, size - kHeaderBytes);
    const uint8_t* number = data + kHeaderBytes;
    const uint8_t* message = number + numberLength;
    const std::size_t messageLength = size - kHeaderBytes - numberLength;

    CheckedSoundPlayer sound;
    Show show(sound);
    sound.settings = &show.settings;
    show.settings.titleEnabled = (switches & 1) != 0;
    show.settings.phoneEnabled = (switches & 2) != 0;
    show.settings.messageEnabled = (switches & 4) != 0;
    show.settings.codeEnabled = (switches & 8) != 0;
    show.settings.soundEnabled = (switches & 16) != 0;
    // The record's arrays may be filled to the brim, terminator or not.
    show.settings.phoneNumber.fill('\0');
    std::memcpy(show.settings.phoneNumber.data(), number,
                std::min(numberLength, show.settings.phoneNumber.size()));
    show.settings.messageText.fill('\0');
    std::memcpy(show.settings.messageText.data(), message,
                std::min(messageLength, show.settings.messageText.size()));

    // The generator runs on through a whole session; any point of its cycle can meet a grid.
    for (int32_t i = 0; i < randomDraws; ++i) {
        show.random.Next();
    }
    CreateShowGridForScreen(show, width, height, 1);
    show.sequencerState = static_cast<SequencerState>(startState);
    show.rainFrameCount = rainFrames;

    // As the front ends set up their pages (MakeShowPages), at any of the saver's depths and
    // without converting the sheet again: the set-up clears the pages and wires both strips,
    // and the sheet comes from the cache.
    MemoryDisplay& pages = PagesFor(depthIndex, width, height);
    SetUpMemoryDisplay(pages, nullptr, show.glyphStrip, show.cursorStrip);
    show.display = &pages;
    CheckedSurface sheet("glyph sheet", SheetSurface(depthIndex));
    CheckedSurface glyphTarget("back buffer", pages.backBuffer);
    CheckedSurface cursorTarget("back buffer under the cursor", pages.backBuffer);
    cursorTarget.TolerateCellPastGrid(show.grid->cols, show.grid->rows, kCellWidth, kCellHeight);
    show.glyphStrip.sourceSurface = &sheet;
    show.glyphStrip.targetSurface = &glyphTarget;
    show.cursorStrip.sourceSurface = &sheet;
    show.cursorStrip.targetSurface = &cursorTarget;

    const auto copies = [&] {
        return glyphTarget.copiesMade + glyphTarget.copiesRefused + cursorTarget.copiesMade +
               cursorTarget.copiesRefused;
    };
    const int64_t cellsPerFrame = int64_t{show.grid->cols} * show.grid->rows + 1;
    for (int32_t t = 0; t < frames && t * cellsPerFrame < kCellVisitBudget; ++t) {
        if (copies() >= kCopyBudget) {
            show.glyphStrip.targetSurface = nullptr;
            show.cursorStrip.targetSurface = nullptr;
        }
        FrameTick(show, t);
        if (show.sequencerState < SequencerState::kTitle ||
            show.sequencerState > SequencerState::kCodeRainWithTitle) {
            Fail("sequencer state outside 0..4", static_cast<int32_t>(show.sequencerState));
        }
        CheckCells(*show.grid);
    }
    return 0;
}
