#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/password_flag.h"

namespace korvane {
namespace {

bool Required(StoredValueType type, const std::string& bytes) {
    return PasswordRequiredByStoredValue(type, reinterpret_cast<const uint8_t*>(bytes.data()),
                                         bytes.size());
}

TEST(PasswordRequiredByStoredValue, WordsAndFourBinaryBytesCountByValue) {
    for (StoredValueType type : {StoredValueType::kDword, StoredValueType::kBinary}) {
        EXPECT_FALSE(Required(type, std::string(4, '\0')));
        EXPECT_TRUE(Required(type, std::string("\1\0\0\0", 4)));
        EXPECT_TRUE(Required(type, std::string("\0\0\0\x80", 4)));  // the high byte counts too
    }
}

TEST(PasswordRequiredByStoredValue, StringsZeroAndOneAreTheirDigit) {
    EXPECT_FALSE(Required(StoredValueType::kString, std::string("0\0", 2)));
    EXPECT_FALSE(Required(StoredValueType::kString, "0"));  // stored without its terminator
    EXPECT_TRUE(Required(StoredValueType::kString, std::string("1\0", 2)));
}

TEST(PasswordRequiredByStoredValue, EverythingElseFailsClosed) {
    // Sizes a word must not have: the value cannot be trusted to say "no".
    EXPECT_TRUE(Required(StoredValueType::kDword, std::string(2, '\0')));
    EXPECT_TRUE(Required(StoredValueType::kDword, std::string(8, '\0')));
    EXPECT_TRUE(Required(StoredValueType::kBinary, ""));
    EXPECT_TRUE(Required(StoredValueType::kBinary, std::string(1, '\0')));
    // Texts other than a lone digit, and text with something after its terminator.
    EXPECT_TRUE(Required(StoredValueType::kString, std::string("00\0", 3)));
    EXPECT_TRUE(Required(StoredValueType::kString, std::string("\0", 1)));
    EXPECT_TRUE(Required(StoredValueType::kString, std::string("0\0x", 3)));
    EXPECT_TRUE(Required(StoredValueType::kString, "no"));
    EXPECT_TRUE(Required(StoredValueType::kOther, std::string(4, '\0')));
    EXPECT_TRUE(PasswordRequiredByStoredValue(StoredValueType::kDword, nullptr, 4));
}

}  // namespace
}  // namespace korvane
