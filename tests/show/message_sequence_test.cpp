#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "grid/glyph_charset.h"
#include "show_test_support.h"

namespace korvane {
namespace {

using testing::ShowRig;

struct MessageRun {
    int32_t frames = 0;
    int32_t clicks = 0;
    std::vector<int32_t> counterAtStart;  // typing progress at the start of each frame
};

MessageRun RunMessage(ShowRig& rig) {
    MessageRun run;
    CodeGrid& grid = *rig.show.grid;
    for (int32_t i = 0; i < 200000; ++i) {
        run.counterAtStart.push_back(rig.show.typedCount);
        rig.log.Clear();
        const bool done = StepMessage(grid, rig.show.typedCount, rig.show.message,
                                      rig.show.settings, rig.sound, rig.show.random);
        ++run.frames;
        for (const ShowEvent& event : rig.log.events) {
            EXPECT_EQ(event.kind, ShowEvent::Kind::kPlay);
            EXPECT_EQ(event.soundId, kKeyClickSound);
            EXPECT_FALSE(event.loop);
            ++run.clicks;
        }
        if (done) {
            break;
        }
    }
    return run;
}

TEST(MessageSequence, LinesDropEmptyPiecesAndCarriageReturns) {
    MessageState state;
    const auto lines = [&state] {
        return std::vector<std::string>(state.lines.begin(), state.lines.end());
    };
    SplitMessageLines(state, "A\n\nB");
    EXPECT_EQ(lines(), (std::vector<std::string>{"A", "B"}));
    SplitMessageLines(state, "A\r\n\r\nB\r\n");
    EXPECT_EQ(lines(), (std::vector<std::string>{"A", "B"}));
    SplitMessageLines(state, "");
    EXPECT_TRUE(state.lines.empty());
    SplitMessageLines(state, "\r\n");
    EXPECT_TRUE(state.lines.empty());
    SplitMessageLines(state, "one whole line");
    EXPECT_EQ(lines(), (std::vector<std::string>{"one whole line"}));
    std::string message = "x\ry";
    SplitMessageLines(state, message.c_str());
    message[0] = 'Q';
    EXPECT_EQ(lines(), (std::vector<std::string>{"xy"})) << "the show keeps its own copy";
}

TEST(MessageSequence, EveryFinishedLineStaysAtLeast32FramesAndEveryAdvanceClicks) {
    ShowRig rig;
    CreateShowGrid(rig.show, 80, 20);
    const CodeGrid& grid = *rig.show.grid;
    ASSERT_EQ(rig.show.message.lines.size(), 4u);
    int32_t total = 0;
    std::vector<int32_t> lineEnds;
    for (const char* line : rig.show.message.lines) {
        total += static_cast<int32_t>(std::strlen(line));
        lineEnds.push_back(total);
    }
    const MessageRun run = RunMessage(rig);
    EXPECT_EQ(run.clicks, total + 1);  // the advance that ends the message clicks too
    for (const int32_t end : lineEnds) {
        const auto shown = std::count(run.counterAtStart.begin(), run.counterAtStart.end(), end);
        EXPECT_GE(shown, 32) << "line ending at " << end;
    }
    EXPECT_EQ(grid.CellAt(0, 0), kBlankCellCode);
    EXPECT_EQ(grid.cursorColumn, 1);
    EXPECT_EQ(grid.cursorRow, 0);
    EXPECT_EQ(rig.show.typedCount, 0);
    EXPECT_EQ(rig.show.message.messageHold, -1);
    // A second run starts typing at once.
    rig.show.settings.soundEnabled = false;
    EXPECT_EQ(RunMessage(rig).clicks, 0);
}

TEST(MessageSequence, FirstFrameBlanksTheTopRowAndParksTheCursorPastTheEdge) {
    ShowRig rig;
    CreateShowGrid(rig.show, 30, 10);
    CodeGrid& grid = *rig.show.grid;
    grid.SetCodeMode(true);
    StepMessage(grid, rig.show.typedCount, rig.show.message, rig.show.settings, rig.sound,
                rig.show.random);
    EXPECT_FALSE(grid.codeMode);
    EXPECT_EQ(grid.cursorColumn, 30);
    EXPECT_EQ(grid.cursorRow, 0);
    EXPECT_EQ(grid.redrawRegion.right, 30);
    EXPECT_EQ(grid.redrawRegion.bottom, 7);
}

TEST(MessageSequence, MessagesWithoutLinesEndOnTheFirstAdvance) {
    for (const char* message : {"", "\r\n\r\n"}) {
        ShowRig rig;
        rig.SetMessage(message);
        CreateShowGrid(rig.show, 30, 10);
        const MessageRun run = RunMessage(rig);
        EXPECT_EQ(run.clicks, 1);
        // Every frame before the last had its one draw come out 85 or below.
        ShowRig replay;
        int32_t expectedFrames = 1;
        CreateShowGrid(replay.show, 30, 10);  // same draws for the grid's streams
        while (replay.show.random.Next() % 100 <= 85) {
            ++expectedFrames;
        }
        EXPECT_EQ(run.frames, expectedFrames);
    }
}

TEST(MessageSequence, OneCharacterLinesAndOverlongLinesAreHeldLikeAnyOther) {
    ShowRig rig;
    rig.SetMessage("A\r\nThis line is far wider than the grid\r\n");
    CreateShowGrid(rig.show, 10, 8);
    const MessageRun run = RunMessage(rig);
    EXPECT_GE(std::count(run.counterAtStart.begin(), run.counterAtStart.end(), 1), 32);
    const auto longEnd = static_cast<int32_t>(1 + std::strlen(rig.show.message.lines[1]));
    EXPECT_GE(std::count(run.counterAtStart.begin(), run.counterAtStart.end(), longEnd), 32);
    EXPECT_EQ(run.clicks, longEnd + 1);
}

}  // namespace
}  // namespace korvane
