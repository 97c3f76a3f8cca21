#include "platform/Rtf.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <map>
#include <vector>

#include <fmt/format.h>

#include "platform/FileUtil.h"
#include "platform/Gbk.h"

namespace qingheng {
namespace {

constexpr int kMaxPointSize = 1638;  // \fs holds half points in a signed 16-bit value
constexpr std::size_t kMaxGroupDepth = 2000;
constexpr char32_t kReplacement = 0xFFFD;

// ---------------------------------------------------------------- UTF-8

// The code point starting at text[i], advancing i; nullopt for a malformed, overlong,
// surrogate or out-of-range sequence (i is then left unchanged).
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& i) {
    const auto b0 = static_cast<std::uint8_t>(text[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    const int n = gbk::utf8SequenceLength(b0);
    if (n == 1 || i + n > text.size()) return std::nullopt;
    char32_t cp = b0 & (0xFF >> (n + 1));
    for (int k = 1; k < n; ++k) {
        const auto b = static_cast<std::uint8_t>(text[i + k]);
        if ((b & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (b & 0x3F);
    }
    static constexpr std::array<char32_t, 5> kSmallest{0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    i += n;
    return cp;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (!decodeUtf8(text, i)) return false;
    }
    return true;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

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

// ---------------------------------------------------------------- code pages

// Decodes bytes of any code page the system converter knows, keeping one open converter
// per code page: a file may switch code pages thousands of times.
class CodePageDecoder {
public:
    CodePageDecoder() = default;
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;
    ~CodePageDecoder() {
        for (auto& [codePage, cd] : converters_) {
            if (cd != kNoConverter) iconv_close(cd);
        }
    }

    // Bytes as UTF-8. Never fails: a byte that starts no valid character becomes U+FFFD,
    // and the rest is still decoded.
    std::string decode(int codePage, std::string_view bytes) {
        if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<std::uint8_t>(c) < 0x80; })) {
            return std::string(bytes);
        }
        if (auto whole = convert(codePage, bytes)) return *whole;
        std::string out;
        for (std::size_t i = 0; i < bytes.size();) {
            if (static_cast<std::uint8_t>(bytes[i]) < 0x80) {
                out += bytes[i++];
            } else if (auto one = convert(codePage, bytes.substr(i, 1))) {
                out += *one;
                i += 1;
            } else if (auto two = i + 1 < bytes.size() ? convert(codePage, bytes.substr(i, 2)) : std::nullopt) {
                out += *two;
                i += 2;
            } else {
                appendUtf8(out, kReplacement);
                i += 1;
            }
        }
        return out;
    }

private:
    static inline const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

    std::optional<std::string> convert(int codePage, std::string_view bytes) {
        auto it = converters_.find(codePage);
        if (it == converters_.end()) {
            const std::string name = fmt::format("CP{}", codePage);
            it = converters_.emplace(codePage, iconv_open("UTF-8", name.c_str())).first;
        }
        iconv_t cd = it->second;
        if (cd == kNoConverter) return std::nullopt;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        std::string out(bytes.size() * 4 + 4, '\0');
        char* inPtr = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char* outPtr = out.data();
        std::size_t outLeft = out.size();
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
            return std::nullopt;
        }
        out.resize(out.size() - outLeft);
        return out;
    }

    std::map<int, iconv_t> converters_;
};

// The code page a font's \fcharset stands for; 0 when the document's own applies.
int codePageOfCharset(int charset) {
    switch (charset) {
        case 128:
            return 932;
        case 129:
            return 949;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        default:
            return 0;
    }
}

// ---------------------------------------------------------------- writer

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
        const auto cp = decodeUtf8(utf8, i);
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

// ---------------------------------------------------------------- reader

enum class Destination { Body, FontTable, ColorTable, Skip };

// Which text the associated properties (\ab, \afs) describe: after \dbch they are the
// weight and size of East Asian text, as some word processors write them.
enum class Script { Latin, EastAsian, Complex };

struct GroupState {
    Destination dest = Destination::Body;
    int colorIndex = 0;
    bool bold = false;
    int halfPoints = 24;
    Script script = Script::Latin;
    std::optional<bool> eastAsianBold;
    std::optional<int> eastAsianHalfPoints;
    int font = -1;
    int unicodeSkip = 1;
};

bool isValidHalfPoints(int halfPoints) { return halfPoints >= 2 && halfPoints <= 2 * kMaxPointSize; }

struct FontEntry {
    int codePage = 0;  // 0: the document's
    std::string name;
};

// Groups whose content is not document text.
constexpr std::string_view kSkippedDestinations[] = {"stylesheet",
                                                     "info",
                                                     "pict",
                                                     "object",
                                                     "objdata",
                                                     "header",
                                                     "headerl",
                                                     "headerr",
                                                     "headerf",
                                                     "footer",
                                                     "footerl",
                                                     "footerr",
                                                     "footerf",
                                                     "footnote",
                                                     "annotation",
                                                     "atnid",
                                                     "atnauthor",
                                                     "listtable",
                                                     "listoverridetable",
                                                     "revtbl",
                                                     "rsidtbl",
                                                     "filetbl",
                                                     "xmlnstbl",
                                                     "themedata",
                                                     "colorschememapping",
                                                     "latentstyles",
                                                     "datastore",
                                                     "pntext",
                                                     "pntxta",
                                                     "pntxtb",
                                                     "listtext",
                                                     "fldinst",
                                                     "bkmkstart",
                                                     "bkmkend",
                                                     "generator",
                                                     "nonshppict",
                                                     "shppict",
                                                     "shpinst",
                                                     "sp",
                                                     "sn",
                                                     "sv",
                                                     "txe",
                                                     "template",
                                                     "docvar",
                                                     "userprops",
                                                     "mmathPr",
                                                     "operator",
                                                     "author",
                                                     "title",
                                                     "subject",
                                                     "comment",
                                                     "keywords",
                                                     "pgdsctbl",
                                                     "tc",
                                                     "xe",
                                                     "private",
                                                     "blipuid",
                                                     "passwordhash"};

bool isSkippedDestination(std::string_view word) {
    return std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), word) !=
           std::end(kSkippedDestinations);
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class RtfReader {
public:
    explicit RtfReader(std::string_view input) : in_(input) {}

    std::optional<StyledDocument> read(std::string* error);

private:
    // Tokens
    void readControl();
    void controlWord(std::string_view word, std::optional<int> param);
    void controlSymbol(char c);
    void openGroup();
    void closeGroup();
    void textByte(char c, bool escaped = false);

    // Text
    bool consumeFallback();
    void flushBytes();
    void emitUtf8(std::string_view utf8);
    void emitCodePoint(char32_t cp);
    void emitUnicodeParameter(int param);
    void finishFontEntry();
    void finishColorEntry();
    int currentCodePage() const;
    TextStyle currentStyle() const;

    std::string_view in_;
    std::size_t pos_ = 0;
    bool done_ = false;
    std::string error_;

    GroupState state_;
    std::vector<GroupState> stack_;
    int fallbackToSkip_ = 0;
    std::string pendingBytes_;
    CodePageDecoder decoder_;
    char32_t highSurrogate_ = 0;

    int documentCodePage_ = 936;
    int defaultFont_ = 0;
    std::map<int, FontEntry> fonts_;
    int fontEntryId_ = -1;
    FontEntry fontEntry_;
    std::vector<std::optional<Rgb>> colors_;
    Rgb colorEntry_;
    bool colorEntrySet_ = false;

    StyledDocument doc_;
    bool bodyStarted_ = false;
    int firstTextFont_ = -1;
};

std::optional<StyledDocument> RtfReader::read(std::string* error) {
    auto fail = [&](std::string message) -> std::optional<StyledDocument> {
        if (error) *error = std::move(message);
        return std::nullopt;
    };
    if (!looksLikeRtf(in_)) return fail("不是RTF格式的文件");
    pos_ = in_.find('{');
    while (pos_ < in_.size() && !done_) {
        const char c = in_[pos_];
        if (c == '{') {
            ++pos_;
            openGroup();
        } else if (c == '}') {
            ++pos_;
            closeGroup();
        } else if (c == '\\') {
            readControl();
        } else if (c == '\r' || c == '\n' || c == '\0') {
            ++pos_;  // line ends in the file are not text
        } else {
            ++pos_;
            textByte(c);
        }
        if (!error_.empty()) return fail(error_);
    }
    flushBytes();
    if (state_.dest == Destination::FontTable) finishFontEntry();

    if (firstTextFont_ >= 0 && fonts_.count(firstTextFont_) && !fonts_[firstTextFont_].name.empty()) {
        doc_.fontName = fonts_[firstTextFont_].name;
    } else if (fonts_.count(defaultFont_) && !fonts_[defaultFont_].name.empty()) {
        doc_.fontName = fonts_[defaultFont_].name;
    }
    if (!doc_.runs.empty()) doc_.basePointSize = doc_.runs.front().style.pointSize;
    return std::move(doc_);
}

void RtfReader::openGroup() {
    flushBytes();
    fallbackToSkip_ = 0;
    if (stack_.size() >= kMaxGroupDepth) {
        error_ = "RTF文件的分组嵌套过深，无法读取";
        return;
    }
    stack_.push_back(state_);
}

void RtfReader::closeGroup() {
    flushBytes();
    fallbackToSkip_ = 0;
    if (state_.dest == Destination::FontTable && stack_.back().dest == Destination::FontTable) finishFontEntry();
    state_ = stack_.back();
    stack_.pop_back();
    if (stack_.empty()) done_ = true;  // the document's own group is closed
}

void RtfReader::readControl() {
    ++pos_;  // the backslash
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (!isLetter(c)) {
        ++pos_;
        controlSymbol(c);
        return;
    }
    const std::size_t start = pos_;
    while (pos_ < in_.size() && isLetter(in_[pos_])) ++pos_;
    const std::string_view word = in_.substr(start, pos_ - start);

    std::optional<int> param;
    const bool negative = pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1]);
    if (negative) ++pos_;
    if (pos_ < in_.size() && isDigit(in_[pos_])) {
        std::int64_t value = 0;
        while (pos_ < in_.size() && isDigit(in_[pos_])) {
            value = std::min<std::int64_t>(value * 10 + (in_[pos_] - '0'), 0x7FFFFFFF);
            ++pos_;
        }
        param = static_cast<int>(negative ? -value : value);
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiting blank
    controlWord(word, param);
}

