#pragma once
// Numbers in the little-endian byte order of the stored files (the platform's own order).
#include <cstring>
#include <type_traits>

namespace qingheng {

template <typename T>
void storeLittleEndian(char* out, T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    std::memcpy(out, &value, sizeof value);
}

template <typename T>
T loadLittleEndian(const char* in) {
    static_assert(std::is_trivially_copyable_v<T>);
    T value;
    std::memcpy(&value, in, sizeof value);
    return value;
}

}  // namespace qingheng
