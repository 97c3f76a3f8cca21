#pragma once
// One stored case: the 1212-byte slot of a case book file. In memory the text fields are
// UTF-8; on disk they are zero-terminated GBK in fixed-size fields, numbers little-endian.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/Yidate.h"
#include "platform/Status.h"

namespace qingheng {

inline constexpr int kCaseRecordSize = 1212;
using CaseRecordBytes = std::array<char, kCaseRecordSize>;

// Byte offsets inside a slot that the store reads or writes without decoding the record.
namespace slot {
inline constexpr int kId = 0;
inline constexpr int kDeleted = 4;
inline constexpr int kName = 5, kNameSize = 12;
inline constexpr int kCategory = 17, kCategorySize = 15;
inline constexpr int kYear = 32;
inline constexpr int kKindCode = 44;
inline constexpr int kQuestion = 1062, kQuestionSize = 42;
inline constexpr int kMainCode = 1176, kChangedCode = 1183, kCodeSize = 7;
}  // namespace slot

// The text fields with their limits in GBK bytes (the field size less its terminator, or
// the smaller limit the case book keeps to).
enum class CaseField { Name, Category, Extra, Question, MainCode, ChangedCode, Label };

struct CaseFieldInfo {
    std::string_view title;  // what a message calls the field
    int offset;
    int size;      // bytes of the field on disk
    int maxBytes;  // longest text accepted
};
const CaseFieldInfo& caseFieldInfo(CaseField field);

// The input of a number or character cast with the numbers it gave, kept in the slot's spare
// bytes behind a marker that older files never carry, so that the case can be cast again.
struct StoredCastInput {
    std::string text;  // the digits or the characters, at most 40 GBK bytes
    std::int16_t upper = 0, lower = 0, total = 0;
    friend bool operator==(const StoredCastInput&, const StoredCastInput&) = default;
};
inline constexpr int kStoredCastInputBytes = 40;

struct CaseRecord {
    std::uint32_t id = 0;
    bool deleted = false;
    std::string name;      // 求测人
    std::string category;  // 类别
    std::int16_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
    bool lunar = false;  // year/month/day are a lunar date
    bool leap = false;   // leap lunar month
    std::uint8_t kindCode = 0;
    std::int16_t reserved1 = 0, reserved2 = 0;
    float longitude = kNoPosition, latitude = kNoPosition;
    std::string extra;     // 附加信息
    std::string question;  // 占问事宜
    std::uint32_t useGod = 0;
    std::string mainCode, changedCode;         // six line codes each, top line first
    std::string label;                         // casting method label
    std::optional<StoredCastInput> castInput;  // nullopt: not a number or character cast, or an older file
    std::array<char, 68> unused{};             // kept as found so a rewrite loses nothing (but the input's marker)

    friend bool operator==(const CaseRecord&, const CaseRecord&) = default;

    const std::string& text(CaseField field) const;
    std::string& text(CaseField field);
};

// Accepts text for a field: GBK must encode it and it must fit. The message says which
// field and why, in the words the windows show.
Status checkCaseText(CaseField field, std::string_view utf8);

// Every text field checked; the first failure is returned.
Status checkCaseRecord(const CaseRecord& record);

// The slot bytes of a record; fails (writing nothing) when a text field is refused.
Status encodeCaseRecord(const CaseRecord& record, CaseRecordBytes& out);

// The record in a slot. Text that is not valid GBK (a field cut mid-character by another
// program, or damage) keeps its readable characters; the rest shows as U+FFFD.
CaseRecord decodeCaseRecord(const CaseRecordBytes& bytes);

// Decodes one zero-terminated GBK field of at most size bytes, as decodeCaseRecord does.
std::string decodeGbkField(const char* field, int size);

// A case as the case list shows it: who asks, the date, the category and the question.
struct CaseRow {
    std::uint32_t id = 0;
    std::string name, category, question;
    std::int16_t year = 0, month = 0, day = 0;
    bool lunar = false, leap = false;
    friend bool operator==(const CaseRow&, const CaseRow&) = default;
};

// The row of the slot bytes at slot (kCaseRecordSize of them), decoded as decodeCaseRecord
// decodes the same fields; only those fields are read.
CaseRow decodeCaseRow(const char* slot);
CaseRow caseRowOf(const CaseRecord& record);

// Date text of a list row: 农/公, 闰 for a leap lunar month, then year-month-day.
std::string caseDateText(const CaseRecord& record);
std::string caseDateText(const CaseRow& row);

// Appends the line the command line lists a case with: its id, name, date text, category
// and question, tab-separated.
void appendCaseListLine(std::string& out, const CaseRow& row);

}  // namespace qingheng
