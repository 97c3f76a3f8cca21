#pragma once
// One entry point that casts by a method named in text, for the command line: the same
// procedures the dialogs run, with the dialog's choices given as arguments.
#include <optional>
#include <string>

#include "calendar/Yidate.h"
#include "casting/Casting.h"

namespace qingheng {

// What the chosen method reads. Method names: number, chars, random, time, name, other
// (also trigrams), coins, or the method labels ("数字起卦" …).
struct CastArguments {
    std::string input;      // digits, characters, a hexagram name, "YYYY-MM-DD HH:MM", the six
                            // coin items "1,2,3,4,1,2" (bottom first), or "UPPER LOWER" trigrams
    std::string upper;      // trigrams of the other method ("乾一", "乾", "天" or 1-8), when not
    std::string lower;      // given in input
    std::string moving;     // moving lines of name and other casting, "1,3" (1 = bottom line)
    bool lunar = false;     // time: the date is lunar
    bool leap = false;      // time: the lunar month is the leap month
    std::string addNumber;  // time: "加数字"
    std::string addChar;    // time: "加汉字"
    std::string lifetime;   // time: "gan" or "zhi" casts the lifetime hexagram
};

// What a time cast tells beyond its result.
struct CastDetails {
    std::optional<DateRecord> gregorian;  // the moment as a Gregorian date-time
    bool lifetime = false;                // the lifetime page was used: the moment replaces the casting time
    std::string hint;                     // the dialog's hint line
};

// Casts by the named method; nullopt with the refusal message in error.
std::optional<CastResult> castByMethodName(const std::string& method, const CastArguments& args, std::string& error,
                                           CastDetails* details = nullptr);

// The method a name stands for; nullopt for an unknown name.
std::optional<CastingMethod> castingMethodOfName(const std::string& name);

}  // namespace qingheng
