#include "host/command_line.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(SkipProgramName, SkipsQuotedNameWithSpacesAndTheBlanksAfterIt) {
    EXPECT_STREQ(SkipProgramName("\"C:\\My Savers\\k.scr\"  /s"), "/s");
    EXPECT_STREQ(SkipProgramName("\"C:\\k.scr\"\t/p 12"), "/p 12");
}

TEST(SkipProgramName, SkipsUnquotedNameUpToTheFirstBlank) {
    EXPECT_STREQ(SkipProgramName("k.scr /c:55"), "/c:55");
    EXPECT_STREQ(SkipProgramName("k.scr"), "");
    EXPECT_STREQ(SkipProgramName("k.scr   "), "");
}

TEST(SkipProgramName, UnterminatedQuoteConsumesTheWholeLine) {
    EXPECT_STREQ(SkipProgramName("\"C:\\k.scr /s"), "");
}

TEST(SkipProgramName, UsesTheGivenCharacterStep) {
    // A step that treats 0x81 as the lead byte of a two-byte character, like a DBCS code page.
    const CharacterStep doubleByte = [](const char* c) {
        return static_cast<unsigned char>(*c) == 0x81 && c[1] != '\0' ? c + 2 : c + 1;
    };
    // The quote after the lead byte belongs to the character, so the name ends at the last quote.
    EXPECT_STREQ(SkipProgramName("\"\x81\"x\" /s", doubleByte), "/s");
    EXPECT_STREQ(SkipProgramName("\"\x81\"x\" /s"), "x\" /s");
}

TEST(ParseWindowNumber, ReadsDigitsUntilTheFirstOtherCharacter) {
    EXPECT_EQ(ParseWindowNumber("1234"), 1234u);
    EXPECT_EQ(ParseWindowNumber("77 88"), 77u);
    EXPECT_EQ(ParseWindowNumber(":1234"), 0u);
    EXPECT_EQ(ParseWindowNumber(" 12"), 0u);
    EXPECT_EQ(ParseWindowNumber("-12"), 0u);
    EXPECT_EQ(ParseWindowNumber(""), 0u);
}

TEST(ParseWindowNumber, WrapsIn32Bits) {
    EXPECT_EQ(ParseWindowNumber("4294967296"), 0u);
    EXPECT_EQ(ParseWindowNumber("4294967301"), 5u);
}

TEST(ParseModeSwitch, FullScreenWithAnyLeadingSeparatorsAndIgnoredRest) {
    for (const char* text : {"/s", "-S", "s", " / s", "/S:123", "--//  s"}) {
        EXPECT_EQ(ParseModeSwitch(text).mode, SaverMode::kFullScreen) << text;
    }
}

TEST(ParseModeSwitch, PreviewReadsTheWindowAfterOptionalSpaces) {
    for (const char* text : {"/p 1234", "/p1234", "/P   1234", "/l 1234", "-L1234"}) {
        const ModeRequest request = ParseModeSwitch(text);
        EXPECT_EQ(request.mode, SaverMode::kPreview) << text;
        EXPECT_EQ(request.windowNumber, 1234u) << text;
    }
    EXPECT_EQ(ParseModeSwitch("/p:1234").windowNumber, 0u);
    EXPECT_EQ(ParseModeSwitch("/p").windowNumber, 0u);
}

TEST(ParseModeSwitch, ConfigureTakesTheOwnerOnlyAfterAColon) {
    EXPECT_EQ(ParseModeSwitch("/c:1234").mode, SaverMode::kConfigure);
    EXPECT_EQ(ParseModeSwitch("/c:1234").windowNumber, 1234u);
    EXPECT_EQ(ParseModeSwitch("/c 1234").windowNumber, 0u);
    EXPECT_EQ(ParseModeSwitch("/C").windowNumber, 0u);
    EXPECT_EQ(ParseModeSwitch("/c:0").windowNumber, 0u);
}

TEST(ParseModeSwitch, NothingAfterTheSeparatorsOpensTheOwnerlessDialog) {
    EXPECT_EQ(ParseModeSwitch("").mode, SaverMode::kConfigureWithoutOwner);
    EXPECT_EQ(ParseModeSwitch(" - /").mode, SaverMode::kConfigureWithoutOwner);
}

TEST(ParseModeSwitch, PasswordChangeKeepsTheTextAfterItsSpaces) {
    const ModeRequest request = ParseModeSwitch("/a   1234");
    EXPECT_EQ(request.mode, SaverMode::kChangePassword);
    EXPECT_STREQ(request.argument, "1234");
    EXPECT_EQ(request.windowNumber, 1234u);
}

TEST(ParseModeSwitch, UnknownLettersControlCharactersAndHighBytesAreRefused) {
    for (const char* text : {"/x", "\t/s", "/\ts", "\x80", "/\xE9", "1", ":s"}) {
        EXPECT_EQ(ParseModeSwitch(text).mode, SaverMode::kUnrecognised) << text;
    }
}

}  // namespace
}  // namespace korvane
