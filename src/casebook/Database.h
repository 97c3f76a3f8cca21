#pragma once
// The case book: fixed-size slots in numbered data files (K0.dat holds the 20-byte header
// and slots 0-49999, K1.dat the next 50000, …) in the dat folder, and two report files
// per case in the folder K_f beside it. Every operation opens, uses and closes its files
// under an advisory lock (shared for reads, exclusive for changes), re-reads the header and
// reports failures to its caller.
//
// Changes are all or nothing. A change of slots first writes an undo image (K.undo); a
// restore or a wipe first writes a journal (K.journal) listing the files it moves. The next
// operation that finds either rolls the slot change back or finishes the restore, so after
// a crash at any point the book is whole: the old one or the new one. An operation that
// reports a failure has changed nothing; one that reports success is complete.
//
// MDataBase is written in four files: Database.cpp (header, lock, one slot at a time),
// DatabaseQueries.cpp (searches and counts), DatabaseBackup.cpp (wipe, export, restore) and
// DatabaseRecovery.cpp (the undo image, the journal and what the next open does with them).
#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
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
    // Hexagram numbers 1-64 (palace order), 0 ignores them. hexagram alone finds it as the
    // main or the changed hexagram; with changedHexagram it names the main one.
    int hexagram = 0;
    int changedHexagram = 0;
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

// One slot of a batch read: what readCase gives for its id.
struct CaseRead {
    std::uint32_t id = 0;
    SlotState state = SlotState::OutOfRange;
    CaseRecord record;  // filled whenever the id is in range
};

// How openStore treats a folder without a case book.
enum class StoreOpening {
    CreateIfMissing,  // the program's own book: the first start creates it
    ExistingOnly,     // reading or changing cases: no book is a failure and nothing is created
    ForReplacing,     // restore or wipe: the book may be missing or damaged
};

// The two report files of a case as the bytes to write (rich text): id.rtf and idm.rtf.
struct CaseReports {
    std::string sixLines;
    std::string plumBlossom;
};

// True for the names of report files: a case id in decimal, "m" for the plum-blossom
// report, then ".rtf" ("17.rtf", "17m.rtf").
bool isReportFileName(std::string_view name);

// The line a message adds after a restore or a wipe that moved the book aside.
std::string replacedBookNote(const std::filesystem::path& folder);

class MDataBase {
public:
    // Builds the paths and finishes a change that an earlier run left half-done. With
    // CreateIfMissing a folder without a book gets the dat and report folders and file 0
    // with a new header; an existing file 0 is checked, never rewritten. With ExistingOnly
    // a folder without a book is reported and nothing is created.
    Status openStore(const std::filesystem::path& programFolder, DisciplineKind kind,
                     StoreOpening opening = StoreOpening::CreateIfMissing);

    // Stores the record in a reused deleted slot or a new one; the record's id is set and
    // it is marked live. Refuses text that does not fit its field. With reports, the two
    // report files are written as part of the same change.
    Status addCase(CaseRecord& record, const CaseReports* reports = nullptr);
    // Marks the slot deleted. deleteStoredCase (CaseOnView.h) removes the report files too.
    Status removeCase(std::uint32_t id);
    // Reads a slot; the record is filled whenever the id is in range, deleted or not.
    SlotRead readCase(std::uint32_t id, CaseRecord& out) const;
    // Overwrites a live slot in range; its id field is kept equal to its index. With reports,
    // the two report files are replaced as part of the same change: a failure or a crash
    // leaves the old record and the old report files.
    Status writeCase(std::uint32_t id, const CaseRecord& record, const CaseReports* reports = nullptr);
    // Appends the records as new cases in one change: all of them or, after a failure or a
    // crash, none. Each record's id is set and it is marked live.
    Status appendCases(std::vector<CaseRecord>& records);
    // Slot count from the header, deleted slots included.
    Status countSlots(int& count) const;
    // Ids of matching live slots in ascending order. Kinds without a question field ignore
    // the question criterion (the query says so afterwards). Slots that cannot be read
    // make the result a failure, but the ids found before them are kept.
    Status searchCases(CaseQuery& query, std::vector<std::uint32_t>& ids) const;
    // Ids of the live slots among the first limit slots (all when limit < 0).
    Status liveIds(int limit, std::vector<std::uint32_t>& ids) const;
    // The list rows of the matching live slots among the first limit slots (all when
    // limit < 0), in id order: one scan, the rows decoded as they are found.
    Status searchCaseRows(CaseQuery& query, std::vector<CaseRow>& rows, int limit = -1) const;
    // The same one row at a time, none of them kept: visit returns false to stop.
    Status forEachCaseRow(CaseQuery& query, const std::function<bool(const CaseRow&)>& visit, int limit = -1) const;
    // Every matching live case in id order, whole; visit returns false to stop.
    Status forEachCase(CaseQuery& query, const std::function<bool(const CaseRecord&)>& visit) const;

    // Batch reads: one operation for many ids, in the order given (one lock, one header read,
    // each data file opened once, neighbouring slots read together). readCases gives for each
    // id what readCase gives; readCaseRows the rows of the live ones. Slots that cannot be
    // read are left out and make the result a failure.
    Status readCases(std::span<const std::uint32_t> ids, std::vector<CaseRead>& out) const;
    Status readCaseRows(std::span<const std::uint32_t> ids, std::vector<CaseRow>& rows) const;
    // A book whose header is damaged or whose data files do not hold every slot the header
    // counts can still be read but refuses every change until a backup is restored.
    Status checkIntact() const;

