#include "reference/ZaZhan.h"

#include <fmt/format.h>

#include <system_error>

#include "platform/FileUtil.h"
#include "platform/Gbk.h"

namespace qingheng {
namespace {

constexpr std::string_view kSectionEnd = "[end]";

// Lines end at "\r\n", "\n" or "\r", as files edited by hand on any system may; a line end
// at the very end of the text does not start another line.
std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

}  // namespace

TextFileLines ReadGbkLines(const std::filesystem::path& path) {
    TextFileLines out;
    std::error_code ec;
    out.found = std::filesystem::exists(path, ec);
    if (!out.found) return out;
    const auto bytes = readFileBytes(path);
    if (!bytes) {
        out.status = Status::failure(fmt::format("无法读取文件 {}", path.string()));
        return out;
    }
    const auto text = gbk::toUtf8(*bytes);
    if (!text) {
        out.status = Status::failure(fmt::format("文件 {} 不是GBK编码的文本，无法读取", path.string()));
        return out;
    }
    out.lines = SplitLines(*text);
    return out;
}

std::vector<std::string> ZaZhanCategories(const std::vector<std::string>& lines) {
    std::vector<std::string> categories;
    if (lines.empty()) return categories;
    const std::string& first = lines.front();
    std::size_t start = 0;
    for (std::size_t comma = first.find(','); comma != std::string::npos; comma = first.find(',', start)) {
        categories.push_back(first.substr(start, comma - start));
        start = comma + 1;
    }
    return categories;
}

std::string ZaZhanSection(const std::vector<std::string>& lines, std::string_view category) {
    std::string key = "[";
    key.append(category).append("]");
    std::string text;
    bool seen = false;
    for (const std::string& line : lines) {
        if (!seen) {
            seen = line == key;
            continue;
        }
        if (line == kSectionEnd) break;
        if (line != key) text.append(line).append("\n");
    }
    return text;
}

}  // namespace qingheng
