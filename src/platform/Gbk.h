#pragma once
// GBK (code page 936) text helpers. Text is UTF-8 in memory and GBK on disk; every
// width the reports count is a GBK byte count (one CJK character = 2 bytes = 2 columns).
// Also the one converter for other Windows code pages (RTF files name theirs) and the one
// UTF-8 decoder.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qingheng::gbk {

// UTF-8 to GBK bytes; nullopt when the input is not valid UTF-8 or holds a character
// that GBK cannot encode. Nothing is ever replaced silently.
std::optional<std::string> fromUtf8(std::string_view utf8);

// GBK bytes to UTF-8; nullopt when the bytes are not valid GBK.
std::optional<std::string> toUtf8(std::string_view gbkBytes);

inline constexpr int kCodePage = 936;

// Bytes of a Windows code page (936 is GBK) as UTF-8; nullopt when they are not valid in it
// or the system has no converter for it.
std::optional<std::string> codePageToUtf8(int codePage, std::string_view bytes);

// The same, never failing: a byte that starts no valid character becomes U+FFFD and the
// rest is still decoded, so one damaged character does not hide the text around it.
std::string codePageToUtf8Leniently(int codePage, std::string_view bytes);

// True when the UTF-8 text converts to GBK without loss.
bool canEncode(std::string_view utf8);

// Bytes the UTF-8 text takes in GBK. Assumes encodable text (check with canEncode
// where the text comes from a user): ASCII and the euro sign (GBK 0x80) count 1, every
// other character 2.
int width(std::string_view utf8);

// Pads with blanks on the right (padRight) or left (padLeft) to the given GBK width.
// Text already at or beyond the width is returned unchanged.
std::string padRight(std::string_view utf8, int targetWidth);
std::string padLeft(std::string_view utf8, int targetWidth);

// The characters whose GBK bytes lie within [start, start + length). A character cut by
// either edge is left out, so a slice never splits a character.
std::string slice(std::string_view utf8, int start, int length);

// The longest prefix whose GBK width does not exceed maxWidth, cut on a character boundary.
std::string truncate(std::string_view utf8, int maxWidth);

// Byte classes of double-byte GBK characters.
constexpr bool isLeadByte(std::uint8_t b) { return b >= 0x81 && b <= 0xFE; }
constexpr bool isTrailByte(std::uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }

// True when the GBK bytes are a sequence of whole double-byte characters (empty text too).
constexpr bool allDoubleByte(std::string_view gbkBytes) {
    for (std::size_t i = 0; i < gbkBytes.size(); i += 2) {
        if (i + 1 >= gbkBytes.size() || !isLeadByte(static_cast<std::uint8_t>(gbkBytes[i])) ||
            !isTrailByte(static_cast<std::uint8_t>(gbkBytes[i + 1])))
            return false;
    }
    return true;
}

// Length in bytes of the UTF-8 sequence starting with byte b (1 for invalid leads).
constexpr int utf8SequenceLength(std::uint8_t b) {
    if (b < 0x80) return 1;
    if ((b & 0xE0) == 0xC0) return 2;
    if ((b & 0xF0) == 0xE0) return 3;
    if ((b & 0xF8) == 0xF0) return 4;
    return 1;
}

// The code point starting at text[i], advancing i past it; nullopt (i unchanged) for a
// malformed, overlong, surrogate or out-of-range sequence.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& i);

// True when the whole text is well-formed UTF-8 as decodeUtf8 reads it.
bool isValidUtf8(std::string_view text);

// Appends the code point as UTF-8.
void appendUtf8(std::string& out, char32_t cp);

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Calls visit with each character (one code point as UTF-8 bytes); false when the
// text ends inside a character.
bool forEachCharacter(std::string_view utf8, const auto& visit) {
    for (std::size_t i = 0; i < utf8.size();) {
        const int n = utf8SequenceLength(static_cast<std::uint8_t>(utf8[i]));
        if (i + n > utf8.size()) return false;
        visit(utf8.substr(i, n));
        i += n;
    }
    return true;
}

}  // namespace qingheng::gbk
