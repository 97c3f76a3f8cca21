#include "casting/Casting.h"

#include <fmt/format.h>

#include <vector>

#include "casting/StrokeTable.h"
#include "platform/Clock.h"
#include "platform/Gbk.h"

namespace qingheng {

CastResult InitialCastResult() {
    CastResult r;
    r.mainCode = "222131";
    r.changedCode = "222121";
    r.method = CastingMethod::Other;
    r.label = std::string(kInitialCastLabel);
    return r;
}

Trigram EarlyHeavenTrigram(int sum) { return (mod(sum, 8) + 7) % 8; }

std::string EarlyHeavenTrigramCode(int sum) { return TrigramCode(EarlyHeavenTrigram(sum)); }

void MoveLine(std::string& mainCode, std::string& changedCode, int line) {
    const std::size_t pos = 6 - line;  // line 1 is the last character
    if (mainCode[pos] == kYoungYang || mainCode[pos] == kOldYang) {
        mainCode[pos] = kOldYang;
        changedCode[pos] = kYoungYin;
    } else {
        mainCode[pos] = kOldYin;
        changedCode[pos] = kYoungYang;
    }
}

int MovingLineOfTotal(int total) {
    const int m = mod(total, 6);
    return m == 0 ? 6 : m;
}

CastResult CastFromSums(int upperSum, int lowerSum, int movingTotal) {
    CastResult r;
    r.mainCode = EarlyHeavenTrigramCode(upperSum) + EarlyHeavenTrigramCode(lowerSum);
    r.changedCode = r.mainCode;
    MoveLine(r.mainCode, r.changedCode, MovingLineOfTotal(movingTotal));
    return r;
}

namespace {

// Upper and lower sums of a list of numbers split at half (the lower half takes the extra).
CastResult CastFromNumbers(const std::vector<int>& numbers) {
    const std::size_t half = numbers.size() / 2;
    int upper = 0, lower = 0;
    for (std::size_t i = 0; i < numbers.size(); ++i) (i < half ? upper : lower) += numbers[i];
    CastResult r = CastFromSums(upper, lower, upper + lower);
    r.upper = static_cast<std::int16_t>(upper);
    r.lower = static_cast<std::int16_t>(lower);
    r.total = static_cast<std::int16_t>(upper + lower);
    return r;
}

CastAttempt Refuse(std::string text, std::string caption, MessageKind kind, bool askAgain) {
    return {std::nullopt, CastMessage{std::move(text), std::move(caption), kind, askAgain}};
}

bool AllDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

CastResult CastByNumber(std::string_view digits) {
    std::vector<int> numbers;
    for (char c : digits) numbers.push_back(c - '0');
    CastResult r = CastFromNumbers(numbers);
    r.input = std::string(digits);
    return r;
}

CastAttempt CastNumberText(std::string_view text) {
    const int length = gbk::width(text);
    if (length < 2 || length > kCastInputBytes)
        return Refuse("数字个数为 2至 40个！", "个数不对", MessageKind::Warning, true);
    if (!AllDigits(text)) return Refuse("应该输入数字！", "数字", MessageKind::Warning, true);
    CastResult r = CastByNumber(text);
    r.method = CastingMethod::Number;
    r.label = std::string(CastingMethodLabel(r.method));
    return {r, std::nullopt};
}

CastAttempt CastCharacterText(std::string_view text) {
    const auto bytes = gbk::fromUtf8(text);
    if (!bytes || !gbk::allDoubleByte(*bytes)) return Refuse("必须输入汉字", "错误", MessageKind::Warning, true);
    if (bytes->size() < 4 || bytes->size() > static_cast<std::size_t>(kCastInputBytes))
        return Refuse("汉字个数为2-20个", "错误", MessageKind::Warning, true);

    std::vector<int> strokes;
    for (std::size_t i = 0; i < bytes->size(); i += 2) {
        const std::string name = gbk::toUtf8(bytes->substr(i, 2)).value_or(std::string());
        const CharacterStrokes found = lookUpStrokes(name);
        if (found.tableMissing) return Refuse(std::string(kStrokeTableMissing), "错误", MessageKind::Stop, false);
        if (found.count <= 0)  // 0 means no count; a negative one can only be damage
            return Refuse("找不到“" + name + "”这个汉字的笔划数", "找不到", MessageKind::Information, false);
        strokes.push_back(found.count);
    }
    CastResult r = CastFromNumbers(strokes);
    r.input = std::string(text);
    r.method = CastingMethod::Characters;
    r.label = std::string(CastingMethodLabel(r.method));
    return {r, std::nullopt};
}

CastResult CastRandom(Random& random) {
    const int n = random.next31() % 10000000 + 100;
    const CastResult scratch = CastByNumber(fmt::format("{}", n));
    CastResult r;
    r.mainCode = scratch.mainCode;
    r.changedCode = scratch.changedCode;
    r.method = CastingMethod::Random;
    r.label = std::string(CastingMethodLabel(r.method));
    return r;
}

}  // namespace qingheng
