#pragma once
// The program's numbered texts. Sources are UTF-8 files under resources/strings, one
// entry per line: the id, a tab, then the text with the escapes \n \r \t and \\.
#include <string>
#include <string_view>

namespace qingheng {

// The text with this id, or an empty text when there is none.
const std::string& resourceString(int id);

namespace detail {
bool parseStringLine(std::string_view line, int& id, std::string& text);
}

// Parses one source, calling add(id, text) for each entry; lines that are empty or start
// with '#' are skipped. Returns false and names the line in error when one is malformed.
bool parseStringSource(std::string_view source, const auto& add, std::string* error) {
    int lineNo = 0;
    while (!source.empty()) {
        ++lineNo;
        const auto end = source.find('\n');
        std::string_view line = source.substr(0, end);
        source = end == std::string_view::npos ? std::string_view{} : source.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        int id = 0;
        std::string text;
        if (!detail::parseStringLine(line, id, text)) {
            if (error) *error = "line " + std::to_string(lineNo);
            return false;
        }
        add(id, std::move(text));
    }
    return true;
}

}  // namespace qingheng