    // Moves the data files and the report files into a dated folder under dat (movedTo,
    // empty when there was nothing to move); the next openStore starts afresh.
    Status clearStore(std::filesystem::path* movedTo = nullptr);
    // Copies the data files and the report files into the folder target, file 0 last, so a
    // folder holding file 0 holds a whole backup. A folder of the book itself is refused.
    Status exportStore(const std::filesystem::path& target) const;
    // Checks a backup (its file 0 chosen by the user) without touching the case book: the
    // header, the size of every data file and every slot's id and deleted flag.
    Status checkBackup(const std::filesystem::path& file0) const;
    // Replaces the case book with a checked backup. The backup is copied beside the book
    // first; then the book's data and report files move into a dated folder under dat
    // (movedTo, empty when there was no book) and the copies take their place. The book's
    // own files are refused; a backup without report files brings the data files alone.
    Status importStore(const std::filesystem::path& file0, std::filesystem::path* movedTo = nullptr);

    std::filesystem::path dataFile(int n) const;
    std::filesystem::path lockPath() const;
    std::filesystem::path reportFolder() const;
    std::filesystem::path reportPath(std::uint32_t id) const;      // id.rtf
    std::filesystem::path plumReportPath(std::uint32_t id) const;  // idm.rtf
    std::string_view kindName() const { return kDisciplineNames[kind_]; }

    // How long an operation waits for another program holding the case book.
    void setLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

private:
    enum class Access { Read, Write };
    class Lock;
    class Reader;
    struct SlotChange;
    struct ReplacePlan;
    struct BookFile;
    struct Move;

    // ---- Database.cpp
    Status acquire(Lock& lock, Access access) const;
    Status createBook() const;
    Status readHeader(CaseBookHeader& header) const;
    Status readHeaderFrom(int fd, CaseBookHeader& header) const;
    Status writeHeader(const CaseBookHeader& header) const;
    Status checkDataFiles(const CaseBookHeader& header) const;
    Status beginChange(Lock& lock, CaseBookHeader& header);
    Status findDeletedSlot(const CaseBookHeader& header, std::int64_t& id) const;
    Status writeSlot(std::uint32_t id, const CaseRecordBytes& bytes, bool create) const;
    Status readSlotBytes(std::uint32_t id, CaseRecordBytes& bytes) const;
    Status appendCase(CaseBookHeader& header, CaseRecord& record, const CaseReports* reports);
    Status applyAppend(const CaseBookHeader& before, const CaseBookHeader& after, std::uint32_t first,
                       std::string_view slots);
    Status keepReportsBefore(SlotChange& change) const;
    Status reuseSlot(CaseBookHeader& header, std::int64_t id, CaseRecord& record, const CaseReports* reports);
    Status writeReports(std::uint32_t id, const CaseReports& reports) const;
    std::filesystem::path datFolder() const;
    std::filesystem::path undoPath() const;
    std::filesystem::path journalPath() const;
    std::filesystem::path stagingFolder() const;

    // ---- DatabaseQueries.cpp
    // Visits the matching live slots among the first limit (all when negative) in id order.
    Status scanMatching(CaseQuery& query, int limit,
                        const std::function<bool(std::uint32_t, const char*)>& visit) const;
    // Visits each id in the order given with its slot bytes, or nullptr past the slot count.
    Status readSlotsOf(std::span<const std::uint32_t> ids,
                       const std::function<void(std::uint32_t, const char*)>& visit) const;

    // ---- DatabaseRecovery.cpp
    bool needsRecovery() const;
    Status recover() const;
    Status applySlotChange(const SlotChange& change, const CaseReports* reports);
    Status undoChange(const SlotChange& change) const;
    Status undoAppend(const CaseBookHeader& before, std::uint32_t first, std::int64_t count,
                      const std::vector<int>& createdFiles) const;
    Status restoreReports(const SlotChange& change) const;
    Status rollBackSlotChange() const;
    Status carryOut(const ReplacePlan& plan, std::vector<Move>& done) const;
    Status runReplace(const ReplacePlan& plan) const;
    Status finishReplace(const ReplacePlan& plan) const;
    void cleanUpReplace(const ReplacePlan& plan) const;
    std::filesystem::path bookPath(const BookFile& file) const;
    std::filesystem::path replacedPath(const ReplacePlan& plan, const BookFile& file) const;
    std::filesystem::path stagedPath(const BookFile& file) const;

    // ---- DatabaseBackup.cpp
    Status currentBookFiles(int atLeastDataFiles, std::vector<BookFile>& files) const;
    Status stageBackup(const std::filesystem::path& backupFolder, int dataFiles, std::vector<BookFile>& staged) const;
    Status replaceBook(std::vector<BookFile> incoming, int incomingDataFiles, std::filesystem::path* movedTo);
    Status refuseOwnFiles(const std::filesystem::path& file0) const;

    std::filesystem::path folder_;
    DisciplineKind kind_ = kKindLiuYao;
    std::chrono::milliseconds lockWait_{500};
};

}  // namespace qingheng
