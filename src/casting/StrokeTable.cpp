#include "casting/StrokeTable.h"

#include <opencc.h>

#include <fstream>
#include <memory>

#include "platform/Gbk.h"
#include "platform/ProgramFolder.h"

namespace qingheng {

namespace {
constexpr int kFirstHanziRow = 16;  // row 0xB0 counted from 0xA0
constexpr int kCellsPerRow = 94;
constexpr std::uint8_t kFirstLead = 0xB0, kLastLead = 0xF7;
constexpr std::uint8_t kFirstTrail = 0xA1, kLastTrail = 0xFE;

// OpenCC's traditional-to-simplified converter, loaded at its first use; null when its
// dictionaries are not installed.
const opencc::SimpleConverter* traditionalToSimplified() {
    static const std::unique_ptr<opencc::SimpleConverter> converter = []() -> std::unique_ptr<opencc::SimpleConverter> {
        try {
            return std::make_unique<opencc::SimpleConverter>(OPENCC_DEFAULT_CONFIG_TRAD_TO_SIMP);
        } catch (const std::exception&) {
            return nullptr;
        }
    }();
    return converter.get();
}

// The record of one character: nullopt when it is not one GB2312 hanzi.
std::optional<int> recordOf(std::string_view utf8Character) {
    const auto bytes = gbk::fromUtf8(utf8Character);
    if (!bytes || bytes->size() != 2) return std::nullopt;
    return strokeRecordNumber(static_cast<std::uint8_t>((*bytes)[0]), static_cast<std::uint8_t>((*bytes)[1]));
}

// One non-ASCII character: the only text a simplified form can help.
bool isOneWideCharacter(std::string_view utf8) {
    int characters = 0;
    const bool whole = gbk::forEachCharacter(utf8, [&](std::string_view) { ++characters; });
    return whole && characters == 1 && static_cast<unsigned char>(utf8[0]) >= 0x80;
}

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

std::string simplifiedCharacter(std::string_view utf8Character) {
    const opencc::SimpleConverter* converter = traditionalToSimplified();
    if (!converter || utf8Character.empty()) return std::string(utf8Character);
    try {
        return converter->Convert(utf8Character.data(), utf8Character.size());
    } catch (const std::exception&) {
        return std::string(utf8Character);
    }
}

CharacterStrokes lookUpStrokes(std::string_view utf8Character) {
    std::optional<int> record = recordOf(utf8Character);
    if (!record && isOneWideCharacter(utf8Character)) record = recordOf(simplifiedCharacter(utf8Character));
    if (!record) return {};
    const std::filesystem::path table = datFileToRead(kStrokeTableFile);
    if (std::error_code ec; !std::filesystem::exists(table, ec)) return {0, true};
    const std::optional<int> count = readStrokeRecord(table, *record);
    if (!count) return {0, true};
    return {*count, false};
}

}  // namespace qingheng
