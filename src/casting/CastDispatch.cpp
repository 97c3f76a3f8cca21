#include "casting/CastDispatch.h"

#include <array>
#include <cstdio>
#include <vector>

#include "casting/NameCasting.h"
#include "casting/TimeCasting.h"
#include "platform/Clock.h"
#include "platform/Settings.h"

namespace qingheng {

namespace {

struct MethodName {
    const char* name;
    CastingMethod method;
};
constexpr std::array<MethodName, 8> kMethodNames = {{{"coins", CastingMethod::Coins},
                                                     {"time", CastingMethod::Time},
                                                     {"name", CastingMethod::Name},
                                                     {"number", CastingMethod::Number},
                                                     {"chars", CastingMethod::Characters},
                                                     {"other", CastingMethod::Other},
                                                     {"trigrams", CastingMethod::Other},
                                                     {"random", CastingMethod::Random}}};

// Items of a list written "1,3" or "1 3"; nullopt when an item is not a whole number.
std::optional<std::vector<int>> ParseNumberList(const std::string& text) {
    std::vector<int> out;
    std::string item;
    auto flush = [&]() -> bool {
        if (item.empty()) return true;
        for (char c : item) {
            if (c < '0' || c > '9' || item.size() > 3) return false;
        }
        out.push_back(std::stoi(item));
        item.clear();
        return true;
    };
    for (char c : text) {
        if (c == ',' || c == ' ') {
            if (!flush()) return std::nullopt;
        } else {
            item += c;
        }
    }
    if (!flush()) return std::nullopt;
    return out;
}

std::optional<MovingLines> ParseMovingLines(const std::string& text, std::string& error) {
    MovingLines moving{};
    const auto lines = ParseNumberList(text);
    bool ok = lines.has_value();
    if (ok) {
        for (int line : *lines) {
            if (line < 1 || line > 6) ok = false;
            else moving[line - 1] = true;
        }
    }
    if (!ok) {
        error = "动爻应为1至6的数，以逗号分开（1为初爻）：" + text;
        return std::nullopt;
    }
    return moving;
}

std::optional<CastResult> FromAttempt(const CastAttempt& attempt, std::string& error) {
    if (attempt.refusal) error = attempt.refusal->text;
    return attempt.result;
}

std::optional<CastResult> CastCoins(const CastArguments& args, std::string& error) {
    const auto items = ParseNumberList(args.input);
    std::array<int, 6> topFirst{};
    bool ok = items && items->size() == 6;
    for (std::size_t i = 0; ok && i < 6; ++i) {
        const int item = (*items)[i];
        if (item < 1 || item > 4) ok = false;
        else topFirst[5 - i] = item - 1;
    }
    if (!ok) {
        error = "铜钱结果应为六个1至4的数，从初爻写起（1一个背，2两个背，3三个背，4三个面）：" + args.input;
        return std::nullopt;
    }
    return CastFromCoinItems(topFirst);
}

std::optional<CastResult> CastName(const CastArguments& args, std::string& error) {
    const auto moving = ParseMovingLines(args.moving, error);
    if (!moving) return std::nullopt;
    const auto cell = FindNameCell(args.input);
    const auto result =
        cell ? CastByNameCell(NameGridCell(cell->first, cell->second), cell->second, *moving) : std::nullopt;
    if (!result) error = "没有这个卦名：" + args.input;
    return result;
}

std::optional<CastResult> CastOther(const CastArguments& args, std::string& error) {
    const auto moving = ParseMovingLines(args.moving, error);
    if (!moving) return std::nullopt;
    std::string upperText = args.upper, lowerText = args.lower;
    if (upperText.empty() && lowerText.empty()) {
        const std::size_t split = args.input.find_first_of(", ");
        if (split != std::string::npos) {
            upperText = args.input.substr(0, split);
            lowerText = args.input.substr(split + 1);
        }
    }
    const auto upper = ParseTrigram(upperText);
    const auto lower = ParseTrigram(lowerText);
    if (!upper || !lower) {
        error = "上卦和下卦应为乾一至坤八（卦名、卦象或1至8）：" + upperText + " " + lowerText;
        return std::nullopt;
    }
    return CastByTrigrams(*upper, *lower, *moving, CastingMethod::Other);
}

std::optional<TimeInput> ParseTimeText(const std::string& text) {
    const std::optional<DateRecord> d = ParseMomentText(text);
    if (!d) return std::nullopt;
    return TimeInput{d->year, d->month, d->day, d->hour, d->minute};
}

std::optional<CastResult> CastTime(const CastArguments& args, std::string& error, CastDetails* details) {
    auto input = ParseTimeText(args.input);
    if (!input) {
        error = "时间应写作 YYYY-MM-DD HH:MM：" + args.input;
        return std::nullopt;
    }
    if (!args.lifetime.empty() && args.lifetime != "gan" && args.lifetime != "zhi") {
        error = "终身卦应以天干（gan）或地支（zhi）起：" + args.lifetime;
        return std::nullopt;
    }
    if (!args.addNumber.empty() && !args.addChar.empty()) {
        error = "加数字和加汉字只能选一个";
        return std::nullopt;
    }
    input->lunar = args.lunar;
    input->leap = args.leap;
    const TimeCheck check = CheckTimeInput(*input, readChartSettings().timegua);
    if (!check.moment) {
        error = check.refusal->text;
        return std::nullopt;
    }
    const bool lifetime = !args.lifetime.empty();
    CastResult result;
    if (lifetime) {
        result = CastLifetime(*check.moment, args.lifetime == "zhi" ? LifetimeStart::Branch : LifetimeStart::Stem);
    } else {
        const TimeAddition kind = !args.addNumber.empty() ? TimeAddition::Number
                                  : !args.addChar.empty() ? TimeAddition::Character
                                                          : TimeAddition::None;
        const AdditionCheck addition =
            CheckAddition(kind, kind == TimeAddition::Number ? args.addNumber : args.addChar);
        if (addition.refusal) {
            error = addition.refusal->text;
            return std::nullopt;
        }
        result = CastByTime(*check.moment, addition.value);
    }
    if (details) {
        details->gregorian = check.moment->gregorian;
        details->lifetime = lifetime;
        details->hint = TimeHint(*check.moment);
    }
    return result;
}

}  // namespace

std::optional<CastingMethod> castingMethodOfName(const std::string& name) {
    for (const auto& m : kMethodNames) {
        if (name == m.name) return m.method;
    }
    for (int i = 0; i < kCastingMethodCount; ++i) {
        if (name == kCastingMethodLabels[i]) return static_cast<CastingMethod>(i);
    }
    return std::nullopt;
}

std::optional<CastResult> castByMethodName(const std::string& method, const CastArguments& args, std::string& error,
                                           CastDetails* details) {
    const auto m = castingMethodOfName(method);
    if (!m) {
        error = "没有这种起卦方式：" + method + "（number、chars、random、time、name、other、coins）";
        return std::nullopt;
    }
    switch (*m) {
        case CastingMethod::Coins:
            return CastCoins(args, error);
        case CastingMethod::Time:
            return CastTime(args, error, details);
        case CastingMethod::Name:
            return CastName(args, error);
        case CastingMethod::Number:
            return FromAttempt(CastNumberText(args.input), error);
        case CastingMethod::Characters:
            return FromAttempt(CastCharacterText(args.input), error);
        case CastingMethod::Other:
            return CastOther(args, error);
        case CastingMethod::Random:
            return CastRandom(appRandom());
    }
    return std::nullopt;
}

}  // namespace qingheng
