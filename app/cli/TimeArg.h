#pragma once
// The "YYYY-MM-DD HH:MM" moment that several commands take.
#include <optional>
#include <string_view>

#include "calendar/Yidate.h"

namespace qingheng::cli {

// Year, month, day, hour and minute of "YYYY-MM-DD HH:MM" (one or two digits allowed for
// month, day, hour and minute). nullopt when the text has another form or a field is out
// of its range (month 1-12, day 1-31, hour 0-23, minute 0-59); whether the day exists in
// its month is left to the calendar.
std::optional<DateRecord> parseMomentArg(std::string_view text);

}  // namespace qingheng::cli
