#pragma once
// The case book: fixed-size slots in numbered data files (K0.dat holds the 20-byte header
// and slots 0-49999, K1.dat the next 50000, …) in the dat folder, and two report files
// per case in the folder K_f beside it. Every operation opens, uses and closes its files
// under an advisory lock, re-reads the header and reports failures to its caller.
// MDataBase is written in three files: Database.cpp (header, lock, one slot at a time),
// DatabaseQueries.cpp (searches and counts) and DatabaseBackup.cpp (clear, export, restore).
#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "casebook/CaseRecord.h"
#include "platform/Status.h"

namespace qingheng {

// Index into the table of kind names; this program keeps kind 3, "liuyao".
using DisciplineKind = int;
inline constexpr DisciplineKind kKindLiuYao = 3;
inline constexpr std::array<std::string_view, 7> kDisciplineNames = {"bazi",  "ziwei", "xming", "liuyao",
                                                                     "qimen", "jkj",   "liuren"};
constexpr bool isKnownKind(int kind) { return kind >= 0 && kind < static_cast<int>(kDisciplineNames.size()); }

inline constexpr int kSlotsPerFile = 50000;
inline constexpr int kHeaderSize = 20;
// Deleted slots start being reused once this many have gathered.
inline constexpr int kReuseThreshold = 30;

struct CaseBookHeader {
    std::uint8_t kind = kKindLiuYao;
    std::int32_t slotCount = 0;  // slots ever appended, deleted ones included
    std::int32_t freeCount = 0;  // deleted slots not yet reused
    bool reuse = false;          // new records go into deleted slots
    std::int16_t fileCount = 1;

    // An empty header is not a consistent one: counts must agree with each other.
    Status check() const;
    std::array<char, kHeaderSize> encode() const;
    static CaseBookHeader decode(const char* bytes);
};

// Data files a book of slotCount slots spreads over.
constexpr int dataFilesFor(std::int64_t slotCount) {
    return slotCount <= 0 ? 1 : static_cast<int>((slotCount - 1) / kSlotsPerFile + 1);
}

enum class MatchMode : std::uint8_t { Ignore = 0, Contains = 1, Equals = 2 };

// Search criteria; all zero lists every live case.
struct CaseQuery {
    std::string name, category, question;  // UTF-8
    std::uint8_t kindCode = 0;
    std::int16_t firstYear = 0, lastYear = 0;
    MatchMode nameMode = MatchMode::Ignore;
    MatchMode categoryMode = MatchMode::Ignore;
    MatchMode questionMode = MatchMode::Ignore;
    bool useKindCode = false;
    bool useYears = false;
};

// Searches the casting years first to last, both included. Refused, leaving the query as it
// was, when a year lies outside the calendar's years or the range runs backwards.
Status setQueryYears(CaseQuery& query, int firstYear, int lastYear);

enum class SlotState { Live, Deleted, OutOfRange };

struct SlotRead {
    Status status;
    SlotState state = SlotState::OutOfRange;
    bool live() const { return status.ok && state == SlotState::Live; }
};

class MDataBase {
public:
    // Builds the paths, creates the dat and report folders and, when it does not exist,
    // file 0 with a new header. An existing file 0 is checked, never rewritten.
    Status openStore(const std::filesystem::path& programFolder, DisciplineKind kind);

    // Stores the record in a reused deleted slot or a new one; the record's id is set and
    // it is marked live. Refuses text that does not fit its field.
    Status addCase(CaseRecord& record);
    // Marks the slot deleted. deleteStoredCase (CaseOnView.h) removes the report files too.
    Status removeCase(std::uint32_t id);
    // Reads a slot; the record is filled whenever the id is in range, deleted or not.
    SlotRead readCase(std::uint32_t id, CaseRecord& out) const;
    // Overwrites a live slot in range; its id field is kept equal to its index.
    Status writeCase(std::uint32_t id, const CaseRecord& record);
    // Slot count from the header, deleted slots included.
    Status countSlots(int& count) const;
    // Ids of matching live slots in ascending order. Kinds without a question field ignore
    // the question criterion (the query says so afterwards). Slots that cannot be read
    // make the result a failure, but the ids found before them are kept.
    Status searchCases(CaseQuery& query, std::vector<std::uint32_t>& ids) const;
    // Ids of the live slots among the first limit slots (all when limit < 0).
    Status liveIds(int limit, std::vector<std::uint32_t>& ids) const;

    // Deletes the data files and the report files; the next openStore starts afresh.
    Status clearStore();
    // Copies the data files and the report folder into the folder target.
    Status exportStore(const std::filesystem::path& target) const;
    // Checks a backup (its file 0 chosen by the user) without touching the case book.
    Status checkBackup(const std::filesystem::path& file0) const;
    // Replaces the case book with a checked backup, removing the current data and report
    // files itself (no clearStore beforehand). The backup is copied under temporary names
    // first, so a refused backup or a failure on the way leaves the current book as it was.
    Status importStore(const std::filesystem::path& file0);

    std::filesystem::path dataFile(int n) const;
    std::filesystem::path lockPath() const;
    std::filesystem::path reportFolder() const;
    std::filesystem::path reportPath(std::uint32_t id) const;      // id.rtf
    std::filesystem::path plumReportPath(std::uint32_t id) const;  // idm.rtf
    std::string_view kindName() const { return kDisciplineNames[kind_]; }

    // How long an operation waits for another program holding the case book.
    void setLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

private:
    class Lock;
    Status acquire(Lock& lock) const;
    Status readHeader(CaseBookHeader& header) const;
    Status writeHeader(const CaseBookHeader& header) const;
    Status findDeletedSlot(const CaseBookHeader& header, std::int64_t& id) const;
    Status writeSlot(std::uint32_t id, const CaseRecordBytes& bytes, bool create) const;
    Status readSlotBytes(std::uint32_t id, CaseRecordBytes& bytes) const;
    Status appendCase(CaseBookHeader& header, CaseRecord& record);
    int presentDataFiles() const;
    Status reuseSlot(CaseBookHeader& header, std::int64_t id, CaseRecord& record);

    std::filesystem::path folder_;
    DisciplineKind kind_ = kKindLiuYao;
    std::chrono::milliseconds lockWait_{500};
};

}  // namespace qingheng
