#include "platform/Gbk.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace qingheng::gbk {
namespace {

// Runs one whole conversion; nullopt on any invalid or unconvertible input.
std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(in.size() * 2 + 4, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    bool ok = true;
    while (inLeft > 0) {
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) {
                const std::size_t used = out.size() - outLeft;
                out.resize(out.size() * 2);
                outPtr = out.data() + used;
                outLeft = out.size() - used;
                continue;
            }
            ok = false;  // EILSEQ or EINVAL: invalid or unconvertible input
            break;
        }
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::optional<std::string> fromUtf8(std::string_view utf8) { return convert("CP936", "UTF-8", utf8); }

std::optional<std::string> toUtf8(std::string_view gbkBytes) { return convert("UTF-8", "CP936", gbkBytes); }

bool canEncode(std::string_view utf8) { return fromUtf8(utf8).has_value(); }

int width(std::string_view utf8) {
    int w = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<std::uint8_t>(utf8[i]);
        const int n = utf8SequenceLength(b);
        w += (n == 1) ? 1 : 2;
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
        const int w = ch.size() == 1 ? 1 : 2;
        if (pos >= start && pos + w <= end) out += ch;
        pos += w;
    });
    return out;
}

std::string truncate(std::string_view utf8, int maxWidth) { return slice(utf8, 0, maxWidth); }

}  // namespace qingheng::gbk