void RtfReader::controlSymbol(char c) {
    if (c == '\'') {
        const int hi = pos_ < in_.size() ? hexValue(in_[pos_]) : -1;
        const int lo = hi >= 0 && pos_ + 1 < in_.size() ? hexValue(in_[pos_ + 1]) : -1;
        if (hi < 0 || lo < 0) {
            if (hi >= 0) ++pos_;  // a cut pair: its one digit is dropped
            return;
        }
        pos_ += 2;
        textByte(static_cast<char>(hi * 16 + lo), true);
        return;
    }
    if (c == '*') {
        flushBytes();
        state_.dest = Destination::Skip;
        return;
    }
    if (c == '\\' || c == '{' || c == '}') {
        textByte(c);
        return;
    }
    if (consumeFallback()) return;
    switch (c) {
        case '\r':
        case '\n':
            emitCodePoint('\n');
            break;  // a backslash before a line end is a paragraph mark
        case '~':
            emitCodePoint(' ');
            break;
        case '_':
            emitCodePoint('-');
            break;
        default:
            flushBytes();
            break;  // \- \: \| and unknown symbols add nothing
    }
}

bool RtfReader::consumeFallback() {
    if (fallbackToSkip_ <= 0) return false;
    --fallbackToSkip_;
    return true;
}

