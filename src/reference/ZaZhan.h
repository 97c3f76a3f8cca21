#pragma once
// 古代杂占: short traditional divination texts by category, kept in the GBK text file
// dat/zazhan.txt so that users can extend them. Line 1 lists the categories, each followed
// by a comma; each category's section is a line "[name]", its text lines and a line "[end]".
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Status.h"

namespace qingheng {

inline constexpr std::string_view kZaZhanFile = "zazhan.txt";

// The lines of a text file, read afresh. found is false for a missing file; status tells
// why an existing file could not be read (unreadable, not GBK).
struct TextFileLines {
    bool found = false;
    Status status;
    std::vector<std::string> lines;  // UTF-8, without line ends ("\n", "\r\n" or "\r")
};
TextFileLines ReadGbkLines(const std::filesystem::path& path);

// The categories of line 1: every piece that a comma ends, empty pieces included; text
// after the last comma is ignored.
std::vector<std::string> ZaZhanCategories(const std::vector<std::string>& lines);

// The text of a category's section, each line followed by "\n": from the first line
// "[category]" to the next "[end]" (or the end of the file), repeated header lines left out.
// Empty when the header never occurs.
std::string ZaZhanSection(const std::vector<std::string>& lines, std::string_view category);

}  // namespace qingheng
