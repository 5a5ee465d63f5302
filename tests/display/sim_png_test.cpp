// The simulator's picture: its options, and that the PNG holds exactly the back buffer that
// the show's own frame tick leaves on memory pages.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "display/indexed_bitmap.h"
#include "display/memory_display.h"
#include "show/frame_tick.h"
#include "show/recording_sound_player.h"
#include "show/show.h"

#include "tests/support/sim_runner.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;

struct RgbPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
};

bool ReadPng(const fs::path& path, RgbPicture& picture) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int32_t>(image.width);
    picture.height = static_cast<int32_t>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    const bool ok = png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

// The oracle: the show on 32-bit memory pages, run through frame `last`, as the saver
// would have drawn it.
std::vector<uint32_t> BackBufferAfterFrame(int32_t width, int32_t height, int32_t last,
                                           bool onlyCode) {
    IndexedBitmap sheet;
    EXPECT_TRUE(ReadBitmapFile(KORVANE_TEST_ASSET_DIR "/glyphs.bmp", sheet));
    ShowEventLog log;
    RecordingSoundPlayer sound(log);
    MemoryDisplay display(width, height, 32);
    Show show(sound);
    if (onlyCode) {
        show.settings.titleEnabled = false;
        show.settings.phoneEnabled = false;
        show.settings.messageEnabled = false;
    }
    show.display = &display;
    CreateShowGrid(show, width / 16, height / 24);
    SetUpMemoryDisplay(display, &sheet, show.glyphStrip, show.cursorStrip);
    for (int32_t t = 0; t <= last; ++t) {
        FrameTick(show, t);
    }
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            pixels.push_back(display.backBuffer.PixelAt(x, y));
        }
    }
    return pixels;
}

TEST(SimPng, BadPictureOptionsExitWith2AndWriteNothing) {
    SimScratch scratch;
    const fs::path picture = scratch.dir / "frame.png";
    const fs::path trace = scratch.dir / "trace.jsonl";
    const fs::path errors = scratch.dir / "errors.txt";
    const std::string base = "--width 640 --height 480 --frames 5 --trace " + trace.string();
    const std::string p = " --png " + picture.string();
    const std::vector<std::pair<std::string, std::string>> bad = {
        {base + p, "--png-frame"},
        {base + " --png-frame 2", "--png-frame"},
        {base + p + " --png-frame", "--png-frame"},
        {base + p + " --png-frame two", "two"},
        {base + p + " --png-frame -1", "-1"},
        {base + p + " --png-frame 5", "--png-frame 5"},
        {base + " --png-frame 1 --png " + (scratch.dir / "no/such/dir.png").string(),
         "no/such/dir.png"},
        {"--width 16000 --height 16000 --frames 1 --png-frame 0" + p, "too large"},
    };
    for (const auto& [arguments, named] : bad) {
        EXPECT_EQ(RunSim(arguments, errors), 2) << arguments;
        const std::string message = ReadAll(errors);
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        EXPECT_NE(message.find(named), std::string::npos) << message;
        EXPECT_FALSE(fs::exists(picture)) << arguments;
        EXPECT_FALSE(fs::exists(trace)) << arguments;
    }
}

TEST(SimPng, UnwritableTraceLeavesNoPictureBehind) {
    SimScratch scratch;
    const fs::path picture = scratch.dir / "frame.png";
    const fs::path errors = scratch.dir / "errors.txt";
    EXPECT_EQ(RunSim("--width 640 --height 480 --frames 5 --png-frame 1 --png " + picture.string() +
                         " --trace " + (scratch.dir / "no/t.jsonl").string(),
                     errors),
              2);
    EXPECT_FALSE(fs::exists(picture));
}

struct PictureCase {
    const char* name;
    int32_t width;
    int32_t height;
    int32_t frame;
    bool onlyCode;
};

class SimPngPicture : public ::testing::TestWithParam<PictureCase> {};

TEST_P(SimPngPicture, PixelsAreTheBackBufferOfThatFrame) {
    const PictureCase& c = GetParam();
    SimScratch scratch;
    const fs::path picture = scratch.dir / "frame.png";
    const fs::path errors = scratch.dir / "errors.txt";
    const std::string arguments =
        "--width " + std::to_string(c.width) + " --height " + std::to_string(c.height) +
        " --frames " + std::to_string(c.frame + 3) + " --png-frame " + std::to_string(c.frame) +
        " --png " + picture.string() + (c.onlyCode ? " --no-title --no-phone --no-message" : "");
    ASSERT_EQ(RunSim(arguments, errors), 0) << ReadAll(errors);

    RgbPicture decoded;
    ASSERT_TRUE(ReadPng(picture, decoded)) << "not a readable PNG";
    ASSERT_EQ(decoded.width, c.width);
    ASSERT_EQ(decoded.height, c.height);

    const std::vector<uint32_t> expected =
        BackBufferAfterFrame(c.width, c.height, c.frame, c.onlyCode);
    size_t lit = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        const uint8_t* rgb = decoded.rgb.data() + 3 * i;
        const uint32_t value =
            static_cast<uint32_t>(rgb[0]) << 16 | static_cast<uint32_t>(rgb[1]) << 8 | rgb[2];
        ASSERT_EQ(value, expected[i]) << "pixel " << i % static_cast<size_t>(c.width) << ","
                                      << i / static_cast<size_t>(c.width);
        lit += value != 0 ? 1 : 0;
    }
    EXPECT_GT(lit, 100u) << "the frame chosen shows almost nothing, so proves little";
}

