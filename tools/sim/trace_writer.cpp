#include "tools/sim/trace_writer.h"

#include <cinttypes>

namespace korvane {

namespace {

constexpr uint64_t kFnvOffset = 0xcbf29ce484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001b3ull;

void WriteEvent(std::FILE* out, const ShowEvent& event) {
    switch (event.kind) {
        case ShowEvent::Kind::kStop:
            std::fputs("\"stop\"", out);
            break;
        case ShowEvent::Kind::kPlay:
            std::fprintf(out, event.loop ? "\"play %" PRId32 " loop\"" : "\"play %" PRId32 "\"",
                         event.soundId);
            break;
        case ShowEvent::Kind::kPurge:
            std::fputs("\"purge\"", out);
            break;
        case ShowEvent::Kind::kWipe:
            std::fputs("\"wipe\"", out);
            break;
    }
}

}  // namespace

uint64_t HashCells(const CodeGrid& grid) {
    uint64_t hash = kFnvOffset;
    for (const int32_t code : grid.cells) {
        const auto bits = static_cast<uint32_t>(code);
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (bits >> shift) & 0xffu;
            hash *= kFnvPrime;
        }
    }
    return hash;
}

void WriteTraceLine(std::FILE* out, int32_t frame, int32_t state, const CodeGrid& grid,
                    const ShowEventLog& log) {
    const RedrawRegion& region = grid.redrawRegion;
    std::fprintf(out,
                 "{\"frame\": %" PRId32 ", \"state\": %" PRId32 ", \"cursor\": [%" PRId32
                 ", %" PRId32 "], \"region\": [%" PRId32 ", %" PRId32 ", %" PRId32 ", %" PRId32
                 "], \"cells\": \"%016" PRIx64 "\", \"events\": [",
                 frame, state, grid.cursorColumn, grid.cursorRow, region.left, region.top,
                 region.right, region.bottom, HashCells(grid));
    bool first = true;
    for (const ShowEvent& event : log.events) {
        if (!first) {
            std::fputs(", ", out);
        }
        first = false;
        WriteEvent(out, event);
    }
    std::fputs("]}\n", out);
}

}  // namespace korvane
