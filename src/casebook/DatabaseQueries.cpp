// MDataBase's reading operations: searches and counts, where every slot is scanned in file
// order and matched on its raw bytes (texts compared in GBK, hexagrams by their line codes),
// and batch reads of many ids. Each is one operation: one lock, one header read, each data
// file opened once and read in blocks.
#include <cstring>

#include "calendar/YearRange.h"
#include "casebook/SlotFile.h"
#include "platform/ByteOrder.h"
#include "platform/Gbk.h"
#include "vocab/Hexagram.h"

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

// The hexagram number of a stored line code field (six characters and a terminator); 0
// when the field holds no hexagram code.
int hexagramOfField(const char* field) { return HexagramNumberOfCode(fieldText(field, slot::kCodeSize)); }

// A query with its texts in GBK, matched against raw slot bytes.
struct CompiledQuery {
    CaseQuery query;
    std::string name, category, question;

    bool hexagramsMatch(const char* s) const {
        if (query.hexagram == 0 && query.changedHexagram == 0) return true;
        const int changed = hexagramOfField(s + slot::kChangedCode);
        if (query.changedHexagram != 0) {
            return changed == query.changedHexagram &&
                   (query.hexagram == 0 || hexagramOfField(s + slot::kMainCode) == query.hexagram);
        }
        return changed == query.hexagram || hexagramOfField(s + slot::kMainCode) == query.hexagram;
    }

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
        return hexagramsMatch(s);
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
    Reader reader(*this);
    if (Status s = reader.open(); !s) return s;
    count = reader.header().slotCount;
    return Status::success();
}

Status MDataBase::scanMatching(CaseQuery& query, int limit,
                               const std::function<bool(std::uint32_t, const char*)>& visit) const {
    const auto isHexagram = [](int n) { return n >= 0 && n <= 64; };
    if (!isHexagram(query.hexagram) || !isHexagram(query.changedHexagram))
        return Status::failure("卦名应为六十四卦之一。");
    Reader reader(*this);
    if (Status s = reader.open(); !s) return s;
    const CaseBookHeader& header = reader.header();
    if (header.kind < kKindLiuYao) query.questionMode = MatchMode::Ignore;
    CompiledQuery compiled{query, {}, {}, {}};
    if (Status s = compileQueryText("姓名", query.nameMode, query.name, compiled.name); !s) return s;
    if (Status s = compileQueryText("类别", query.categoryMode, query.category, compiled.category); !s) return s;
    if (Status s = compileQueryText("占问事宜", query.questionMode, query.question, compiled.question); !s) return s;
    const std::int64_t count = limit < 0 ? header.slotCount : std::min<std::int64_t>(limit, header.slotCount);
    return reader.scan(count, [&](std::int64_t id, const char* s) {
        return !compiled.matches(s) || visit(static_cast<std::uint32_t>(id), s);
    });
}

Status MDataBase::searchCases(CaseQuery& query, std::vector<std::uint32_t>& ids) const {
    ids.clear();
    return scanMatching(query, -1, [&](std::uint32_t id, const char*) {
        ids.push_back(id);
        return true;
    });
}

Status MDataBase::liveIds(int limit, std::vector<std::uint32_t>& ids) const {
    ids.clear();
    CaseQuery everything;
    return scanMatching(everything, limit < 0 ? -1 : limit, [&](std::uint32_t id, const char*) {
        ids.push_back(id);
        return true;
    });
}

Status MDataBase::searchCaseRows(CaseQuery& query, std::vector<CaseRow>& rows, int limit) const {
    rows.clear();
    return forEachCaseRow(
        query,
        [&](const CaseRow& row) {
            rows.push_back(row);
            return true;
        },
        limit);
}

Status MDataBase::forEachCaseRow(CaseQuery& query, const std::function<bool(const CaseRow&)>& visit, int limit) const {
    CaseRow row;
    return scanMatching(query, limit, [&](std::uint32_t id, const char* s) {
        row = decodeCaseRow(s);
        row.id = id;
        return visit(row);
    });
}

Status MDataBase::forEachCase(CaseQuery& query, const std::function<bool(const CaseRecord&)>& visit) const {
    CaseRecordBytes bytes;
    return scanMatching(query, -1, [&](std::uint32_t, const char* s) {
        std::memcpy(bytes.data(), s, bytes.size());
        return visit(decodeCaseRecord(bytes));
    });
}

// ---- batch reads

Status MDataBase::readSlotsOf(std::span<const std::uint32_t> ids,
                              const std::function<void(std::uint32_t, const char*)>& visit) const {
    Reader reader(*this);
    if (Status s = reader.open(); !s) return s;
    const std::int64_t count = reader.header().slotCount;
    Status result;
    std::vector<char> block(static_cast<std::size_t>(slotfile::kBlockSlots * kCaseRecordSize));
    std::int64_t blockFirst = 0, blockEnd = 0;  // the slots the block holds
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const std::int64_t id = ids[i];
        if (id >= count) {
            visit(ids[i], nullptr);
            continue;
        }
        if (id < blockFirst || id >= blockEnd) {
            // The block runs from this id over the ids that follow it in order, within one
            // file and one block's length.
            const int file = slotfile::fileNumberOf(id);
            std::int64_t last = id;
            for (std::size_t j = i + 1; j < ids.size(); ++j) {
                const std::int64_t next = ids[j];
                if (next <= last || next >= count || next - id >= slotfile::kBlockSlots ||
                    slotfile::fileNumberOf(next) != file)
                    break;
                last = next;
            }
            blockFirst = id;
            blockEnd = last + 1;
            if (Status s = reader.readSlots(blockFirst, blockEnd - blockFirst, block.data()); !s) {
                blockEnd = blockFirst;  // nothing held: read this id alone, as readCase does
                if (Status one = reader.readSlots(id, 1, block.data()); !one) {
                    if (result.ok) result = one;
                    continue;
                }
                blockEnd = blockFirst + 1;
            }
        }
        visit(ids[i], block.data() + (id - blockFirst) * kCaseRecordSize);
    }
    return result;
}

Status MDataBase::readCases(std::span<const std::uint32_t> ids, std::vector<CaseRead>& out) const {
    out.clear();
    out.reserve(ids.size());
    CaseRecordBytes bytes;
    return readSlotsOf(ids, [&](std::uint32_t id, const char* s) {
        CaseRead read;
        read.id = id;
        if (s) {
            std::memcpy(bytes.data(), s, bytes.size());
            read.record = decodeCaseRecord(bytes);
            read.state = read.record.deleted ? SlotState::Deleted : SlotState::Live;
        }
        out.push_back(std::move(read));
    });
}

Status MDataBase::readCaseRows(std::span<const std::uint32_t> ids, std::vector<CaseRow>& rows) const {
    rows.clear();
    return readSlotsOf(ids, [&](std::uint32_t id, const char* s) {
        if (!s || s[slot::kDeleted] != 0) return;
        rows.push_back(decodeCaseRow(s));
        rows.back().id = id;
    });
}

}  // namespace qingheng
