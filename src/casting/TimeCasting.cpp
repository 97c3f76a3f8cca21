#include "casting/TimeCasting.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <tuple>

#include "casting/StrokeTable.h"
#include "platform/Gbk.h"

namespace qingheng {

namespace {

TimeCheck Refuse(std::string text, std::string caption, MessageKind kind, bool focusYear = false) {
    TimeCheck c;
    c.refusal = CastMessage{std::move(text), std::move(caption), kind, false};
    c.focusYear = focusYear;
    return c;
}

// Month number by the solar terms: 1 for the month opened by 立春 … 12 for 小寒's.
int SolarTermMonthNumber(const DateRecord& moment) {
    CYiDate calendar;
    DateRecord term;
    calendar.SolarTermMoment(moment.year, moment.month, 1, term);
    int m = moment.month;
    if (IsBefore(moment, term)) --m;
    --m;
    if (m < 1) m += 12;
    return m;
}

// A whole number typed into an edit; anything else counts as 0.
int NumberOrZero(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return 0;
    return value;
}

CastResult CastFromYearNumber(const TimeMoment& moment, int yearNumber, int addition) {
    const int s = yearNumber + moment.monthNumber + moment.lunarDay;
    const int t = s + HourNumber(moment.gregorian.hour) + addition;
    return CastFromSums(s, t, t);
}

}  // namespace

CastingTime CastingTimeOfEntry(const TimeCastingEntry& e) {
    return CastingTime{e.year, e.month, e.day, e.hour, e.minute, e.lunar, e.leap};
}

void RememberCastingTime(TimeCastingEntry& entry, const CastingTime& t) {
    std::tie(entry.year, entry.month, entry.day, entry.hour, entry.minute, entry.lunar, entry.leap) =
        std::tie(t.year, t.month, t.day, t.hour, t.minute, t.lunar, t.leap);
}

TimeCheck CheckTimeInput(const TimeInput& input, int monthMode) {
    if (!IsSupportedYear(input.year)) return Refuse(std::string(kCastingYearText), "时间错误", MessageKind::Stop, true);
    CYiDate calendar;
    const DateRecord entered{static_cast<std::int16_t>(input.year), static_cast<std::int16_t>(input.month),
                             static_cast<std::int16_t>(input.day), static_cast<std::int16_t>(input.hour),
                             static_cast<std::int16_t>(input.minute)};
    DateRecord g;
    if (!input.lunar) {
        if (!calendar.IsValidSolarDate(entered)) return Refuse("不存在这个日期", "错误", MessageKind::Warning);
        g = entered;
    } else {
        std::string message;
        if (!calendar.LunarToSolar(entered, g, input.leap, message))
            return Refuse(message, "错误", MessageKind::Warning);
        if (!IsSupportedYear(g.year)) return Refuse(std::string(kOutOfRangeText), "错误", MessageKind::Warning);
    }
    DateRecord r = g;
    if (r.hour == 23) calendar.AddOneDay(r);
    if (!IsSupportedYear(r.year)) return Refuse(std::string(kOutOfRangeText), "错误", MessageKind::Warning);

    DateRecord lunar;
    calendar.SolarToLunar(r, lunar);
    TimeMoment m;
    m.gregorian = g;
    m.shown = r;
    m.yearNumber = YearPillar(g);
    m.monthNumber = monthMode == kMonthsBySolarTerms ? SolarTermMonthNumber(g) : lunar.month;
    m.lunarDay = lunar.day;
    TimeCheck c;
    c.moment = m;
    return c;
}

std::string TimeHint(const TimeMoment& m) {
    const DateRecord& r = m.shown;
    return fmt::format("公：{}-{}-{} {}:{}，农：{}{}年{}月{}日", r.year, r.month, r.day, r.hour, r.minute,
                       StemName(StemOf(m.yearNumber)), BranchName(BranchOf(m.yearNumber)),
                       BranchName((m.monthNumber + 2) % 12), m.lunarDay);
}

int HourNumber(int hour) { return DoubleHourOf(hour) + 1; }

AdditionCheck CheckAddition(TimeAddition kind, std::string_view text) {
    AdditionCheck c;
    if (kind == TimeAddition::Number) {
        c.value = gbk::width(text) <= kAdditionDigits ? NumberOrZero(text) : 0;
        if (c.value < 1) {
            c.refusal = CastMessage{"请输入1至999之间的数", "提示", MessageKind::Plain, false};
            c.clearEdit = true;
        }
        return c;
    }
    if (kind != TimeAddition::Character) return c;

    const auto bytes = gbk::fromUtf8(text);
    if (bytes && bytes->size() != static_cast<std::size_t>(kAdditionCharBytes)) {
        c.refusal = CastMessage{"请输入一个汉字。", "提示", MessageKind::Plain, false};
        return c;
    }
    if (!bytes || !gbk::isLeadByte(static_cast<std::uint8_t>((*bytes)[0])) ||
        !gbk::isTrailByte(static_cast<std::uint8_t>((*bytes)[1]))) {
        c.refusal = CastMessage{"请输入一个汉字。", "无效", MessageKind::Stop, false};
        c.clearEdit = true;
        return c;
    }
    const CharacterStrokes found = lookUpStrokes(text);
    c.value = std::max(found.count, 0);
    if (found.tableMissing) {
        c.refusal = CastMessage{std::string(kStrokeTableMissing), "错误", MessageKind::Stop, false};
    } else if (c.value == 0) {
        c.refusal =
            CastMessage{"找不到“" + std::string(text) + "”这个汉字的笔划", "找不到", MessageKind::Information, false};
    }
    return c;
}

CastResult CastByTime(const TimeMoment& moment, int addition) {
    const int y = mod(BranchOf(moment.yearNumber) - 1, 12) + 1;  // 子 1 … 亥 12
    CastResult r = CastFromYearNumber(moment, y, addition);
    r.method = CastingMethod::Time;
    r.label = std::string(CastingMethodLabel(r.method));
    return r;
}

CastResult CastLifetime(const TimeMoment& moment, LifetimeStart start) {
    const int y = start == LifetimeStart::Stem ? mod(StemOf(moment.yearNumber) - 1, 10) + 1  // 甲 1 … 癸 10
                                               : mod(BranchOf(moment.yearNumber) - 1, 12) + 1;
    CastResult r = CastFromYearNumber(moment, y, 0);
    r.method = CastingMethod::Time;
    r.label = std::string(kLifetimeLabel);
    return r;
}

}  // namespace qingheng
