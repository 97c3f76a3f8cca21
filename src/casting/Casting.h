#pragma once
// Casting methods and their common result: a main hexagram code with its moving lines, the
// changed code, the method label and, for number and character casting, the input text with
// the numbers that chose the trigrams. Codes are written top line first.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vocab/Hexagram.h"

namespace qingheng {

class Random;

enum class CastingMethod : int {
    Coins = 0,
    Time = 1,
    Name = 2,
    Number = 3,
    Characters = 4,
    Other = 5,
    Random = 6,
};
inline constexpr int kCastingMethodCount = 7;

// The label of each method, as listed and as printed after "起卦方式：".
inline constexpr std::array<std::string_view, kCastingMethodCount> kCastingMethodLabels = {
    "铜钱摇卦", "时间起卦", "卦名起卦", "数字起卦", "汉字起卦", "其它方式", "随机起卦"};
inline constexpr std::string_view kLifetimeLabel = "终身卦";
// The label of the cast held before the user casts anything (written with 他).
inline constexpr std::string_view kInitialCastLabel = "其他方式";

constexpr std::string_view CastingMethodLabel(CastingMethod m) { return kCastingMethodLabels[static_cast<int>(m)]; }

// The method list: each label followed by a spacer of two blanks, 14 items. Item 2k casts
// with method k; a spacer casts nothing.
inline constexpr std::string_view kMethodListSpacer = "  ";
inline constexpr int kMethodListItems = 2 * kCastingMethodCount;
constexpr std::optional<CastingMethod> MethodOfListItem(int item) {
    if (item < 0 || item >= kMethodListItems || item % 2 != 0) return std::nullopt;
    return static_cast<CastingMethod>(item / 2);
}

// Longest input text kept with a cast, in GBK bytes.
inline constexpr int kCastInputBytes = 40;

struct CastResult {
    std::string mainCode;     // six LineCode characters, moving lines as '3'/'4'
    std::string changedCode;  // six '1'/'2' characters
    CastingMethod method = CastingMethod::Other;
    std::string label;
    std::string input;  // digits or characters (number and character casting only)
    std::int16_t upper = 0, lower = 0, total = 0;
    friend bool operator==(const CastResult&, const CastResult&) = default;
};

// The cast the main window holds before any cast: method 5, "其他方式", 222131 / 222121.
CastResult InitialCastResult();

// Early Heaven numbers: sum mod 8 gives 1 乾 … 7 艮, 0 坤.
Trigram EarlyHeavenTrigram(int sum);
std::string EarlyHeavenTrigramCode(int sum);

// Makes line (1 = bottom … 6 = top) move: in the main code '1' → '3' and '2' → '4', and the
// changed code takes the opposite static line. The one place where a line is set moving.
void MoveLine(std::string& mainCode, std::string& changedCode, int line);

// Moving line of a total: total mod 6, 0 counting as 6.
int MovingLineOfTotal(int total);

// Main and changed code of an upper and a lower trigram with one moving line.
CastResult CastFromSums(int upperSum, int lowerSum, int movingTotal);

// The number procedure on a string of digits '0'-'9' (the caller checks them): the first
// half of the digits gives the upper number, the rest (one more for an odd count) the lower.
CastResult CastByNumber(std::string_view digits);

// A refusal of a casting input: the message box to show and whether the input is asked again.
enum class MessageKind { Plain, Information, Warning, Stop };  // Plain: no icon
struct CastMessage {
    std::string text;
    std::string caption;
    MessageKind kind = MessageKind::Warning;
    bool askAgain = false;
};

// The result of a casting input: a cast, or a refusal.
struct CastAttempt {
    std::optional<CastResult> result;
    std::optional<CastMessage> refusal;
};

// Number casting (method 3) of a non-empty input text.
CastAttempt CastNumberText(std::string_view text);

// Character casting (method 4) of a non-empty UTF-8 text, strokes from dat/hzlen.dat.
CastAttempt CastCharacterText(std::string_view text);

// Random casting (method 6) with one draw of the generator.
CastResult CastRandom(Random& random);

// The prompts of the two input boxes.
inline constexpr std::string_view kNumberCastPrompt = "请输入一个数字,如:电话号码等.\n至少2位,最多40位";
inline constexpr std::string_view kCharacterCastPrompt = "请输入2-20个汉字，笔画数以繁体字计算";

}  // namespace qingheng