INSTANTIATE_TEST_SUITE_P(
    Frames, SimPngPicture,
    ::testing::Values(PictureCase{"TitleTyping", 640, 480, 60, false},
                      // A size that is no whole number of cells leaves a black margin.
                      PictureCase{"CodeRain", 650, 490, 80, true}),
    [](const ::testing::TestParamInfo<PictureCase>& info) { return info.param.name; });

uint32_t PixelOf(const RgbPicture& picture, int32_t x, int32_t y) {
    const uint8_t* rgb =
        picture.rgb.data() +
        3 * (static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x));
    return static_cast<uint32_t>(rgb[0]) << 16 | static_cast<uint32_t>(rgb[1]) << 8 | rgb[2];
}

struct ScaleCase {
    const char* name;
    const char* switches;  // the sequence alone, so that it is on screen from the start
    int32_t frame;
    int32_t scale;
};

class SimPngScale : public ::testing::TestWithParam<ScaleCase> {};

// At a factor s the picture of a 1024 x 768 screen is the design-size picture of the grid it
// holds, every pixel a square of s x s, cursor included; what the cells leave is black.
TEST_P(SimPngScale, IsThePictureOfItsGridEnlarged) {
    const ScaleCase& c = GetParam();
    const int32_t s = c.scale;
    const int32_t cols = 1024 / (16 * s);
    const int32_t rows = 768 / (24 * s);
    SimScratch scratch;
    const fs::path errors = scratch.dir / "errors.txt";
    const auto picture = [&](int32_t width, int32_t height, int32_t scale, const fs::path& png) {
        const std::string arguments =
            "--width " + std::to_string(width) + " --height " + std::to_string(height) +
            " --scale " + std::to_string(scale) + " --frames " + std::to_string(c.frame + 1) +
            " --png-frame " + std::to_string(c.frame) + " --png " + png.string() + " " + c.switches;
        EXPECT_EQ(RunSim(arguments, errors), 0) << ReadAll(errors);
        RgbPicture decoded;
        EXPECT_TRUE(ReadPng(png, decoded)) << arguments;
        return decoded;
    };
    const RgbPicture large = picture(1024, 768, s, scratch.dir / "large.png");
    const RgbPicture small = picture(cols * 16, rows * 24, 1, scratch.dir / "small.png");
    ASSERT_EQ(large.width, 1024);
    ASSERT_EQ(large.height, 768);
    ASSERT_EQ(small.width, cols * 16);

    size_t lit = 0;
    for (int32_t y = 0; y < 768; ++y) {
        for (int32_t x = 0; x < 1024; ++x) {
            const bool covered = x < cols * 16 * s && y < rows * 24 * s;
            const uint32_t expected = covered ? PixelOf(small, x / s, y / s) : 0;
            ASSERT_EQ(PixelOf(large, x, y), expected) << "pixel " << x << "," << y;
            lit += expected != 0 ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 100u * static_cast<size_t>(s * s)) << "the frame shows almost nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SimPngScale,
    ::testing::Values(ScaleCase{"TitleAt2", "", 200, 2}, ScaleCase{"TitleAt3", "", 200, 3},
                      ScaleCase{"TraceAt2", "--no-title --no-message --no-code", 120, 2},
                      ScaleCase{"TraceAt3", "--no-title --no-message --no-code", 120, 3},
                      ScaleCase{"MessageAt2", "--no-title --no-phone --no-code", 120, 2},
                      ScaleCase{"MessageAt3", "--no-title --no-phone --no-code", 120, 3},
                      ScaleCase{"RainAt2", "--no-title --no-phone --no-message", 80, 2},
                      ScaleCase{"RainAt3", "--no-title --no-phone --no-message", 80, 3}),
    [](const ::testing::TestParamInfo<ScaleCase>& info) { return info.param.name; });

TEST(SimPng, PictureLeavesTheTraceAsItWas) {
    SimScratch scratch;
    const fs::path errors = scratch.dir / "errors.txt";
    const std::string common = "--width 640 --height 480 --frames 700 --trace ";
    ASSERT_EQ(RunSim(common + (scratch.dir / "plain.jsonl").string(), errors), 0);
    ASSERT_EQ(RunSim(common + (scratch.dir / "with.jsonl").string() + " --png-frame 650 --png " +
                         (scratch.dir / "f.png").string(),
                     errors),
              0)
        << ReadAll(errors);
    const std::string plain = ReadAll(scratch.dir / "plain.jsonl");
    EXPECT_FALSE(plain.empty());
    EXPECT_EQ(plain, ReadAll(scratch.dir / "with.jsonl"));
    EXPECT_NE(plain.find("\"wipe\""), std::string::npos);  // the wipe still reaches the log
}

}  // namespace
}  // namespace korvane
