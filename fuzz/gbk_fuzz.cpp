// Feeds arbitrary bytes to the GBK and UTF-8 helpers. Whatever they accept must come back:
// GBK that converts to UTF-8 converts back to the same bytes, widths count GBK bytes, and
// padding, slicing and cutting never split a character or exceed their width.
//
// Build and run (clang; see CONTRIBUTING.md):
//   cmake --build build-fuzz --target gbk_fuzz
//   build-fuzz/bin/gbk_fuzz -max_total_time=60
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/Gbk.h"

using namespace qingheng;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// Checks the width helpers on valid UTF-8 text that GBK can hold.
void checkWidths(const std::string& utf8, const std::string& gbkBytes, int n) {
    const int width = gbk::width(utf8);
    require(width == static_cast<int>(gbkBytes.size()));
    const std::string padded = gbk::padRight(utf8, n);
    require(gbk::width(padded) == std::max(width, n) && padded.substr(0, utf8.size()) == utf8);
    const std::string left = gbk::padLeft(utf8, n);
    require(gbk::width(left) == std::max(width, n) && left.substr(left.size() - utf8.size()) == utf8);
    const std::string cut = gbk::truncate(utf8, n);
    require(gbk::isValidUtf8(cut) && gbk::width(cut) <= std::max(n, 0) && utf8.substr(0, cut.size()) == cut);
    const std::string part = gbk::slice(utf8, n / 2, n);
    require(gbk::isValidUtf8(part) && gbk::width(part) <= std::max(n, 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int n = static_cast<int>(data[0] % 64) - 8;  // a width, sometimes below zero
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    // Bytes as GBK.
    if (const auto utf8 = gbk::toUtf8(bytes)) {
        require(gbk::isValidUtf8(*utf8) && gbk::canEncode(*utf8));
        const auto back = gbk::fromUtf8(*utf8);
        require(back && *back == bytes);
        checkWidths(*utf8, *back, n);
    }
    const std::string lenient = gbk::codePageToUtf8Leniently(gbk::kCodePage, bytes);
    require(gbk::isValidUtf8(lenient));

    // Bytes as UTF-8.
    std::size_t i = 0, characters = 0;
    while (i < bytes.size()) {
        const std::size_t start = i;
        const auto cp = gbk::decodeUtf8(bytes, i);
        if (!cp) break;
        require(i > start && i - start <= 4 && *cp <= 0x10FFFF && (*cp < 0xD800 || *cp > 0xDFFF));
        std::string again;
        gbk::appendUtf8(again, *cp);
        require(again == bytes.substr(start, i - start));
        ++characters;
    }
    require(gbk::isValidUtf8(bytes) == (i == bytes.size()));
    if (gbk::isValidUtf8(bytes)) {
        if (const auto encoded = gbk::fromUtf8(bytes)) {
            const auto decoded = gbk::toUtf8(*encoded);
            require(decoded && *decoded == bytes);
            checkWidths(std::string(bytes), *encoded, n);
        } else {
            require(!gbk::canEncode(bytes));
        }
    }
    return 0;
}