// An escaped byte is always text; a plain ";" ends an entry of the font or colour table.
void RtfReader::textByte(char c, bool escaped) {
    if (consumeFallback()) return;
    if (state_.dest == Destination::Skip || c == '\0') return;  // a zero byte is never text
    if (escaped) {
        pendingBytes_ += c;
        return;
    }
    if (c == ';' && state_.dest == Destination::FontTable) {
        flushBytes();
        finishFontEntry();
        return;
    }
    if (c == ';' && state_.dest == Destination::ColorTable) {
        finishColorEntry();
        return;
    }
    pendingBytes_ += c;
}

void RtfReader::controlWord(std::string_view word, std::optional<int> param) {
    flushBytes();
    const int value = param.value_or(0);
    if (word == "bin") {
        // Raw binary data follows; it may hold anything, braces included.
        const std::size_t length = static_cast<std::size_t>(std::max(0, value));
        pos_ += std::min(length, in_.size() - pos_);
        return;
    }
    if (word == "u") {
        if (state_.dest == Destination::Skip) return;
        if (consumeFallback()) return;
        emitUnicodeParameter(value);
        fallbackToSkip_ = state_.unicodeSkip;
        return;
    }
    if (consumeFallback()) return;

    if (state_.dest == Destination::Skip) {
        return;
    } else if (word == "fonttbl") {
        state_.dest = Destination::FontTable;
    } else if (word == "colortbl") {
        state_.dest = Destination::ColorTable;
    } else if (isSkippedDestination(word)) {
        state_.dest = Destination::Skip;
    } else if (word == "uc") {
        state_.unicodeSkip = std::clamp(value, 0, 16);
    } else if (word == "ansicpg") {
        if (value > 0) documentCodePage_ = value;
    } else if (word == "deff") {
        defaultFont_ = value;
        state_.font = value;
    } else if (state_.dest == Destination::FontTable) {
        if (word == "f") {
            fontEntryId_ = value;
            fontEntry_ = {};
        } else if (word == "fcharset") {
            fontEntry_.codePage = codePageOfCharset(value);
        } else if (word == "cpg") {
            fontEntry_.codePage = value > 0 ? value : 0;
        }
    } else if (state_.dest == Destination::ColorTable) {
        const auto component = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
        if (word == "red") colorEntry_.r = component, colorEntrySet_ = true;
        if (word == "green") colorEntry_.g = component, colorEntrySet_ = true;
        if (word == "blue") colorEntry_.b = component, colorEntrySet_ = true;
    } else if (word == "f") {
        state_.font = value;
    } else if (word == "cf") {
        state_.colorIndex = value;
    } else if (word == "b") {
        state_.bold = !param || value != 0;
    } else if (word == "fs") {
        const int halfPoints = param ? value : 24;
        if (isValidHalfPoints(halfPoints)) state_.halfPoints = halfPoints;
    } else if (word == "loch" || word == "hich" || word == "ltrch") {
        state_.script = Script::Latin;
    } else if (word == "dbch") {
        state_.script = Script::EastAsian;
    } else if (word == "rtlch") {
        state_.script = Script::Complex;
    } else if (word == "ab") {
        if (state_.script == Script::EastAsian) state_.eastAsianBold = !param || value != 0;
    } else if (word == "afs") {
        if (state_.script == Script::EastAsian && param && isValidHalfPoints(value)) state_.eastAsianHalfPoints = value;
    } else if (word == "plain") {
        const GroupState reset;
        state_.bold = reset.bold;
        state_.halfPoints = reset.halfPoints;
        state_.colorIndex = reset.colorIndex;
        state_.script = reset.script;
        state_.eastAsianBold.reset();
        state_.eastAsianHalfPoints.reset();
        state_.font = defaultFont_;
    } else if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "row") {
        emitUtf8("\n");
    } else if (word == "tab" || word == "cell") {
        emitUtf8("\t");
    } else if (word == "emdash") {
        emitCodePoint(0x2014);
    } else if (word == "endash") {
        emitCodePoint(0x2013);
    } else if (word == "lquote") {
        emitCodePoint(0x2018);
    } else if (word == "rquote") {
        emitCodePoint(0x2019);
    } else if (word == "ldblquote") {
        emitCodePoint(0x201C);
    } else if (word == "rdblquote") {
        emitCodePoint(0x201D);
    } else if (word == "bullet") {
        emitCodePoint(0x2022);
    } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
        emitCodePoint(' ');
    }
    // Every other word (\pard, \rtf, \viewkind, \lang and so on) changes nothing we keep.
}

