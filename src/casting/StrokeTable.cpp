#include "casting/StrokeTable.h"

#include <fstream>

#include "platform/Gbk.h"
#include "platform/ProgramFolder.h"

namespace qingheng {

namespace {
constexpr int kFirstHanziRow = 16;  // row 0xB0 counted from 0xA0
constexpr int kCellsPerRow = 94;
constexpr std::uint8_t kFirstLead = 0xB0, kLastLead = 0xF7;
constexpr std::uint8_t kFirstTrail = 0xA1, kLastTrail = 0xFE;
}  // namespace

std::optional<int> strokeRecordNumber(std::uint8_t b0, std::uint8_t b1) {
    // Only GB2312 hanzi have records. GBK's extension characters share lead bytes with them
    // (B040, B080 …); their trail bytes below 0xA1 would wrap onto another character's record.
    if (b0 < kFirstLead || b0 > kLastLead || b1 < kFirstTrail || b1 > kLastTrail) return std::nullopt;
    const int row = ((b0 - 0xA0) & 0x7F) - kFirstHanziRow;
    const int cell = ((b1 - 0xA0) & 0x7F) - 1;
    return row * kCellsPerRow + cell;
}

std::optional<int> readStrokeRecord(const std::filesystem::path& table, int record) {
    std::ifstream file(table, std::ios::binary);
    if (!file) return std::nullopt;
    unsigned char bytes[kStrokeRecordSize];
    file.seekg(static_cast<std::streamoff>(record) * kStrokeRecordSize);
    if (!file.read(reinterpret_cast<char*>(bytes), kStrokeRecordSize)) return std::nullopt;
    return static_cast<std::int16_t>(bytes[2] | (bytes[3] << 8));
}

int strokeCountGbk(std::string_view gbkBytes) {
    if (gbkBytes.size() != 2) return 0;
    const auto record =
        strokeRecordNumber(static_cast<std::uint8_t>(gbkBytes[0]), static_cast<std::uint8_t>(gbkBytes[1]));
    if (!record) return 0;
    return readStrokeRecord(datFile(kStrokeTableFile), *record).value_or(0);
}

int strokeCount(std::string_view utf8Character) {
    const auto bytes = gbk::fromUtf8(utf8Character);
    return bytes ? strokeCountGbk(*bytes) : 0;
}

}  // namespace qingheng
