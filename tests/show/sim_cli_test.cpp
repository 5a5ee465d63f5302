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

TEST(SimOptions, ParsesEveryOptionAndKeepsMessageBytes) {
    SimScratch scratch;
    const fs::path message = scratch.dir / "m.txt";
    std::ofstream(message, std::ios::binary) << "a\r\nb";
    SimOptions options;
    std::string error;
    ASSERT_TRUE(ParseSimOptions(
        {"--frames", "7", "--height", "48", "--width", "32", "--no-code", "--phone-number", "12",
         "--message-file", message.string(), "--trace", "-"},
        options, error))
        << error;
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
