// Feeds arbitrary text to the moment parser and arbitrary casting times and longitudes to the
// dating of a casting time. A parsed moment has its fields in range; a dated one has a real
// Gregorian date (within the calendar's years, or the hour that opens them) and four pillars
// in the cycle; a refusal says
// why; nothing is undefined, whatever the longitude (NaN and infinities included).
//
// Build and run (clang; see CONTRIBUTING.md):
//   cmake --build build-fuzz --target moment_fuzz
//   build-fuzz/bin/moment_fuzz -max_total_time=60
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "calendar/YearRange.h"
#include "calendar/Yidate.h"

using namespace qingheng;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool inCycle(GanZhi g) { return g >= 0 && g < 60; }

void checkDated(const CastingTime& entry, float longitude) {
    DatedMoment out;
    std::string error;
    if (!DateCastingTime(entry, longitude, out, error)) {
        require(!error.empty());
        return;
    }
    require(error.empty());
    // The corrected time may fall on the last evening of 1899: its hour 23 belongs to 1900.
    const CYiDate calendar;
    require(calendar.IsValidSolarDate(out.gregorian) && IsSupportedYear(out.moment.year));
    require(IsSupportedYear(out.gregorian.year) || (out.gregorian.year == kFirstYear - 1 && out.gregorian.hour == 23));
    require(out.gregorian.hour >= 0 && out.gregorian.hour < 24 && out.gregorian.minute >= 0 &&
            out.gregorian.minute < 60);
    require(inCycle(out.pillars.year) && inCycle(out.pillars.month) && inCycle(out.pillars.day) &&
            inCycle(out.pillars.hour));
    require(out.lunar.month >= 1 && out.lunar.month <= 12 && out.lunar.day >= 1 && out.lunar.day <= 30);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The text form.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto moment = ParseMomentText(text)) {
        require(moment->month >= 1 && moment->month <= 12 && moment->day >= 1 && moment->day <= 31);
        require(moment->hour >= 0 && moment->hour <= 23 && moment->minute >= 0 && moment->minute <= 59);
        CastingTime entry = GregorianCastingTime(*moment);
        checkDated(entry, kNoPosition);
        entry.lunar = 1;
        checkDated(entry, kNoPosition);
    }

    // Raw fields: year, month, day, hour, minute (16 bits each), flags, then a longitude.
    if (size < 15) return 0;
    std::int16_t fields[5];
    std::memcpy(fields, data, sizeof fields);
    float longitude = 0;
    std::memcpy(&longitude, data + 11, sizeof longitude);
    CastingTime entry{fields[0],
                      fields[1],
                      fields[2],
                      fields[3],
                      fields[4],
                      static_cast<std::uint8_t>(data[10] & 1),
                      static_cast<std::uint8_t>((data[10] >> 1) & 1)};
    checkDated(entry, longitude);
    // The same with the year brought into the calendar's range, so more moments get dated.
    entry.year = static_cast<std::int16_t>(kFirstYear + static_cast<std::uint16_t>(fields[0]) % kTableYears);
    checkDated(entry, longitude);
    return 0;
}
