#pragma once
// Sets stroke counts in a test folder's copy of dat/hzlen.dat, byte by byte, without the
// program's own writer.
#include <filesystem>
#include <fstream>
#include <string>

#include "casting/StrokeTable.h"
#include "platform/Gbk.h"

namespace qingheng::testing {

inline std::streamoff strokeRecordOffset(const char* utf8Character) {
    const std::string b = *gbk::fromUtf8(utf8Character);
    const int record = (static_cast<unsigned char>(b[0]) - 0xB0) * 94 + static_cast<unsigned char>(b[1]) - 0xA1;
    return static_cast<std::streamoff>(record) * 4;
}

inline void setStrokes(const std::filesystem::path& folder, const char* utf8Character, int count) {
    std::fstream table(folder / "dat" / "hzlen.dat", std::ios::in | std::ios::out | std::ios::binary);
    table.seekp(strokeRecordOffset(utf8Character) + 2);
    const char bytes[2] = {static_cast<char>(count & 0xFF), static_cast<char>((count >> 8) & 0xFF)};
    table.write(bytes, 2);
}

}  // namespace qingheng::testing
