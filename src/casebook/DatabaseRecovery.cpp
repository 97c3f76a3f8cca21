// MDataBase's guard against half-done changes.
//
// A change of slots (reuse, remove, write) first writes an undo image beside the data files:
// the header and the slot as they were. Then it writes the slot, the report files and the
// header, and removes the image. A failure on the way writes the image back at once; a
// crash leaves the image for the next operation, which does the same. An append needs no
// image: its header, written last, is what makes it count. So a change either happened
// completely or not at all.
//
// A restore or a wipe first copies what comes in to a staging folder, then writes a journal
// listing every file it moves: the book's files out into a dated folder under dat, the
// staged ones in. Every move is a rename, and each can be told done or not from the disk
// (a file moved out is in the dated folder, a file moved in is gone from staging), so the
// next operation finishes an interrupted one from the journal: the user sees the new book.
// A failure on the way moves everything back and removes the journal: the old book.
#include <regex>
#include <sstream>

#include "casebook/SlotFile.h"
#include "platform/ByteOrder.h"

namespace fs = std::filesystem;

namespace qingheng {
namespace {

constexpr std::string_view kUndoMagic = "QHUNDO1\n";
constexpr std::size_t kUndoSize = kUndoMagic.size() + kHeaderSize + 4 + kCaseRecordSize;
// The same followed by the two report files before the change, each as a byte that says
// whether it was there, its length (4 bytes) and its bytes.
constexpr std::string_view kUndoWithReportsMagic = "QHUNDO2\n";

constexpr std::string_view kJournalFirstLine = "qingheng journal 1";

bool sameHeader(const CaseBookHeader& a, const CaseBookHeader& b) { return a.encode() == b.encode(); }

Status recoveryFailure(const Status& why) {
    return Status::failure(fmt::format("卦例库上次的保存、删除或导入没有做完，现在无法恢复：{}", why.message));
}

// "replaced-YYYYMMDD-HHMMSS", perhaps with "-N" after it.
bool isReplacedFolderName(const std::string& name) {
    static const std::regex pattern(R"(replaced-[0-9]{8}-[0-9]{6}(-[0-9]{1,4})?)");
    return std::regex_match(name, pattern);
}

}  // namespace

// ---- undo image and journal text

std::string MDataBase::SlotChange::encodeUndo() const {
    std::string out(reportsBefore ? kUndoWithReportsMagic : kUndoMagic);
    const auto header = headerBefore.encode();
    out.append(header.data(), header.size());
    char number[4];
    storeLittleEndian<std::uint32_t>(number, id);
    out.append(number, sizeof number);
    out.append(slotBefore.data(), slotBefore.size());
    if (!reportsBefore) return out;
    for (const ReportBefore& report : *reportsBefore) {
        out += report.present ? '\1' : '\0';
        storeLittleEndian<std::uint32_t>(number, static_cast<std::uint32_t>(report.bytes.size()));
        out.append(number, sizeof number);
        out += report.bytes;
    }
    return out;
}

std::optional<MDataBase::SlotChange> MDataBase::SlotChange::decodeUndo(std::string_view bytes) {
    const bool withReports = bytes.substr(0, kUndoWithReportsMagic.size()) == kUndoWithReportsMagic;
    if (!withReports && (bytes.size() != kUndoSize || bytes.substr(0, kUndoMagic.size()) != kUndoMagic))
        return std::nullopt;
    if (bytes.size() < kUndoSize) return std::nullopt;
    const char* p = bytes.data() + kUndoMagic.size();
    SlotChange change;
    change.headerBefore = CaseBookHeader::decode(p);
    p += kHeaderSize;
    change.id = loadLittleEndian<std::uint32_t>(p);
    p += 4;
    std::copy(p, p + kCaseRecordSize, change.slotBefore.begin());
    if (!withReports) return change;
    std::string_view rest = bytes.substr(kUndoSize);
    std::array<ReportBefore, 2> reports;
    for (ReportBefore& report : reports) {
        if (rest.size() < 5 || static_cast<std::uint8_t>(rest[0]) > 1) return std::nullopt;
        report.present = rest[0] == 1;
        const std::uint32_t length = loadLittleEndian<std::uint32_t>(rest.data() + 1);
        rest.remove_prefix(5);
        if (rest.size() < length) return std::nullopt;
        report.bytes = std::string(rest.substr(0, length));
        rest.remove_prefix(length);
    }
    if (!rest.empty()) return std::nullopt;
    change.reportsBefore = std::move(reports);
    return change;
}

std::string MDataBase::ReplacePlan::encode() const {
    std::string text = fmt::format("{}\nreplaced {}\n", kJournalFirstLine, replacedName);
    auto line = [&](const char* direction, const BookFile& f) {
        text += fmt::format("{} {} {}\n", direction, f.kind == BookFile::Kind::Data ? "data" : "report", f.name);
    };
    for (const BookFile& f : out) line("out", f);
    for (const BookFile& f : in) line("in", f);
    return text + "end\n";
}

std::optional<MDataBase::ReplacePlan> MDataBase::ReplacePlan::decode(std::string_view text, std::string_view kind) {
    std::istringstream lines{std::string(text)};
    std::string line;
    if (!std::getline(lines, line) || line != kJournalFirstLine) return std::nullopt;
    ReplacePlan plan;
    if (!std::getline(lines, line) || line.rfind("replaced ", 0) != 0) return std::nullopt;
    plan.replacedName = line.substr(9);
    if (!isReplacedFolderName(plan.replacedName)) return std::nullopt;
    while (std::getline(lines, line)) {
        if (line == "end") return lines.peek() == EOF ? std::optional<ReplacePlan>(plan) : std::nullopt;
        std::istringstream words(line);
        std::string direction, type, name;
        if (!(words >> direction >> type >> name) || !words.eof()) return std::nullopt;
        BookFile file;
        if (type == "data" && slotfile::dataFileNumber(kind, name)) file.kind = BookFile::Kind::Data;
        else if (type == "report" && isReportFileName(name)) file.kind = BookFile::Kind::Report;
        else return std::nullopt;
        file.name = name;
        // Every file moves out before any moves in: the order the steps are told done by.
        if (direction == "out" && plan.in.empty()) plan.out.push_back(file);
        else if (direction == "in") plan.in.push_back(file);
        else return std::nullopt;
    }
    return std::nullopt;  // no "end": not a whole journal
}

// ---- paths of a replacement

fs::path MDataBase::bookPath(const BookFile& file) const {
    return file.kind == BookFile::Kind::Data ? datFolder() / file.name : reportFolder() / file.name;
}

fs::path MDataBase::replacedPath(const ReplacePlan& plan, const BookFile& file) const {
    const fs::path folder = datFolder() / plan.replacedName;
    return file.kind == BookFile::Kind::Data ? folder / file.name : folder / reportFolder().filename() / file.name;
}

fs::path MDataBase::stagedPath(const BookFile& file) const {
    return file.kind == BookFile::Kind::Data ? stagingFolder() / file.name
                                             : stagingFolder() / reportFolder().filename() / file.name;
}

// ---- recovery

bool MDataBase::needsRecovery() const {
    return slotfile::isPresent(journalPath()) || slotfile::isPresent(undoPath()) ||
           slotfile::isPresent(stagingFolder());
}

Status MDataBase::recover() const {
    if (slotfile::isPresent(journalPath())) {
        const auto text = readFileBytes(journalPath());
        if (!text) return recoveryFailure(Status::failure(fmt::format("无法读取 {}", journalPath().string())));
        const auto plan = ReplacePlan::decode(*text, kindName());
        if (!plan) {
            return recoveryFailure(Status::failure(fmt::format("文件 {} 无法识别", journalPath().string())));
        }
        if (Status s = finishReplace(*plan); !s) return recoveryFailure(s);
    }
    if (slotfile::isPresent(undoPath())) {
        if (Status s = rollBackSlotChange(); !s) return recoveryFailure(s);
    }
    // Copies of a restore that stopped before its journal was written.
    if (Status s = removeTree(stagingFolder()); !s) return recoveryFailure(s);
    return Status::success();
}

// ---- a change of slots

Status MDataBase::applySlotChange(const SlotChange& change, const CaseReports* reports) {
    // An append is done when its header is: until then the new slot lies past the count and
    // its report files belong to no case, so a crash before leaves nothing to undo. Any other
    // change first keeps an image of what it overwrites.
    const bool imaged = change.kind == SlotChange::Kind::Overwrite;
    if (imaged) {
        if (Status s = writeFileAtomically(undoPath(), change.encodeUndo()); !s) return s;
    }
    Status result = writeSlot(change.id, change.slotAfter, change.kind == SlotChange::Kind::Append);
    if (result && reports) result = writeReports(change.id, *reports);
    if (result && !sameHeader(change.headerAfter, change.headerBefore)) result = writeHeader(change.headerAfter);
    // The change is done once the image is gone; until then the next open would undo it.
    if (result && imaged) result = removeFile(undoPath());
    if (result) return Status::success();
    Status undone = undoChange(change);
    if (undone && imaged) undone = removeFile(undoPath());
    if (!undone && imaged) return Status::failure(fmt::format("{}；卦例库将在下次打开时恢复原状。", result.message));
    if (!undone) return Status::failure(fmt::format("{}；{}", result.message, undone.message));
    return result;
}

// Puts back the header and the slot as they were before the change.
Status MDataBase::undoChange(const SlotChange& change) const {
    const std::uint32_t id = change.id;
    if (change.kind == SlotChange::Kind::Append) {
        const std::vector<int> created =
            change.createsFile ? std::vector<int>{slotfile::fileNumberOf(id)} : std::vector<int>{};
        if (Status s = undoAppend(change.headerBefore, id, 1, created); !s) return s;
    } else {
        // The header first: once it is back, whatever follows it in the slots is not counted.
        if (Status s = writeHeader(change.headerBefore); !s) return s;
        if (Status s = writeSlot(id, change.slotBefore, false); !s) return s;
    }
    // Report files written for a slot that was not live belong to no case.
    if (change.kind == SlotChange::Kind::Append || change.slotBefore[slot::kDeleted] != 0) {
        if (Status s = removeFile(reportPath(id)); !s) return s;
        if (Status s = removeFile(plumReportPath(id)); !s) return s;
    }
    if (change.reportsBefore) return restoreReports(change);
    return Status::success();
}

// Puts the header back and cuts the data files back to where an append of count slots from
// first began: files it created go, the others lose what it wrote past their old end.
Status MDataBase::undoAppend(const CaseBookHeader& before, std::uint32_t first, std::int64_t count,
                             const std::vector<int>& createdFiles) const {
    // The header first: once it is back, whatever follows it in the slots is not counted.
    if (Status s = writeHeader(before); !s) return s;
    const int firstFile = slotfile::fileNumberOf(first);
    const int lastFile = slotfile::fileNumberOf(first + count - 1);
    for (int n = firstFile; n <= lastFile; ++n) {
        const fs::path file = dataFile(n);
        const std::int64_t end = n == firstFile ? slotfile::offsetOf(first) : 0;
        std::error_code ec;
        const bool regular = fs::is_regular_file(fs::symlink_status(file, ec));
        const auto size = regular ? fs::file_size(file, ec) : 0;
        const bool created = std::find(createdFiles.begin(), createdFiles.end(), n) != createdFiles.end();
        if (created && regular) {
            if (Status s = removeFile(file); !s) return s;
        } else if (regular && static_cast<std::int64_t>(size) > end && !fileops::truncateFile(file, end)) {
            return slotfile::writeFailure(file);
        }
    }
    return Status::success();
}

// The report files of a live case as they were before the change replaced them.
Status MDataBase::restoreReports(const SlotChange& change) const {
    const std::array<fs::path, 2> paths = {reportPath(change.id), plumReportPath(change.id)};
    for (std::size_t k = 0; k < paths.size(); ++k) {
        const SlotChange::ReportBefore& before = (*change.reportsBefore)[k];
        const Status s = before.present ? writeFileAtomically(paths[k], before.bytes) : removeFile(paths[k]);
        if (!s) return s;
    }
    return Status::success();
}

Status MDataBase::rollBackSlotChange() const {
    const auto bytes = readFileBytes(undoPath());
    if (!bytes) return Status::failure(fmt::format("无法读取 {}", undoPath().string()));
    const auto change = SlotChange::decodeUndo(*bytes);
    // An image is written whole or not at all; one that does not decode is not ours to apply.
    if (!change) return removeFile(undoPath());
    if (Status s = undoChange(*change); !s) return s;
    return removeFile(undoPath());
}

// ---- a replacement of the whole book

// Moves every file of the plan that has not moved yet, making the folders it goes into;
// done receives the moves made. A file moved out is in the replaced folder; a file moved in
// is gone from staging; and once one has moved in, every file has moved out before it.
Status MDataBase::carryOut(const ReplacePlan& plan, std::vector<Move>& done) const {
    const bool movingIn = std::any_of(plan.in.begin(), plan.in.end(),
                                      [&](const BookFile& f) { return !slotfile::isPresent(stagedPath(f)); });
    auto move = [&](const fs::path& from, const fs::path& to) {
        if (Status s = makeFolder(to.parent_path()); !s) return s;
        if (Status s = renameFile(from, to); !s) return s;
        done.push_back({from, to});
        return Status::success();
    };
    for (const BookFile& f : plan.out) {
        const fs::path from = bookPath(f), to = replacedPath(plan, f);
        if (movingIn || slotfile::isPresent(to) || !slotfile::isPresent(from)) continue;
        if (Status s = move(from, to); !s) return s;
    }
    for (const BookFile& f : plan.in) {
        const fs::path from = stagedPath(f), to = bookPath(f);
        if (!slotfile::isPresent(from)) continue;
        if (Status s = move(from, to); !s) return s;
    }
    return Status::success();
}

Status MDataBase::runReplace(const ReplacePlan& plan) const {
    if (Status s = writeFileAtomically(journalPath(), plan.encode()); !s) {
        cleanUpReplace(plan);
        return s;
    }
    std::vector<Move> done;
    const Status moved = carryOut(plan, done);
    if (moved) {
        // The book is whole from here on; a journal left behind only makes the next open tidy up.
        if (removeFile(journalPath())) cleanUpReplace(plan);
        return Status::success();
    }
    // Everything back in its place, then the journal away: the book as it was.
    bool back = true;
    for (auto m = done.rbegin(); m != done.rend() && back; ++m) back = renameFile(m->to, m->from).ok;
    if (!back || !removeFile(journalPath())) {
        return Status::failure(fmt::format("{}；卦例库将在下次打开时完成这次操作。", moved.message));
    }
    cleanUpReplace(plan);
    return moved;
}

Status MDataBase::finishReplace(const ReplacePlan& plan) const {
    std::vector<Move> done;
    if (Status s = carryOut(plan, done); !s) return s;
    if (Status s = removeFile(journalPath()); !s) return s;
    cleanUpReplace(plan);
    return Status::success();
}

// Removes the staging folder and the replaced folder when nothing was moved into it.
void MDataBase::cleanUpReplace(const ReplacePlan& plan) const {
    removeTree(stagingFolder());
    const fs::path replaced = datFolder() / plan.replacedName;
    std::error_code ec;
    const fs::path reports = replaced / reportFolder().filename();
    if (fs::is_directory(reports, ec) && fs::is_empty(reports, ec)) removeFile(reports);
    if (fs::is_directory(replaced, ec) && fs::is_empty(replaced, ec)) removeFile(replaced);
}

}  // namespace qingheng
