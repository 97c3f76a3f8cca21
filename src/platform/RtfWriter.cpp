// The RTF writer: one font, a colour table of the colours used, and per run its colour,
// weight and size; text in code page 936 with \uN for what GBK cannot hold.
#include <algorithm>
#include <cstdint>
#include <vector>

#include <fmt/format.h>

#include "platform/Gbk.h"
#include "platform/Rtf.h"
#include "platform/RtfFormat.h"

namespace qingheng {
namespace {

void appendHex(std::string& out, std::uint8_t b) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\'";
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
}

// \uN with "?" as the fallback; N is a signed 16-bit value, so characters beyond the
// basic plane go as a surrogate pair.
void appendUnicode(std::string& out, char32_t cp) {
    auto unit = [&](char32_t u) {
        int n = static_cast<int>(u);
        if (n > 0x7FFF) n -= 0x10000;
        out += fmt::format("\\u{}?", n);
    };
    if (cp >= 0x10000) {
        cp -= 0x10000;
        unit(0xD800 + (cp >> 10));
        unit(0xDC00 + (cp & 0x3FF));
    } else {
        unit(cp);
    }
}

// Writes GBK (or ASCII) bytes as RTF text: bytes above 0x7F as \'hh, RTF's own marks
// escaped, "\n" and "\r\n" as \par, tabs as \tab, other control characters (a lone
// "\r" too) as \uN so that they read back as they were; zero bytes are left out.
void appendTextBytes(std::string& out, std::string_view bytes, bool escapeSemicolon) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        if (b == 0) continue;  // not text; readers drop it anyway
        if (b == '\n') {
            out += "\\par\r\n";
        } else if (b == '\t') {
            out += "\\tab ";
        } else if (b == '\\' || b == '{' || b == '}') {
            out += '\\';
            out += static_cast<char>(b);
        } else if (b == ';' && escapeSemicolon) {
            appendHex(out, b);
        } else if (b >= 0x80) {
            appendHex(out, b);
        } else if (b < 0x20 || b == 0x7F) {
            appendUnicode(out, b);
        } else {
            out += static_cast<char>(b);
        }
    }
}

// Writes UTF-8 text: as GBK bytes where GBK can hold it, else character by character
// with \uN for what GBK lacks. False when the text is not valid UTF-8.
bool appendText(std::string& out, std::string_view utf8, bool escapeSemicolon = false) {
    if (auto whole = gbk::fromUtf8(utf8)) {
        appendTextBytes(out, *whole, escapeSemicolon);
        return true;
    }
    // Runs of encodable characters are written together so that "\r\n" stays one break.
    std::string encodable;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t start = i;
        const auto cp = gbk::decodeUtf8(utf8, i);
        if (!cp) return false;
        if (auto bytes = gbk::fromUtf8(utf8.substr(start, i - start))) {
            encodable += *bytes;
        } else {
            appendTextBytes(out, encodable, escapeSemicolon);
            encodable.clear();
            appendUnicode(out, *cp);
        }
    }
    appendTextBytes(out, encodable, escapeSemicolon);
    return true;
}

int colorIndex(std::vector<Rgb>& table, Rgb c) {
    auto it = std::find(table.begin(), table.end(), c);
    if (it == table.end()) {
        table.push_back(c);
        return static_cast<int>(table.size());
    }
    return static_cast<int>(it - table.begin()) + 1;  // entry 0 is the automatic colour
}

}  // namespace

std::optional<std::string> writeRtf(const StyledDocument& doc, std::string* error) {
    auto fail = [&](std::string message) -> std::optional<std::string> {
        if (error) *error = std::move(message);
        return std::nullopt;
    };
    std::vector<Rgb> colors;
    std::string body;
    for (const StyledRun& run : doc.runs) {
        if (run.text.empty()) continue;
        const int size = run.style.pointSize;
        if (size < 1 || size > rtf::kMaxPointSize) return fail(fmt::format("字号{}超出范围", size));
        body += fmt::format("\\cf{}{}\\fs{} ", colorIndex(colors, run.style.color), run.style.bold ? "\\b" : "\\b0",
                            size * 2);
        if (!appendText(body, run.text)) return fail("文本不是有效的UTF-8编码");
    }
    const int baseSize = std::clamp(doc.basePointSize, 1, rtf::kMaxPointSize);

    std::string out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang2052{\\fonttbl{\\f0\\fnil\\fcharset134 ";
    if (!appendText(out, doc.fontName, true)) return fail("字体名不是有效的UTF-8编码");
    out += ";}}\r\n{\\colortbl ;";
    for (const Rgb& c : colors) out += fmt::format("\\red{}\\green{}\\blue{};", c.r, c.g, c.b);
    out += fmt::format("}}\r\n\\viewkind4\\uc1\\pard\\plain\\f0\\fs{}\r\n", baseSize * 2);
    out += body;
    out += "}\r\n";
    return out;
}

}  // namespace qingheng
