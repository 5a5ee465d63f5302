#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "tools/sim/sim_options.h"

#include "tests/support/sim_runner.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;

TEST(SimCli, BadArgumentsExitWith2AndWriteNoTrace) {
    SimScratch scratch;
    const fs::path trace = scratch.dir / "trace.jsonl";
    const fs::path errors = scratch.dir / "errors.txt";
    const fs::path bigMessage = scratch.dir / "big.txt";
    std::ofstream(bigMessage) << std::string(1024, 'x');
    const std::string t = " --trace " + trace.string();
    const std::vector<std::string> bad = {
        "--width 640 --height 480 --frames 5 --colour green" + t,
        "--width 640 --height 480 --frames" + t,
        "--width 640 --height 480 --frames 5" + t + " --phone-number",
        "--width 640 --height 480" + t,
        "--width abc --height 480 --frames 5" + t,
        "--width 640 --height -3 --frames 5" + t,
        "--width 15 --height 480 --frames 5" + t,
        "--width 640 --height 23 --frames 5" + t,
        "--width 640 --height 480 --frames 5 --message-file " + (scratch.dir / "none").string() + t,
        "--width 640 --height 480 --frames 5 --message-file " + bigMessage.string() + t,
        "--width 640 --height 480 --frames 5 --scale 0" + t,
        "--width 640 --height 480 --frames 5 --scale 5" + t,
        "--width 640 --height 480 --frames 5 --scale two" + t,
        "--width 640 --height 480 --frames 5" + t + " --scale",
        "--width 31 --height 480 --frames 5 --scale 2" + t,
        "--width 640 --height 47 --frames 5 --scale 2" + t,
    };
    for (const std::string& arguments : bad) {
        EXPECT_EQ(RunSim(arguments, errors), 2) << arguments;
        const std::string message = ReadAll(errors);
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        EXPECT_FALSE(fs::exists(trace)) << arguments;
    }
}

TEST(SimCli, TraceIsDeterministicWithKeysInOrder) {
    SimScratch scratch;
    const fs::path errors = scratch.dir / "errors.txt";
    const fs::path message = scratch.dir / "message.txt";
    std::ofstream(message, std::ios::binary) << "Hi\r\nthere\r\n";
    const std::string common =
        "--width 640 --height 480 --frames 800 --phone-number 5551234 "
        "--message-file " +
        message.string() + " --trace ";
    ASSERT_EQ(RunSim(common + (scratch.dir / "a.jsonl").string(), errors), 0) << ReadAll(errors);
    ASSERT_EQ(RunSim(common + (scratch.dir / "b.jsonl").string(), errors), 0);
    const std::string a = ReadAll(scratch.dir / "a.jsonl");
    EXPECT_EQ(a, ReadAll(scratch.dir / "b.jsonl"));

    const std::regex line(
        R"re(\{"frame": (\d+), "state": (-?\d+), "cursor": \[-?\d+, -?\d+\], )re"
        R"re("region": \[-?\d+, -?\d+, -?\d+, -?\d+\], "cells": "[0-9a-f]{16}", )re"
        R"re("events": \[("(stop|wipe|purge|play \d+( loop)?)"(, )?)*\]\})re");
    std::istringstream lines(a);
    std::string text;
    int32_t expectedFrame = 0;
    while (std::getline(lines, text)) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(text, match, line)) << text;
        EXPECT_EQ(std::stoi(match[1]), expectedFrame++);
    }
    EXPECT_EQ(expectedFrame, 800);
    // The first frame starts the title music; the title's end wipes.
    EXPECT_NE(a.find(R"("frame": 0, "state": 0, "cursor": [39, 10], "region": [0, 8, 40, 13])"),
              std::string::npos);
    EXPECT_NE(a.find(R"("events": ["stop", "play 138"])"), std::string::npos);
    EXPECT_NE(a.find(R"("frame": 644, "state": 1, )"), std::string::npos);
    EXPECT_NE(a.find(R"("events": ["wipe"])"), std::string::npos);
}

// The show's logic knows nothing of the factor: at s, a screen s times as large runs the very
// show of the smaller screen's grid, frame for frame, sounds and wipes included.
TEST(SimCli, AScaledScreenRunsTheShowOfItsGridCellForCell) {
    SimScratch scratch;
    const fs::path errors = scratch.dir / "errors.txt";
    const std::string frames = " --frames 2100 --trace ";
    ASSERT_EQ(
        RunSim("--width 640 --height 480" + frames + (scratch.dir / "1.jsonl").string(), errors),
        0);
    const std::string design = ReadAll(scratch.dir / "1.jsonl");
    ASSERT_NE(design.find(R"("state": 3, )"), std::string::npos) << "the rain was not reached";
    for (int scale = 2; scale <= 4; ++scale) {
        const fs::path trace = scratch.dir / (std::to_string(scale) + ".jsonl");
        // A few pixels short of one more cell: the margin changes nothing.
        const std::string size = "--width " + std::to_string(640 * scale + 16 * scale - 1) +
                                 " --height " + std::to_string(480 * scale + 24 * scale - 1);
        ASSERT_EQ(
            RunSim(size + " --scale " + std::to_string(scale) + frames + trace.string(), errors), 0)
            << ReadAll(errors);
        EXPECT_EQ(ReadAll(trace), design) << "scale " << scale;
    }
}

