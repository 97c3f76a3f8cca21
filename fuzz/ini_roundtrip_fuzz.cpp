// Feeds arbitrary bytes to the INI file reader, then writes settings taken from the input
// and reads them back. Any file is read without crashing (a file that is not GBK says why);
// a save either refuses with a message and leaves the file as it was, or writes a file
// that reads back the values written.
//
// Input: fields separated by a zero byte: the file's bytes, then section, key and value
// triples. Section and key names are made of letters and digits, as the program's are;
// values are any text a user could type on one line.
//
// Build and run (clang; see CONTRIBUTING.md):
//   cmake --build build-fuzz --target ini_roundtrip_fuzz
//   build-fuzz/bin/ini_roundtrip_fuzz -max_total_time=60
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileUtil.h"
#include "platform/Gbk.h"
#include "platform/IniFile.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// A name of letters and digits made from the field (empty fields become "k").
std::string nameOf(std::string_view field) {
    std::string name;
    for (const char c : field) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) name += c;
    }
    return name.empty() ? "k" : name;
}

// A value as a user types it: valid UTF-8, no control characters, trimmed of blanks.
std::string valueOf(std::string_view field) {
    std::string value;
    for (std::size_t i = 0; i < field.size();) {
        const std::size_t start = i;
        const auto cp = gbk::decodeUtf8(field, i);
        if (!cp) {
            ++i;
            continue;
        }
        if (*cp >= 0x20 && *cp != 0x7F) value.append(field.substr(start, i - start));
    }
    const auto first = value.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return value.substr(first, value.find_last_not_of(' ') - first + 1);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

const fs::path& scratchFile() {
    static const fs::path path = fs::temp_directory_path() / ("ini_fuzz_" + std::to_string(::getpid()) + ".ini");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string_view> fields;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0;;) {
        const std::size_t end = input.find('\0', start);
        fields.push_back(input.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    const fs::path& path = scratchFile();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << fields[0];

    IniFile ini(path);
    require(ini.loadStatus().ok || !ini.loadStatus().message.empty());
    std::map<std::pair<std::string, std::string>, std::string> written;  // names matched without case
    for (std::size_t i = 1; i + 1 < fields.size(); i += 3) {
        const std::string section = nameOf(fields[i]), key = nameOf(fields[i + 1]);
        const std::string value = i + 2 < fields.size() ? valueOf(fields[i + 2]) : std::string();
        (void)ini.readString(section, key, "");
        (void)ini.readInteger(section, key, 0);
        ini.writeString(section, key, value);
        written[{lower(section), lower(key)}] = value;
    }
    const std::string before = readFileBytes(path).value_or("");
    const Status saved = ini.save();
    if (!saved) {
        require(!saved.message.empty() && readFileBytes(path).value_or("") == before);
        return 0;
    }
    const IniFile again(path);
    require(again.loadStatus().ok);
    for (const auto& [names, value] : written) require(again.readString(names.first, names.second, "\x01") == value);
    return 0;
}
