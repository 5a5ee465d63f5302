#pragma once

#include <array>
#include <cstddef>

namespace korvane {

// The user's options: which sequences run, sound, the typed message and the number that the
// telephone trace finds. One record per process, owned by the show's composition root.
struct ShowSettings {
    static constexpr std::size_t kMessageCapacity = 1024;  // 1023 characters and the terminator
    static constexpr std::size_t kPhoneCapacity = 12;      // 10 from the dialog; 11 fit

    bool titleEnabled = true;
    bool phoneEnabled = true;
    bool messageEnabled = true;
    bool codeEnabled = true;
    bool faceEnabled = true;
    bool soundEnabled = true;
    std::array<char, kMessageCapacity> messageText{};
    std::array<char, kPhoneCapacity> phoneNumber{};
};

inline constexpr char kDefaultMessage[] =
    "Hello Jorrel...\r\nThe Korvane has you...\r\nFollow the white rabbit\r\n"
    "Knock, knock, Jorrel..     \r\n";
inline constexpr char kDefaultPhoneNumber[] = "3525550690";

// All six flags on, the default message and number.
void SetDefaultSettings(ShowSettings& settings);

}  // namespace korvane