TEST(SimCli, SwitchesReachTheShow) {
    SimScratch scratch;
    const fs::path errors = scratch.dir / "errors.txt";
    const fs::path trace = scratch.dir / "t.jsonl";
    ASSERT_EQ(RunSim("--width 640 --height 480 --frames 30 --no-title --no-phone --no-message "
                     "--no-sound --trace " +
                         trace.string(),
                     errors),
              0);
    const std::string text = ReadAll(trace);
    EXPECT_EQ(text.find("play"), std::string::npos);
    EXPECT_NE(text.find(R"("frame": 1, "state": 3, )"), std::string::npos);
}

struct Answer {
    int status = -1;
    std::string out;
    std::string err;
};

Answer Ask(const std::string& program, const std::string& arguments, const SimScratch& scratch) {
    const fs::path out = scratch.dir / "out.txt";
    const fs::path err = scratch.dir / "err.txt";
    const int status = std::system(
        (program + " " + arguments + " >" + out.string() + " 2>" + err.string()).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err)};
}

// Both tools answer --help and --version on standard output with status 0, and say when
// standard output could not take the answer.
TEST(ToolCli, HelpAndVersionAnswerOnStandardOutput) {
    SimScratch scratch;
    for (const std::string program : {KORVANE_SIM_PATH, KORVANE_SCREEN_CHECK_PATH}) {
        const std::string name = fs::path(program).filename().string();
        const Answer help = Ask(program, "--help", scratch);
        EXPECT_EQ(help.status, 0) << name;
        EXPECT_EQ(help.out.rfind("usage: " + name + " ", 0), 0u) << help.out;
        EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
        EXPECT_EQ(help.err, "") << name;

        const Answer version = Ask(program, "--version", scratch);
        EXPECT_EQ(version.status, 0) << name;
        EXPECT_EQ(version.out, name + " " + KORVANE_PROJECT_VERSION + "\n");
        EXPECT_EQ(version.err, "") << name;

        const int full = std::system((program + " --help >/dev/full 2>/dev/null").c_str());
        EXPECT_TRUE(WIFEXITED(full) && WEXITSTATUS(full) == 1) << name;
    }
}

TEST(SimCli, HelpStopsTheReadingWhereItStandsButAValueIsAValue) {
    SimScratch scratch;
    const std::string sim = KORVANE_SIM_PATH;
    // Nothing after --help is looked at, and the required options may be missing.
    const Answer early = Ask(sim, "--width 640 --help --colour green", scratch);
    EXPECT_EQ(early.status, 0);
    EXPECT_NE(early.out.find("--width W"), std::string::npos);
    // An option that takes a value takes "--help" as it.
    const Answer number = Ask(sim,
                              "--width 640 --height 480 --frames 1 --phone-number --help "
                              "--trace -",
                              scratch);
    EXPECT_EQ(number.status, 0) << number.err;
    EXPECT_EQ(number.out.find("usage"), std::string::npos);
    EXPECT_NE(number.out.find(R"("frame": 0)"), std::string::npos);
    // A problem before it is still a problem.
    EXPECT_EQ(Ask(sim, "--colour green --help", scratch).status, 2);
}

// Every option the simulator's --help names is one it takes.
TEST(SimCli, EveryOptionTheHelpNamesIsKnown) {
    SimScratch scratch;
    const std::string sim = KORVANE_SIM_PATH;
    const std::string usage = Ask(sim, "--help", scratch).out;
    const std::regex option(R"((^|\s)(--[a-z-]+))");
    int named = 0;
    for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option);
         it != std::sregex_iterator(); ++it) {
        const std::string name = (*it)[2];
        const Answer answer = Ask(sim, name, scratch);
        EXPECT_EQ(answer.err.find("unknown option"), std::string::npos) << name;
        ++named;
    }
    EXPECT_GE(named, 15);
}

TEST(SimOptions, ParsesEveryOptionAndKeepsMessageBytes) {
    SimScratch scratch;
    const fs::path message = scratch.dir / "m.txt";
    std::ofstream(message, std::ios::binary) << "a\r\nb";
    SimOptions options;
    std::string error;
    ASSERT_TRUE(ParseSimOptions(
        {"--frames", "7", "--height", "48", "--width", "32", "--no-code", "--phone-number", "12",
         "--message-file", message.string(), "--trace", "-", "--scale", "2"},
        options, error))
        << error;
    EXPECT_EQ(options.cellScale, 2);
    EXPECT_EQ(options.width, 32);
    EXPECT_EQ(options.height, 48);
    EXPECT_EQ(options.frames, 7);
    EXPECT_FALSE(options.codeEnabled);
    EXPECT_TRUE(options.titleEnabled);
    EXPECT_EQ(options.phoneNumber, "12");
    EXPECT_EQ(options.message, "a\r\nb");
    EXPECT_EQ(options.tracePath, "-");

    SimOptions overflow;
    EXPECT_FALSE(ParseSimOptions({"--width", "99999999999", "--height", "48", "--frames", "1"},
                                 overflow, error));
    EXPECT_NE(error.find("--width"), std::string::npos);
}

}  // namespace
}  // namespace korvane
