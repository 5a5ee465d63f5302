#include "x11/x11_options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace korvane {
namespace {

bool Parse(const std::vector<std::string>& arguments, X11Options& options, std::string& error,
           const char* managerWindow = nullptr) {
    return ParseX11Options(arguments, managerWindow, options, error);
}

TEST(X11Options, WindowIdsInDecimalAndHexadecimal) {
    unsigned long id = 0;
    EXPECT_TRUE(ParseWindowId("2097153", id));
    EXPECT_EQ(id, 2097153ul);
    EXPECT_TRUE(ParseWindowId("0x20000A", id));
    EXPECT_EQ(id, 0x20000Aul);
    for (const char* bad : {"", "0", "0x", "0x0", "12a", "-5", "0x200000000", "99999999999999"}) {
        EXPECT_FALSE(ParseWindowId(bad, id)) << bad;
    }
}

TEST(X11Options, WhereThePictureGoes) {
    X11Options own;
    std::string error;
    ASSERT_TRUE(Parse({}, own, error));
    EXPECT_EQ(own.target, WindowTarget::kOwnWindow);
    EXPECT_EQ(own.width, 1024);
    EXPECT_EQ(own.height, 768);

    X11Options sized;
    ASSERT_TRUE(Parse({"-geometry", "640x480+10+20"}, sized, error)) << error;
    EXPECT_EQ(sized.width, 640);
    EXPECT_EQ(sized.height, 480);

    X11Options root;
    ASSERT_TRUE(Parse({"-root"}, root, error));
    EXPECT_EQ(root.target, WindowTarget::kRoot);

    // Under a saver manager -root means the manager's window.
    X11Options managedRoot;
    ASSERT_TRUE(Parse({"-root"}, managedRoot, error, "4242"));
    EXPECT_EQ(managedRoot.target, WindowTarget::kExisting);
    EXPECT_EQ(managedRoot.windowId, 4242ul);

    X11Options manager;
    ASSERT_TRUE(Parse({}, manager, error, "0x123"));
    EXPECT_EQ(manager.target, WindowTarget::kExisting);
    EXPECT_EQ(manager.windowId, 0x123ul);

    X11Options given;
    ASSERT_TRUE(Parse({"-window-id", "77"}, given, error, "0x123"));
    EXPECT_EQ(given.windowId, 77ul);

    X11Options broken;
    EXPECT_FALSE(Parse({}, broken, error, "nonsense"));
    EXPECT_NE(error.find("XSCREENSAVER_WINDOW"), std::string::npos);
}

TEST(X11Options, TheShowsSwitchesAndTheTestOptions) {
    const auto path = std::filesystem::temp_directory_path() / "korvane-x11-options-message.txt";
    std::ofstream(path, std::ios::binary) << "WAKE UP\r\n";
    X11Options options;
    std::string error;
    ASSERT_TRUE(Parse({"--no-title", "--no-code", "--phone-number", "5551234", "--message-file",
                       path.string(), "--frames", "12", "--stats", "-display", ":7"},
                      options, error))
        << error;
    std::filesystem::remove(path);
    EXPECT_FALSE(options.titleEnabled);
    EXPECT_TRUE(options.phoneEnabled);
    EXPECT_FALSE(options.codeEnabled);
    EXPECT_EQ(options.phoneNumber, "5551234");
    EXPECT_EQ(options.message, "WAKE UP\r\n");
    EXPECT_EQ(options.frames, 12);
    EXPECT_TRUE(options.stats);
    EXPECT_EQ(options.displayName, ":7");
    EXPECT_EQ(options.cellScale, kAutomaticCellScale);  // --scale auto unless asked

    X11Options fixed;
    ASSERT_TRUE(Parse({"--scale", "3"}, fixed, error)) << error;
    EXPECT_EQ(fixed.cellScale, 3);
    ASSERT_TRUE(Parse({"--scale", "auto"}, fixed, error)) << error;
    EXPECT_EQ(fixed.cellScale, kAutomaticCellScale);

    ShowSettings settings;
    SetDefaultSettings(settings);
    ApplyShowSwitches(options, settings);
    EXPECT_FALSE(settings.titleEnabled);
    EXPECT_STREQ(settings.messageText.data(), "WAKE UP\r\n");
    EXPECT_STREQ(settings.phoneNumber.data(), "5551234");
}

// --help and --version end the reading where they stand: nothing after them, nor the
// manager's window, can make the answer an error. An option's value is only a value.
TEST(X11Options, HelpAndVersionEndTheReadingButAValueIsAValue) {
    std::string error;
    X11Options help;
    ASSERT_TRUE(Parse({"--no-title", "--help", "--no-such-option"}, help, error, "nonsense"))
        << error;
    EXPECT_EQ(help.info, InfoRequest::kHelp);
    X11Options version;
    ASSERT_TRUE(Parse({"--version", "-geometry", "0x0"}, version, error)) << error;
    EXPECT_EQ(version.info, InfoRequest::kVersion);

    X11Options number;
    ASSERT_TRUE(Parse({"--phone-number", "--help"}, number, error)) << error;
    EXPECT_EQ(number.info, InfoRequest::kNone);
    EXPECT_EQ(number.phoneNumber, "--help");

    X11Options earlier;
    EXPECT_FALSE(Parse({"--no-such-option", "--help"}, earlier, error));
}

TEST(X11Options, BadArgumentsSayWhatIsWrong) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--frames"}, "needs a value"},
        {{"-display"}, "needs a value"},
        {{"--no-code", "--phone-number"}, "needs a value"},
        {{"--frames", "0"}, "at least 1"},
        {{"--frames", "-3"}, "at least 1"},
        {{"-window-id", "window"}, "window id"},
        {{"-geometry", "0x480"}, "WIDTHxHEIGHT"},
        {{"-geometry", "640x480+1"}, "WIDTHxHEIGHT"},
        {{"-geometry", "99999x480"}, "WIDTHxHEIGHT"},
        {{"-root", "-window-id", "5"}, "cannot both"},
        {{"-root", "-geometry", "5x5"}, "window of our own"},
        {{"--no-sound-at-all"}, "unknown option"},
        {{"--scale"}, "needs a value"},
        {{"--scale", "0"}, "'auto' or a whole number from 1 to 4"},
        {{"--scale", "5"}, "'auto' or a whole number from 1 to 4"},
        {{"--scale", "Auto"}, "'auto' or a whole number from 1 to 4"},
        {{"--scale", "2x"}, "'auto' or a whole number from 1 to 4"},
        {{"--message-file", "/nonexistent/korvane"}, "cannot read message file"},
    };
    for (const auto& [arguments, expected] : cases) {
        X11Options options;
        std::string error;
        EXPECT_FALSE(Parse(arguments, options, error)) << arguments[0];
        EXPECT_NE(error.find(expected), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

}  // namespace
}  // namespace korvane
