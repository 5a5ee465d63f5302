#include "host/password_flag.h"

namespace korvane {
namespace {

constexpr size_t kWordSize = 4;

uint32_t LittleEndianWord(const uint8_t* data) {
    return uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 |
           uint32_t{data[3]} << 24;
}

// The text up to its terminating zeros, if nothing but zeros follows it.
size_t TextLength(const uint8_t* data, size_t size) {
    size_t length = 0;
    while (length < size && data[length] != 0) {
        ++length;
    }
    for (size_t i = length; i < size; ++i) {
        if (data[i] != 0) {
            return size + 1;  // no clean text: counts as unreadable
        }
    }
    return length;
}

}  // namespace

bool PasswordRequiredByStoredValue(StoredValueType type, const uint8_t* data, size_t size) {
    if (data == nullptr && size != 0) {
        return true;
    }
    switch (type) {
        case StoredValueType::kDword:
        case StoredValueType::kBinary:
            return size != kWordSize || LittleEndianWord(data) != 0;
        case StoredValueType::kString:
            if (TextLength(data, size) != 1) {
                return true;
            }
            return data[0] != '0';
        case StoredValueType::kOther:
            break;
    }
    return true;
}

}  // namespace korvane
