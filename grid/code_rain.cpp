#include "grid/code_grid.h"
#include "grid/glyph_charset.h"

namespace korvane {

bool CodeGrid::StepCodeRain(bool limited, int32_t& rainFrameCount, ShowRandom& random) {
    SetCodeMode(true);
    redrawRegion = {0, 0, cols, rows};

    for (int32_t c = 0; c < cols; ++c) {
        RainColumn& stream = streams[static_cast<size_t>(c)];
        const char* view = stream.NextView(random);
        WriteColumn(c, 0, view, 0);

        // The head folds back from the bottom once the offset passes the last row.
        int32_t head = stream.offset;
        if (head > rows) {
            head = 2 * rows - head;
        }
        switch (stream.state) {
            case 0:
                SetLevel(c, head - 1, 3);
                break;
            case 1:
            case 2: {
                SetLevel(c, head, stream.state == 1 ? 3 : 2);
                const int32_t amount = random.Next() % kCodeSymbolCount;
                AdvanceGlyph(c, head, amount);
                break;
            }
            default:
                break;
        }
    }

    if (!limited) {
        rainFrameCount = 0;
        return false;
    }
    ++rainFrameCount;
    if (rainFrameCount > kRainFramesPerRun) {
        rainFrameCount = 0;
        WriteRow(0, 0, "", 0);
        return true;
    }
    return false;
}

}  // namespace korvane