void RtfReader::emitUnicodeParameter(int param) {
    const char32_t unit = static_cast<char32_t>(param < 0 ? param + 0x10000 : param) & 0xFFFF;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        if (highSurrogate_) {
            highSurrogate_ = 0;
            emitCodePoint(kReplacement);  // the earlier one had no partner
        }
        highSurrogate_ = unit;
        return;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        if (!highSurrogate_) {
            emitCodePoint(kReplacement);
            return;
        }
        const char32_t cp = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00);
        highSurrogate_ = 0;
        emitCodePoint(cp);
        return;
    }
    if (unit != 0) emitCodePoint(unit);
}

int RtfReader::currentCodePage() const {
    if (state_.dest == Destination::FontTable) {
        return fontEntry_.codePage ? fontEntry_.codePage : documentCodePage_;
    }
    auto it = fonts_.find(state_.font);
    if (it != fonts_.end() && it->second.codePage) return it->second.codePage;
    return documentCodePage_;
}

void RtfReader::flushBytes() {
    if (pendingBytes_.empty()) return;
    const std::string utf8 = decoder_.decode(currentCodePage(), pendingBytes_);
    pendingBytes_.clear();
    emitUtf8(utf8);
}

void RtfReader::emitCodePoint(char32_t cp) {
    flushBytes();
    std::string utf8;
    appendUtf8(utf8, cp);
    emitUtf8(utf8);
}

