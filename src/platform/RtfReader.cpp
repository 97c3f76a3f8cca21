// The RTF reader: text and styles of RTF written by this program or by common word
// processors. Groups are read with a stack of character states; unknown destinations are
// skipped; bytes are decoded in the code page of their font or document.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <vector>

#include "platform/Gbk.h"
#include "platform/Rtf.h"
#include "platform/RtfFormat.h"

namespace qingheng {
namespace {

constexpr std::size_t kMaxGroupDepth = 2000;

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

bool isValidHalfPoints(int halfPoints) { return halfPoints >= 2 && halfPoints <= 2 * rtf::kMaxPointSize; }

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

// Control words that stand for one character.
struct CharacterWord {
    std::string_view word;
    char32_t character;
};
constexpr CharacterWord kCharacterWords[] = {
    {"par", '\n'},      {"line", '\n'},        {"sect", '\n'},        {"page", '\n'},     {"row", '\n'},
    {"tab", '\t'},      {"cell", '\t'},        {"emdash", 0x2014},    {"endash", 0x2013}, {"lquote", 0x2018},
    {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"bullet", 0x2022}, {"emspace", ' '},
    {"enspace", ' '},   {"qmspace", ' '},
};

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

    // Control words by what they change
    void skipBinary(int length);
    void unicodeWord(int param);
    bool destinationWord(std::string_view word);
    bool documentWord(std::string_view word, int value);
    void fontTableWord(std::string_view word, int value);
    void colorTableWord(std::string_view word, int value);
    bool formattingWord(std::string_view word, std::optional<int> param);
    void resetCharacterFormat();
    void characterWord(std::string_view word);

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
    char32_t highSurrogate_ = 0;

    int documentCodePage_ = gbk::kCodePage;
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
    if (word == "bin") return skipBinary(value);
    if (word == "u") return unicodeWord(value);
    if (consumeFallback() || state_.dest == Destination::Skip) return;
    if (destinationWord(word) || documentWord(word, value)) return;
    switch (state_.dest) {
        case Destination::FontTable:
            fontTableWord(word, value);
            break;
        case Destination::ColorTable:
            colorTableWord(word, value);
            break;
        case Destination::Body:
            if (!formattingWord(word, param)) characterWord(word);
            break;
        case Destination::Skip:
            break;
    }
}

// Raw binary data follows; it may hold anything, braces included.
void RtfReader::skipBinary(int length) {
    pos_ += std::min(static_cast<std::size_t>(std::max(0, length)), in_.size() - pos_);
}

void RtfReader::unicodeWord(int param) {
    if (state_.dest == Destination::Skip) return;
    if (consumeFallback()) return;
    emitUnicodeParameter(param);
    fallbackToSkip_ = state_.unicodeSkip;
}

// Words that open the font table, the colour table or a group that holds no text.
bool RtfReader::destinationWord(std::string_view word) {
    if (word == "fonttbl") {
        state_.dest = Destination::FontTable;
    } else if (word == "colortbl") {
        state_.dest = Destination::ColorTable;
    } else if (isSkippedDestination(word)) {
        state_.dest = Destination::Skip;
    } else {
        return false;
    }
    return true;
}

// Words that hold wherever they stand: the fallback length, the code page, the default font.
bool RtfReader::documentWord(std::string_view word, int value) {
    if (word == "uc") {
        state_.unicodeSkip = std::clamp(value, 0, 16);
    } else if (word == "ansicpg") {
        if (value > 0) documentCodePage_ = value;
    } else if (word == "deff") {
        defaultFont_ = value;
        state_.font = value;
    } else {
        return false;
    }
    return true;
}

void RtfReader::fontTableWord(std::string_view word, int value) {
    if (word == "f") {
        fontEntryId_ = value;
        fontEntry_ = {};
    } else if (word == "fcharset") {
        fontEntry_.codePage = rtf::codePageOfCharset(value);
    } else if (word == "cpg") {
        fontEntry_.codePage = value > 0 ? value : 0;
    }
}

void RtfReader::colorTableWord(std::string_view word, int value) {
    const auto component = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
    if (word == "red") colorEntry_.r = component, colorEntrySet_ = true;
    if (word == "green") colorEntry_.g = component, colorEntrySet_ = true;
    if (word == "blue") colorEntry_.b = component, colorEntrySet_ = true;
}

// Font, colour, weight, size and script of the text that follows.
bool RtfReader::formattingWord(std::string_view word, std::optional<int> param) {
    const int value = param.value_or(0);
    if (word == "f") {
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
        resetCharacterFormat();
    } else {
        return false;
    }
    return true;
}

void RtfReader::resetCharacterFormat() {
    const GroupState reset;
    state_.bold = reset.bold;
    state_.halfPoints = reset.halfPoints;
    state_.colorIndex = reset.colorIndex;
    state_.script = reset.script;
    state_.eastAsianBold.reset();
    state_.eastAsianHalfPoints.reset();
    state_.font = defaultFont_;
}

// Every other word (\pard, \rtf, \viewkind, \lang and so on) changes nothing we keep.
void RtfReader::characterWord(std::string_view word) {
    const auto it = std::find_if(std::begin(kCharacterWords), std::end(kCharacterWords),
                                 [word](const CharacterWord& w) { return w.word == word; });
    if (it != std::end(kCharacterWords)) emitCodePoint(it->character);
}

void RtfReader::emitUnicodeParameter(int param) {
    const char32_t unit = static_cast<char32_t>(param < 0 ? param + 0x10000 : param) & 0xFFFF;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        if (highSurrogate_) {
            highSurrogate_ = 0;
            emitCodePoint(gbk::kReplacementCharacter);  // the earlier one had no partner
        }
        highSurrogate_ = unit;
        return;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        if (!highSurrogate_) {
            emitCodePoint(gbk::kReplacementCharacter);
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
    const std::string utf8 = gbk::codePageToUtf8Leniently(currentCodePage(), pendingBytes_);
    pendingBytes_.clear();
    emitUtf8(utf8);
}

void RtfReader::emitCodePoint(char32_t cp) {
    flushBytes();
    std::string utf8;
    gbk::appendUtf8(utf8, cp);
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
        emitCodePoint(gbk::kReplacementCharacter);  // a high surrogate with no partner
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

}  // namespace

std::optional<StyledDocument> readRtf(std::string_view bytes, std::string* error) {
    return RtfReader(bytes).read(error);
}

}  // namespace qingheng
