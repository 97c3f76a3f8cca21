#include "platform/Gbk.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <map>
#include <memory>

#include <fmt/format.h>

namespace qingheng::gbk {
namespace {

enum class Direction { ToUtf8, FromUtf8 };

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// The open converters of one thread, one per code page and direction: opening a converter
// costs far more than converting a short text, and readers convert thousands of them.
class Converters {
public:
    Converters() = default;
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
    ~Converters() {
        for (auto& [key, cd] : open_) {
            if (cd != kNoConverter) iconv_close(cd);
        }
    }

    // kNoConverter when the system knows no such code page.
    iconv_t get(int codePage, Direction direction) {
        const auto key = std::make_pair(codePage, direction);
        auto it = open_.find(key);
        if (it == open_.end()) {
            const std::string name = fmt::format("CP{}", codePage);
            const iconv_t cd =
                direction == Direction::ToUtf8 ? iconv_open("UTF-8", name.c_str()) : iconv_open(name.c_str(), "UTF-8");
            it = open_.emplace(key, cd).first;
        }
        return it->second;
    }

private:
    std::map<std::pair<int, Direction>, iconv_t> open_;
};

// Runs one whole conversion; nullopt on any invalid or unconvertible input.
std::optional<std::string> convert(int codePage, Direction direction, std::string_view in) {
    thread_local Converters converters;
    const iconv_t cd = converters.get(codePage, direction);
    if (cd == kNoConverter) return std::nullopt;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    std::string out(in.size() * 2 + 4, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) continue;
        if (errno != E2BIG) return std::nullopt;  // EILSEQ or EINVAL: invalid or unconvertible input
        const std::size_t used = out.size() - outLeft;
        out.resize(out.size() * 2);
        outPtr = out.data() + used;
        outLeft = out.size() - used;
    }
    out.resize(out.size() - outLeft);
    return out;
}

// GBK characters by table, for the many short fields of a case list: each byte above 0x7F
// alone and each two-byte sequence is asked of the system's converter the first time it
// is met and remembered as UTF-8, so the table says exactly what the converter says and a
// field costs a look-up per character instead of a converter call.
class GbkTable {
public:
    // One character as UTF-8; size 0 when the converter makes no single character of the bytes.
    struct Char {
        std::array<char, 4> bytes{};
        std::uint8_t size = kUnknown;
        bool valid() const { return size != 0; }
        std::string_view text() const { return {bytes.data(), size}; }
    };

    // Byte b (0x80 or above) alone.
    const Char& single(std::uint8_t b) {
        Char& c = singles_[b - 0x80];
        if (c.size == kUnknown) c = lookUp(std::string(1, static_cast<char>(b)));
        return c;
    }
    // Lead byte lead (0x80 or above) followed by trail.
    const Char& pair(std::uint8_t lead, std::uint8_t trail) {
        auto& row = pairs_[lead - 0x80];
        if (!row) row = std::make_unique<std::array<Char, 256>>();
        Char& c = (*row)[trail];
        if (c.size == kUnknown) c = lookUp({static_cast<char>(lead), static_cast<char>(trail)});
        return c;
    }

private:
    static constexpr std::uint8_t kUnknown = 0xFF;

    static Char lookUp(const std::string& bytes) {
        Char c;
        c.size = 0;
        const auto utf8 = convert(kCodePage, Direction::ToUtf8, bytes);
        std::size_t i = 0;
        if (!utf8 || utf8->empty() || !decodeUtf8(*utf8, i) || i != utf8->size()) return c;
        std::copy(utf8->begin(), utf8->end(), c.bytes.begin());  // at most four bytes: one character
        c.size = static_cast<std::uint8_t>(utf8->size());
        return c;
    }

    std::array<Char, 128> singles_;
    std::array<std::unique_ptr<std::array<Char, 256>>, 128> pairs_;
};

// GBK as UTF-8 by the table: a byte that is a character alone is taken alone, else with the
// byte after it, else it becomes U+FFFD (as the converter-based reading below does).
std::string gbkToUtf8Leniently(std::string_view bytes) {
    thread_local GbkTable table;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
        } else if (const GbkTable::Char& one = table.single(b); one.valid()) {
            out += one.text();
            ++i;
        } else if (i + 1 < bytes.size() && table.pair(b, static_cast<std::uint8_t>(bytes[i + 1])).valid()) {
            out += table.pair(b, static_cast<std::uint8_t>(bytes[i + 1])).text();
            i += 2;
        } else {
            appendUtf8(out, kReplacementCharacter);
            ++i;
        }
    }
    return out;
}

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<std::uint8_t>(c) < 0x80; });
}

}  // namespace

std::optional<std::string> fromUtf8(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);  // ASCII is the same in both
    return convert(kCodePage, Direction::FromUtf8, utf8);
}

std::optional<std::string> toUtf8(std::string_view gbkBytes) { return codePageToUtf8(kCodePage, gbkBytes); }

std::optional<std::string> codePageToUtf8(int codePage, std::string_view bytes) {
    if (isAscii(bytes)) return std::string(bytes);
    return convert(codePage, Direction::ToUtf8, bytes);
}

std::string codePageToUtf8Leniently(int codePage, std::string_view bytes) {
    if (codePage == kCodePage) return gbkToUtf8Leniently(bytes);
    if (auto whole = codePageToUtf8(codePage, bytes)) return std::move(*whole);
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<std::uint8_t>(bytes[i]) < 0x80) {
            out += bytes[i++];
        } else if (auto one = codePageToUtf8(codePage, bytes.substr(i, 1))) {
            out += *one;
            i += 1;
        } else if (auto two = i + 1 < bytes.size() ? codePageToUtf8(codePage, bytes.substr(i, 2)) : std::nullopt) {
            out += *two;
            i += 2;
        } else {
            appendUtf8(out, kReplacementCharacter);
            i += 1;
        }
    }
    return out;
}

bool canEncode(std::string_view utf8) { return fromUtf8(utf8).has_value(); }

std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& i) {
    const auto b0 = static_cast<std::uint8_t>(text[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    const int n = utf8SequenceLength(b0);
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

namespace {

// GBK bytes of one character: ASCII and the euro sign (0x80 in code page 936) take one.
int characterWidth(std::string_view ch) { return ch.size() == 1 || ch == "\u20AC" ? 1 : 2; }

}  // namespace

int width(std::string_view utf8) {
    int w = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const int n = utf8SequenceLength(static_cast<std::uint8_t>(utf8[i]));
        w += characterWidth(utf8.substr(i, n));
        i += n;
    }
    return w;
}

std::string padRight(std::string_view utf8, int targetWidth) {
    std::string out(utf8);
    for (int w = width(utf8); w < targetWidth; ++w) out += ' ';
    return out;
}

std::string padLeft(std::string_view utf8, int targetWidth) {
    const int w = width(utf8);
    std::string out(w < targetWidth ? targetWidth - w : 0, ' ');
    out += utf8;
    return out;
}

std::string slice(std::string_view utf8, int start, int length) {
    std::string out;
    int pos = 0;
    const int end = start + length;
    forEachCharacter(utf8, [&](std::string_view ch) {
        const int w = characterWidth(ch);
        if (pos >= start && pos + w <= end) out += ch;
        pos += w;
    });
    return out;
}

std::string truncate(std::string_view utf8, int maxWidth) { return slice(utf8, 0, maxWidth); }

}  // namespace qingheng::gbk
