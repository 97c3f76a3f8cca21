#include "reference/Lots.h"

#include "casting/StrokeTable.h"
#include "platform/Gbk.h"
#include "platform/StringTable.h"

namespace qingheng {
namespace {

constexpr int kInputBytes = 6;
constexpr int kTitleBytes = 10;  // "第", three digits, "签"
constexpr std::string_view kExplanationMark = "解签";

LotDraw Refuse(LotRefusal::Kind kind, std::string text, std::string caption) {
    return {0, {}, LotRefusal{kind, std::move(text), std::move(caption)}};
}

}  // namespace

int LotOfStrokes(const std::array<int, 3>& strokes) {
    int n = (strokes[0] % 10) * 100 + (strokes[1] % 10) * 10 + strokes[2] % 10;
    if (n == 0) n = 1;
    return (n - 1) % kLotCount + 1;
}

std::string LotMemo(std::string_view input, int lot) {
    const std::string& text = resourceString(kLotTextBase + lot);
    const std::string title = gbk::slice(text, 0, kTitleBytes);
    const std::size_t mark = text.find(kExplanationMark);
    const std::size_t verseStart = title.size();
    const std::size_t verseEnd = mark == std::string::npos ? text.size() : mark;
    std::string memo = "【测字:" + std::string(input) + ",得" + title + "】\n\n";
    memo += "●" + text.substr(verseStart, verseEnd - verseStart) + "\n\n";
    return memo + "※" + text.substr(verseEnd);
}

LotDraw DrawLot(std::string_view input) {
    const auto bytes = gbk::fromUtf8(input);
    // Text GBK cannot encode holds no character of the stroke table: refused as non-hanzi.
    if (bytes && bytes->size() != kInputBytes) return Refuse(LotRefusal::Kind::WrongLength, "必须输入3个汉字", "错误");
    if (!bytes || !gbk::allDoubleByte(*bytes)) return Refuse(LotRefusal::Kind::NotHanzi, "必须输入汉字", "错误");

    std::array<int, 3> strokes{};
    for (int k = 0; k < 3; ++k) {
        const std::string character = *gbk::toUtf8(bytes->substr(2 * k, 2));
        const CharacterStrokes found = lookUpStrokes(character);
        if (found.tableMissing) return Refuse(LotRefusal::Kind::TableMissing, std::string(kStrokeTableMissing), "错误");
        strokes[k] = found.count;
        if (strokes[k] <= 0)  // 0: no count; a negative count can only be damage
            return Refuse(LotRefusal::Kind::NoStrokes, "找不到\"" + character + "\"这个汉字的笔画", "没有的字");
    }
    const int lot = LotOfStrokes(strokes);
    return {lot, LotMemo(input, lot), std::nullopt};
}

}  // namespace qingheng
