// MDataBase's searches and counts: every slot is scanned in file order and matched on its
// raw bytes, texts compared in GBK.
#include <cstring>

#include "calendar/YearRange.h"
#include "casebook/SlotFile.h"
#include "platform/ByteOrder.h"
#include "platform/Gbk.h"

namespace qingheng {
namespace {

// The text of a zero-terminated field, without the terminator.
std::string_view fieldText(const char* field, int size) {
    return {field, strnlen(field, static_cast<std::size_t>(size))};
}

// Byte search that only accepts a match starting on a character boundary, so the tail of
// one GBK character and the head of the next never pass for a third character.
bool containsText(std::string_view field, std::string_view needle) {
    if (needle.empty()) return true;
    for (std::size_t i = 0; i + needle.size() <= field.size();) {
        if (std::memcmp(field.data() + i, needle.data(), needle.size()) == 0) return true;
        i += (gbk::isLeadByte(static_cast<std::uint8_t>(field[i])) && i + 1 < field.size()) ? 2 : 1;
    }
    return false;
}

bool textMatches(MatchMode mode, std::string_view field, std::string_view needle) {
    switch (mode) {
        case MatchMode::Ignore:
            return true;
        case MatchMode::Contains:
            return containsText(field, needle);
        case MatchMode::Equals:
            return field == needle;
    }
    return false;
}

// A query with its texts in GBK, matched against raw slot bytes.
struct CompiledQuery {
    CaseQuery query;
    std::string name, category, question;

    bool matches(const char* s) const {
        if (s[slot::kDeleted] != 0) return false;
        if (!textMatches(query.nameMode, fieldText(s + slot::kName, slot::kNameSize), name)) return false;
        if (!textMatches(query.categoryMode, fieldText(s + slot::kCategory, slot::kCategorySize), category))
            return false;
        if (!textMatches(query.questionMode, fieldText(s + slot::kQuestion, slot::kQuestionSize), question))
            return false;
        if (query.useKindCode && static_cast<std::uint8_t>(s[slot::kKindCode]) != query.kindCode) return false;
        if (query.useYears) {
            const auto year = loadLittleEndian<std::int16_t>(s + slot::kYear);
            if (year < query.firstYear || year > query.lastYear) return false;
        }
        return true;
    }
};

Status compileQueryText(std::string_view title, MatchMode mode, const std::string& utf8, std::string& out) {
    if (mode == MatchMode::Ignore) return Status::success();
    const auto bytes = gbk::fromUtf8(utf8);
    if (!bytes) return Status::failure(fmt::format("查找的{}含有无法识别的字符。", title));
    out = *bytes;
    return Status::success();
}

}  // namespace

Status setQueryYears(CaseQuery& query, int firstYear, int lastYear) {
    if (!IsSupportedYear(firstYear) || !IsSupportedYear(lastYear)) return Status::failure(std::string(kRecordYearText));
    if (lastYear < firstYear) return Status::failure("结束年必须大于或等于起始年");
    query.useYears = true;
    query.firstYear = static_cast<std::int16_t>(firstYear);
    query.lastYear = static_cast<std::int16_t>(lastYear);
    return Status::success();
}

Status MDataBase::countSlots(int& count) const {
    Lock lock;
    if (Status s = acquire(lock, Access::Read); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    count = header.slotCount;
    return Status::success();
}

Status MDataBase::searchCases(CaseQuery& query, std::vector<std::uint32_t>& ids) const {
    ids.clear();
    Lock lock;
    if (Status s = acquire(lock, Access::Read); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    if (header.kind < kKindLiuYao) query.questionMode = MatchMode::Ignore;
    CompiledQuery compiled{query, {}, {}, {}};
    if (Status s = compileQueryText("姓名", query.nameMode, query.name, compiled.name); !s) return s;
    if (Status s = compileQueryText("类别", query.categoryMode, query.category, compiled.category); !s) return s;
    if (Status s = compileQueryText("占问事宜", query.questionMode, query.question, compiled.question); !s) return s;
    return slotfile::scanSlots(*this, header.slotCount, [&](std::int64_t id, const char* s) {
        if (compiled.matches(s)) ids.push_back(static_cast<std::uint32_t>(id));
        return true;
    });
}

Status MDataBase::liveIds(int limit, std::vector<std::uint32_t>& ids) const {
    ids.clear();
    Lock lock;
    if (Status s = acquire(lock, Access::Read); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    const std::int64_t count = limit < 0 ? header.slotCount : std::min<std::int64_t>(limit, header.slotCount);
    return slotfile::scanSlots(*this, count, [&](std::int64_t id, const char* s) {
        if (s[slot::kDeleted] == 0) ids.push_back(static_cast<std::uint32_t>(id));
        return true;
    });
}

}  // namespace qingheng
