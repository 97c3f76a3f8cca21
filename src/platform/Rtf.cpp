// Report files: which form a file is in, plain text files, and the file forms of the RTF
// writer (RtfWriter.cpp) and reader (RtfReader.cpp).
#include "platform/Rtf.h"

#include <fmt/format.h>

#include "platform/FileUtil.h"
#include "platform/Gbk.h"

namespace qingheng {
namespace {

// Line breaks of any form ("\r\n", "\r", "\n") as "\n".
std::string unifyLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += '\n';
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<StyledDocument> readTextFileWith(const std::filesystem::path& path, std::string* error, bool allowRtf) {
    const auto bytes = readFileBytes(path);
    if (!bytes) {
        if (error) *error = fmt::format("无法读取文件 {}", path.string());
        return std::nullopt;
    }
    if (allowRtf && looksLikeRtf(*bytes)) return readRtf(*bytes, error);
    return readPlainText(*bytes, error);
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

bool looksLikeRtf(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
    const auto start = bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && bytes.substr(start, 5) == "{\\rtf";
}

std::optional<std::string> writePlainText(const StyledDocument& doc, std::string* error) {
    auto fail = [&](std::string message) -> std::optional<std::string> {
        if (error) *error = std::move(message);
        return std::nullopt;
    };
    std::string text;
    for (char c : unifyLineBreaks(doc.plainText())) {
        if (c == '\n') text += '\r';
        text += c;
    }
    if (auto bytes = gbk::fromUtf8(text)) return bytes;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        if (!gbk::decodeUtf8(text, i)) return fail("文本不是有效的UTF-8编码");
        const std::string_view ch = std::string_view(text).substr(start, i - start);
        if (!gbk::canEncode(ch)) return fail(fmt::format("字符“{}”无法保存为GBK编码的文本文件，请保存为RTF格式", ch));
    }
    return fail("文本无法转换为GBK编码");
}

std::optional<StyledDocument> readPlainText(std::string_view bytes, std::string* error) {
    std::optional<std::string> utf8;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.remove_prefix(kUtf8Bom.size());
        if (gbk::isValidUtf8(bytes)) utf8 = std::string(bytes);
    } else {
        utf8 = gbk::toUtf8(bytes);
        if (!utf8 && gbk::isValidUtf8(bytes)) utf8 = std::string(bytes);
    }
    if (!utf8) {
        if (error) *error = "文件不是GBK或UTF-8编码的文本";
        return std::nullopt;
    }
    StyledDocument doc;
    std::string text = unifyLineBreaks(*utf8);
    if (!text.empty()) doc.runs.push_back({std::move(text), TextStyle{}});
    return doc;
}

Status saveRtfFile(const std::filesystem::path& path, const StyledDocument& doc) {
    std::string error;
    const auto bytes = writeRtf(doc, &error);
    if (!bytes) return Status::failure(error);
    return writeFileAtomically(path, *bytes);
}

Status savePlainTextFile(const std::filesystem::path& path, const StyledDocument& doc) {
    std::string error;
    const auto bytes = writePlainText(doc, &error);
    if (!bytes) return Status::failure(error);
    return writeFileAtomically(path, *bytes);
}

std::optional<StyledDocument> readPlainTextFile(const std::filesystem::path& path, std::string* error) {
    return readTextFileWith(path, error, false);
}

std::optional<StyledDocument> loadRtfOrTextFile(const std::filesystem::path& path, std::string* error) {
    return readTextFileWith(path, error, true);
}

}  // namespace qingheng
