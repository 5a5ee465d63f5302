#pragma once

#include <cstddef>
#include <cstdint>

namespace korvane {

// How "ScreenSaveUsePassword" is stored; the registry's own type codes map onto these.
enum class StoredValueType {
    kDword,
    kString,
    kBinary,
    kOther,
};

// Whether a stored "ScreenSaveUsePassword" asks for a password. A DWORD (or four binary bytes)
// counts by its value, the strings "0" and "1" by their digit; anything else, including a value
// of the wrong size, asks for one, so that a damaged value never unlocks the desktop.
bool PasswordRequiredByStoredValue(StoredValueType type, const uint8_t* data, size_t size);

}  // namespace korvane
