#include "casebook/CaseRecord.h"

#include <algorithm>
#include <cstring>

#include <fmt/format.h>

#include "platform/ByteOrder.h"
#include "platform/Gbk.h"

namespace qingheng {
namespace {

constexpr std::array<CaseFieldInfo, 7> kFields = {{
    {"求测人", slot::kName, slot::kNameSize, 10},
    {"类别", slot::kCategory, slot::kCategorySize, 13},
    {"附加信息", 60, 1002, 1000},
    {"占问事宜", slot::kQuestion, slot::kQuestionSize, 40},
    {"主卦卦码", slot::kMainCode, slot::kCodeSize, 6},
    {"变卦卦码", slot::kChangedCode, slot::kCodeSize, 6},
    {"起卦方式", 1190, 22, 21},
}};

constexpr int kYearOffset = slot::kYear, kMonth = 34, kDay = 36, kHour = 38, kMinute = 40;
constexpr int kLunar = 42, kLeap = 43, kReserved1 = 46, kReserved2 = 48, kLongitude = 52, kLatitude = 56;
constexpr int kUseGod = 1104, kUnused = 1108;

// The cast input inside the spare bytes: a marker ("QHI" and a version), the text's length,
// the text (GBK, zero-padded) and the upper, lower and total numbers.
constexpr std::array<char, 4> kInputMarker = {'Q', 'H', 'I', 1};
constexpr int kInputLength = kUnused + 4, kInputText = kUnused + 5;
constexpr int kInputUpper = kInputText + kStoredCastInputBytes, kInputLower = kInputUpper + 2,
              kInputTotal = kInputLower + 2;
static_assert(kInputTotal + 2 <= kUnused + 68, "the cast input fits the spare bytes");

template <typename T>
void put(CaseRecordBytes& out, int offset, T value) {
    storeLittleEndian(out.data() + offset, value);
}

template <typename T>
T get(const CaseRecordBytes& in, int offset) {
    return loadLittleEndian<T>(in.data() + offset);
}

bool hasInputMarker(const CaseRecordBytes& bytes) {
    return std::equal(kInputMarker.begin(), kInputMarker.end(), bytes.begin() + kUnused);
}

Status checkCastInput(const StoredCastInput& input) {
    if (!gbk::canEncode(input.text)) return Status::failure("起卦输入含有无法保存的字符。");
    if (gbk::width(input.text) > kStoredCastInputBytes)
        return Status::failure(fmt::format("起卦输入太长：最多{}个字节。", kStoredCastInputBytes));
    return Status::success();
}

void putCastInput(CaseRecordBytes& bytes, const StoredCastInput& input) {
    const std::string text = *gbk::fromUtf8(input.text);
    std::fill(bytes.begin() + kInputText, bytes.begin() + kInputUpper, '\0');
    std::copy(kInputMarker.begin(), kInputMarker.end(), bytes.begin() + kUnused);
    put<std::uint8_t>(bytes, kInputLength, static_cast<std::uint8_t>(text.size()));
    std::memcpy(bytes.data() + kInputText, text.data(), text.size());
    put(bytes, kInputUpper, input.upper);
    put(bytes, kInputLower, input.lower);
    put(bytes, kInputTotal, input.total);
}

// The cast input behind the marker; nullopt for a slot without one or with damage.
std::optional<StoredCastInput> getCastInput(const CaseRecordBytes& bytes) {
    if (!hasInputMarker(bytes)) return std::nullopt;
    const int length = get<std::uint8_t>(bytes, kInputLength);
    if (length > kStoredCastInputBytes) return std::nullopt;
    const auto text = gbk::toUtf8(std::string_view(bytes.data() + kInputText, static_cast<std::size_t>(length)));
    if (!text) return std::nullopt;
    return StoredCastInput{*text, get<std::int16_t>(bytes, kInputUpper), get<std::int16_t>(bytes, kInputLower),
                           get<std::int16_t>(bytes, kInputTotal)};
}

}  // namespace

const CaseFieldInfo& caseFieldInfo(CaseField field) { return kFields[static_cast<int>(field)]; }

const std::string& CaseRecord::text(CaseField field) const {
    switch (field) {
        case CaseField::Name:
            return name;
        case CaseField::Category:
            return category;
        case CaseField::Extra:
            return extra;
        case CaseField::Question:
            return question;
        case CaseField::MainCode:
            return mainCode;
        case CaseField::ChangedCode:
            return changedCode;
        case CaseField::Label:
            break;
    }
    return label;
}

std::string& CaseRecord::text(CaseField field) {
    return const_cast<std::string&>(static_cast<const CaseRecord&>(*this).text(field));
}

Status checkCaseText(CaseField field, std::string_view utf8) {
    const CaseFieldInfo& info = caseFieldInfo(field);
    bool encodable = true;
    std::string firstBad;
    const bool whole = gbk::forEachCharacter(utf8, [&](std::string_view ch) {
        if (encodable && !gbk::canEncode(ch)) {
            encodable = false;
            firstBad = std::string(ch);
        }
    });
    if (!whole || !gbk::canEncode(utf8)) {
        if (firstBad.empty()) return Status::failure(fmt::format("{}含有无法保存的字符。", info.title));
        return Status::failure(fmt::format("{}含有无法保存的字符“{}”，请换用其他写法。", info.title, firstBad));
    }
    if (gbk::width(utf8) > info.maxBytes) {
        return Status::failure(fmt::format("{}太长：最多{}个字节（一个汉字占两个字节）。", info.title, info.maxBytes));
    }
    return Status::success();
}

Status checkCaseRecord(const CaseRecord& record) {
    for (int f = 0; f < static_cast<int>(kFields.size()); ++f) {
        const auto field = static_cast<CaseField>(f);
        if (Status s = checkCaseText(field, record.text(field)); !s) return s;
    }
    if (record.castInput) return checkCastInput(*record.castInput);
    return Status::success();
}

Status encodeCaseRecord(const CaseRecord& r, CaseRecordBytes& out) {
    CaseRecordBytes bytes{};
    for (int f = 0; f < static_cast<int>(kFields.size()); ++f) {
        const auto field = static_cast<CaseField>(f);
        if (Status s = checkCaseText(field, r.text(field)); !s) return s;
        const std::string gbkText = *gbk::fromUtf8(r.text(field));
        // checkCaseText kept the text within the field; the bound says so to the compiler too.
        const std::size_t n = std::min(gbkText.size(), static_cast<std::size_t>(kFields[f].size));
        std::memcpy(bytes.data() + kFields[f].offset, gbkText.data(), n);
    }
    put<std::uint32_t>(bytes, slot::kId, r.id);
    put<std::uint8_t>(bytes, slot::kDeleted, r.deleted ? 1 : 0);
    put(bytes, kYearOffset, r.year);
    put(bytes, kMonth, r.month);
    put(bytes, kDay, r.day);
    put(bytes, kHour, r.hour);
    put(bytes, kMinute, r.minute);
    put<std::uint8_t>(bytes, kLunar, r.lunar ? 1 : 0);
    put<std::uint8_t>(bytes, kLeap, r.leap ? 1 : 0);
    put(bytes, slot::kKindCode, r.kindCode);
    put(bytes, kReserved1, r.reserved1);
    put(bytes, kReserved2, r.reserved2);
    put(bytes, kLongitude, r.longitude);
    put(bytes, kLatitude, r.latitude);
    put(bytes, kUseGod, r.useGod);
    std::memcpy(bytes.data() + kUnused, r.unused.data(), r.unused.size());
    if (r.castInput) {
        if (Status s = checkCastInput(*r.castInput); !s) return s;
        putCastInput(bytes, *r.castInput);
    } else if (hasInputMarker(bytes)) {
        bytes[kUnused] = '\0';  // the record no longer holds an input: the marker goes
    }
    out = bytes;
    return Status::success();
}

std::string decodeGbkField(const char* field, int size) {
    const std::size_t length = strnlen(field, static_cast<std::size_t>(size));
    return gbk::codePageToUtf8Leniently(gbk::kCodePage, std::string_view(field, length));
}

CaseRecord decodeCaseRecord(const CaseRecordBytes& bytes) {
    CaseRecord r;
    for (int f = 0; f < static_cast<int>(kFields.size()); ++f) {
        r.text(static_cast<CaseField>(f)) = decodeGbkField(bytes.data() + kFields[f].offset, kFields[f].size);
    }
    r.id = get<std::uint32_t>(bytes, slot::kId);
    r.deleted = get<std::uint8_t>(bytes, slot::kDeleted) != 0;
    r.year = get<std::int16_t>(bytes, kYearOffset);
    r.month = get<std::int16_t>(bytes, kMonth);
    r.day = get<std::int16_t>(bytes, kDay);
    r.hour = get<std::int16_t>(bytes, kHour);
    r.minute = get<std::int16_t>(bytes, kMinute);
    r.lunar = get<std::uint8_t>(bytes, kLunar) == 1;
    r.leap = get<std::uint8_t>(bytes, kLeap) == 1;
    r.kindCode = get<std::uint8_t>(bytes, slot::kKindCode);
    r.reserved1 = get<std::int16_t>(bytes, kReserved1);
    r.reserved2 = get<std::int16_t>(bytes, kReserved2);
    r.longitude = get<float>(bytes, kLongitude);
    r.latitude = get<float>(bytes, kLatitude);
    r.useGod = get<std::uint32_t>(bytes, kUseGod);
    std::memcpy(r.unused.data(), bytes.data() + kUnused, r.unused.size());
    r.castInput = getCastInput(bytes);
    return r;
}

CaseRow decodeCaseRow(const char* slot) {
    auto text = [slot](CaseField field) {
        const CaseFieldInfo& info = caseFieldInfo(field);
        return decodeGbkField(slot + info.offset, info.size);
    };
    CaseRow row;
    row.id = loadLittleEndian<std::uint32_t>(slot + slot::kId);
    row.name = text(CaseField::Name);
    row.category = text(CaseField::Category);
    row.question = text(CaseField::Question);
    row.year = loadLittleEndian<std::int16_t>(slot + kYearOffset);
    row.month = loadLittleEndian<std::int16_t>(slot + kMonth);
    row.day = loadLittleEndian<std::int16_t>(slot + kDay);
    row.lunar = static_cast<std::uint8_t>(slot[kLunar]) == 1;
    row.leap = static_cast<std::uint8_t>(slot[kLeap]) == 1;
    return row;
}

CaseRow caseRowOf(const CaseRecord& r) {
    return CaseRow{r.id, r.name, r.category, r.question, r.year, r.month, r.day, r.lunar, r.leap};
}

namespace {

void appendNumber(std::string& out, long long n) {
    const fmt::format_int digits(n);
    out.append(digits.data(), digits.size());
}

// Writes the date text of a record or a row to out.
template <typename Dated>
void appendDateText(std::string& out, const Dated& r) {
    out += !r.lunar ? "公" : (r.leap ? "农闰" : "农");
    appendNumber(out, r.year);
    out += '-';
    appendNumber(out, r.month);
    out += '-';
    appendNumber(out, r.day);
}

template <typename Dated>
std::string dateTextOf(const Dated& r) {
    std::string out;
    appendDateText(out, r);
    return out;
}

}  // namespace

std::string caseDateText(const CaseRecord& r) { return dateTextOf(r); }
std::string caseDateText(const CaseRow& row) { return dateTextOf(row); }

void appendCaseListLine(std::string& out, const CaseRow& r) {
    appendNumber(out, r.id);
    out += '\t';
    out += r.name;
    out += '\t';
    appendDateText(out, r);
    out += '\t';
    out += r.category;
    out += '\t';
    out += r.question;
    out += '\n';
}

}  // namespace qingheng
