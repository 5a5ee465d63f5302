#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "grid/rain_column.h"
#include "grid/redraw_region.h"
#include "grid/show_random.h"

namespace korvane {

class SpriteStrip;
class SoundPlayer;
struct ShowSettings;
struct TitleState;
struct PhoneTraceState;
struct MessageState;

// The character grid every sequence writes into: cols x rows cell codes (glyph * 4 + level),
// the text cursor the writers leave behind, the code mode flag, the typing progress of the
// text sequences, one falling-code stream per column and the message split into lines.
class CodeGrid {
  public:
    // Draws from `random`: 23 numbers per column for the default streams, then 3 + rows per
    // column when each stream is remade with the grid's height.
    CodeGrid(int32_t cols, int32_t rows, const char* message, ShowRandom& random);
    virtual ~CodeGrid();

    CodeGrid(const CodeGrid&) = delete;
    CodeGrid& operator=(const CodeGrid&) = delete;

    bool SetCodeMode(bool on);
    int32_t GlyphCode(char character) const;
    void Fill();
    void ShiftRowsUp(int32_t start);
    void WriteRow(int32_t column, int32_t row, const char* text, int32_t level);
    void WriteColumn(int32_t column, int32_t row, const char* text, int32_t level);
    void WritePartial(int32_t column, int32_t row, const char* text, int32_t count, int32_t level);
    bool InGrid(int32_t column, int32_t row) const;
    void SetLevel(int32_t column, int32_t row, int32_t level);
    void AdvanceGlyph(int32_t column, int32_t row, int32_t amount);
    void ResetStepCounter() { stepCounter = 0; }

    // One frame of the falling code. Limited runs count their frames in `rainFrameCount` and
    // finish on the 2501st consecutive call; unlimited calls never finish and reset the count.
    bool StepCodeRain(bool limited, int32_t& rainFrameCount, ShowRandom& random);

    // The three text sequences (defined in show/). Each writes one frame and answers true on
    // the frame in which its sequence ends, having reset its own state for the next run.
    bool StepTitle(bool band, TitleState& state, const ShowSettings& settings, SoundPlayer& sound);
    bool StepPhoneTrace(PhoneTraceState& state, const ShowSettings& settings, SoundPlayer& sound,
                        ShowRandom& random);
    bool StepMessage(MessageState& state, const ShowSettings& settings, SoundPlayer& sound,
                     ShowRandom& random);

    // Copies every cell of the redraw region from the glyph sheet through `strip`.
    void Render(SpriteStrip& strip) const;

    int32_t CellAt(int32_t column, int32_t row) const {
        return cells[static_cast<size_t>(row) * static_cast<size_t>(cols) +
                     static_cast<size_t>(column)];
    }

    static constexpr int32_t kRainFramesPerRun = 2500;

    std::string blankRow;
    int32_t cursorRow = 0;
    int32_t cursorColumn = 0;
    std::vector<const char*> messageLines;
    int32_t messageLineCount = -1;
    RedrawRegion redrawRegion;
    int32_t stepCounter = 0;
    bool codeMode = false;
    std::vector<int32_t> cells;
    std::vector<RainColumn> streams;
    int32_t rows = 0;
    int32_t cols = 0;

  private:
    void PrepareMessageLines(const char* message);
    int32_t& Cell(int32_t column, int32_t row) {
        return cells[static_cast<size_t>(row) * static_cast<size_t>(cols) +
                     static_cast<size_t>(column)];
    }

    std::string messageCopy_;
};

}  // namespace korvane
