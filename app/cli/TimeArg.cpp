#include "TimeArg.h"

#include <cctype>

namespace qingheng::cli {
namespace {

// Reads between minDigits and maxDigits decimal digits at text[pos].
std::optional<int> readNumber(std::string_view text, std::size_t& pos, int minDigits, int maxDigits) {
    int value = 0;
    int digits = 0;
    while (pos < text.size() && digits < maxDigits && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    if (digits < minDigits) return std::nullopt;
    return value;
}

bool expect(std::string_view text, std::size_t& pos, char ch) {
    if (pos >= text.size() || text[pos] != ch) return false;
    ++pos;
    return true;
}

}  // namespace

std::optional<DateRecord> parseMomentArg(std::string_view text) {
    std::size_t pos = 0;
    const auto year = readNumber(text, pos, 4, 4);
    if (!year || !expect(text, pos, '-')) return std::nullopt;
    const auto month = readNumber(text, pos, 1, 2);
    if (!month || !expect(text, pos, '-')) return std::nullopt;
    const auto day = readNumber(text, pos, 1, 2);
    if (!day || !expect(text, pos, ' ')) return std::nullopt;
    const auto hour = readNumber(text, pos, 1, 2);
    if (!hour || !expect(text, pos, ':')) return std::nullopt;
    const auto minute = readNumber(text, pos, 1, 2);
    if (!minute || pos != text.size()) return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59) return std::nullopt;
    DateRecord d;
    d.year = static_cast<std::int16_t>(*year);
    d.month = static_cast<std::int16_t>(*month);
    d.day = static_cast<std::int16_t>(*day);
    d.hour = static_cast<std::int16_t>(*hour);
    d.minute = static_cast<std::int16_t>(*minute);
    return d;
}

}  // namespace qingheng::cli
