#include "reference/StrokeEditor.h"

#include <fmt/format.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include "casting/StrokeTable.h"
#include "platform/Gbk.h"

namespace qingheng {
namespace {

constexpr std::uint8_t kLowestHanziByte = 0xA0;

std::optional<int> RecordOf(std::string_view gbkCharacter) {
    if (gbkCharacter.size() != 2) return std::nullopt;
    return strokeRecordNumber(static_cast<std::uint8_t>(gbkCharacter[0]), static_cast<std::uint8_t>(gbkCharacter[1]));
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string WriteFailure(const std::filesystem::path& table, int error) {
    const std::string reason = error != 0 ? std::strerror(error) : "写入出错";
    return fmt::format("无法写入汉字库文件 {}（{}），笔画数没有修改。", table.string(), reason);
}

}  // namespace

std::optional<std::string> SingleDoubleByteCharacter(std::string_view utf8) {
    auto bytes = gbk::fromUtf8(utf8);
    if (!bytes || bytes->size() != 2 || !gbk::allDoubleByte(*bytes)) return std::nullopt;
    return bytes;
}

StrokeLookup LookUpStrokes(const std::filesystem::path& table, std::string_view gbkCharacter) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(table, ec)) return {};
    const auto record = RecordOf(gbkCharacter);
    if (!record) return {0, true};
    return {readStrokeRecord(table, *record).value_or(0), false};
}

std::optional<int> AcceptedStrokeCount(std::string_view gbkCharacter, std::string_view countText) {
    int count = 0;
    const auto [end, ec] = std::from_chars(countText.data(), countText.data() + countText.size(), count);
    if (ec != std::errc() || end != countText.data() + countText.size()) count = 0;
    if (count < kMinStrokes || count > kMaxStrokes) return std::nullopt;
    if (gbkCharacter.size() != 2) return std::nullopt;
    for (const char b : gbkCharacter) {
        if (static_cast<std::uint8_t>(b) < kLowestHanziByte) return std::nullopt;
    }
    return count;
}

StrokeWrite WriteStrokeCount(const std::filesystem::path& table, std::string_view gbkCharacter, int count) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(table, ec))
        return {false, false, fmt::format("无法打开汉字库文件 {} 进行修改，笔画数没有修改。", table.string())};
    // "r+b" opens for update without truncating: the rest of the table stays as it is.
    FilePtr file(std::fopen(table.c_str(), "r+b"));
    if (!file)
        return {false, false,
                fmt::format("无法打开汉字库文件 {} 进行修改（{}），笔画数没有修改。", table.string(),
                            std::strerror(errno))};
    const auto record = RecordOf(gbkCharacter);
    if (!record) return {false, true, {}};

    // Read the whole record first: a table cut short fails here instead of being extended.
    const long offset = static_cast<long>(*record) * kStrokeRecordSize;
    unsigned char bytes[kStrokeRecordSize];
    if (std::fseek(file.get(), offset, SEEK_SET) != 0 ||
        std::fread(bytes, 1, kStrokeRecordSize, file.get()) != kStrokeRecordSize)
        return {false, false,
                fmt::format("汉字库文件 {} 不完整，读不到这个汉字的记录，笔画数没有修改。", table.string())};

    const unsigned char countBytes[2] = {static_cast<unsigned char>(count & 0xFF),
                                         static_cast<unsigned char>((count >> 8) & 0xFF)};
    errno = 0;
    if (std::fseek(file.get(), offset + 2, SEEK_SET) != 0 || std::fwrite(countBytes, 1, 2, file.get()) != 2 ||
        std::fflush(file.get()) != 0)
        return {false, false, WriteFailure(table, errno)};
    errno = 0;
    if (std::fclose(file.release()) != 0) return {false, false, WriteFailure(table, errno)};
    return {true, false, {}};
}

}  // namespace qingheng