TextStyle RtfReader::currentStyle() const {
    TextStyle style;
    const int index = state_.colorIndex;
    if (index >= 0 && static_cast<std::size_t>(index) < colors_.size() && colors_[index]) style.color = *colors_[index];
    const bool eastAsian = state_.script == Script::EastAsian;
    style.bold = eastAsian && state_.eastAsianBold ? *state_.eastAsianBold : state_.bold;
    const int halfPoints = eastAsian && state_.eastAsianHalfPoints ? *state_.eastAsianHalfPoints : state_.halfPoints;
    style.pointSize = (halfPoints + 1) / 2;
    return style;
}

void RtfReader::emitUtf8(std::string_view utf8) {
    if (highSurrogate_) {
        highSurrogate_ = 0;
        emitCodePoint(kReplacement);  // a high surrogate with no partner
    }
    if (utf8.empty()) return;
    if (state_.dest == Destination::FontTable) {
        fontEntry_.name += utf8;
        return;
    }
    if (state_.dest != Destination::Body) return;
    if (!bodyStarted_) {
        bodyStarted_ = true;
        firstTextFont_ = state_.font;
    }
    const TextStyle style = currentStyle();
    if (doc_.runs.empty() || !(doc_.runs.back().style == style)) doc_.runs.push_back({std::string(), style});
    doc_.runs.back().text += utf8;
}

void RtfReader::finishFontEntry() {
    if (fontEntryId_ >= 0) {
        // A font name is one line of visible text: control characters are dropped.
        std::string name;
        std::copy_if(fontEntry_.name.begin(), fontEntry_.name.end(), std::back_inserter(name),
                     [](char c) { return static_cast<std::uint8_t>(c) >= 0x20; });
        const auto first = name.find_first_not_of(' ');
        name = first == std::string::npos ? std::string() : name.substr(first, name.find_last_not_of(' ') - first + 1);
        fonts_[fontEntryId_] = {fontEntry_.codePage, std::move(name)};
        fontEntryId_ = -1;
    }
    fontEntry_.name.clear();
}

void RtfReader::finishColorEntry() {
    colors_.push_back(colorEntrySet_ ? std::optional<Rgb>(colorEntry_) : std::nullopt);
    colorEntry_ = {};
    colorEntrySet_ = false;
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

// ---------------------------------------------------------------- public

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
        if (size < 1 || size > kMaxPointSize) return fail(fmt::format("字号{}超出范围", size));
        body += fmt::format("\\cf{}{}\\fs{} ", colorIndex(colors, run.style.color), run.style.bold ? "\\b" : "\\b0",
                            size * 2);
        if (!appendText(body, run.text)) return fail("文本不是有效的UTF-8编码");
    }
    const int baseSize = std::clamp(doc.basePointSize, 1, kMaxPointSize);

    std::string out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang2052{\\fonttbl{\\f0\\fnil\\fcharset134 ";
    if (!appendText(out, doc.fontName, true)) return fail("字体名不是有效的UTF-8编码");
    out += ";}}\r\n{\\colortbl ;";
    for (const Rgb& c : colors) out += fmt::format("\\red{}\\green{}\\blue{};", c.r, c.g, c.b);
    out += fmt::format("}}\r\n\\viewkind4\\uc1\\pard\\plain\\f0\\fs{}\r\n", baseSize * 2);
    out += body;
    out += "}\r\n";
    return out;
}

std::optional<StyledDocument> readRtf(std::string_view bytes, std::string* error) {
    return RtfReader(bytes).read(error);
}

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
        if (!decodeUtf8(text, i)) return fail("文本不是有效的UTF-8编码");
        const std::string_view ch = std::string_view(text).substr(start, i - start);
        if (!gbk::canEncode(ch)) return fail(fmt::format("字符“{}”无法保存为GBK编码的文本文件，请保存为RTF格式", ch));
    }
    return fail("文本无法转换为GBK编码");
}

std::optional<StyledDocument> readPlainText(std::string_view bytes, std::string* error) {
    std::optional<std::string> utf8;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.remove_prefix(kUtf8Bom.size());
        if (isValidUtf8(bytes)) utf8 = std::string(bytes);
    } else {
        utf8 = gbk::toUtf8(bytes);
        if (!utf8 && isValidUtf8(bytes)) utf8 = std::string(bytes);
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
