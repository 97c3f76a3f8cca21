// MDataBase's whole-book operations: wipe, export to a folder, and restore from a backup.
// A backup is checked, then copied to a staging folder beside the book; the book's own
// files move into a dated folder under dat, where the user finds them again, and the copies
// take their place (DatabaseRecovery.cpp runs the moves under a journal).
#include <cctype>

#include "casebook/SlotFile.h"
#include "platform/ByteOrder.h"
#include "platform/Clock.h"

namespace fs = std::filesystem;

namespace qingheng {
namespace {

bool isRealFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(fs::symlink_status(path, ec));
}

// True when path is base or lies inside it.
bool isWithin(const fs::path& path, const fs::path& base) {
    const fs::path rel = path.lexically_relative(base);
    return !rel.empty() && *rel.begin() != "..";
}

fs::path resolved(const fs::path& path) {
    std::error_code ec;
    fs::path out = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return ec ? path.lexically_normal() : out;
}

Status unreadableFolder(const fs::path& dir, const std::error_code& ec) {
    return Status::failure(fmt::format("无法读取文件夹 {}：{}", dir.string(), ec.message()));
}

// The names of the report files in a folder, sorted; with regularOnly, links and other
// special files are left out.
Status reportNamesIn(const fs::path& dir, bool regularOnly, std::vector<std::string>& names) {
    names.clear();
    if (!isRealFolder(dir)) return Status::success();
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!isReportFileName(name)) continue;
        const fs::file_status st = it->symlink_status(ec);
        if (ec) break;
        if (fs::is_regular_file(st) || (!regularOnly && fs::is_symlink(st))) names.push_back(name);
    }
    if (ec) return unreadableFolder(dir, ec);
    std::sort(names.begin(), names.end());
    return Status::success();
}

// The header at the start of a backup's file 0; false when it cannot be read.
bool readBackupHeader(const fs::path& file0, CaseBookHeader& header) {
    FileDescriptor fd(fileops::openFile(file0, O_RDONLY));
    std::array<char, kHeaderSize> bytes{};
    if (!fd || !readAt(fd.get(), bytes.data(), bytes.size(), 0)) return false;
    header = CaseBookHeader::decode(bytes.data());
    return true;
}

// True for a file 0 that is a bare header counting no slots.
bool isEmptyBook(const fs::path& file0) {
    std::error_code ec;
    CaseBookHeader header;
    return fs::file_size(file0, ec) == kHeaderSize && !ec && readBackupHeader(file0, header) && header.check() &&
           header.slotCount == 0;
}

// A folder name under dat for the book a restore or a wipe replaces, from the clock.
std::string replacedFolderName(const fs::path& datFolder) {
    const LocalDateTime t = appClock().now();
    const std::string base =
        fmt::format("replaced-{:04}{:02}{:02}-{:02}{:02}{:02}", t.year, t.month, t.day, t.hour, t.minute, t.second);
    std::string name = base;
    for (int n = 2; slotfile::isPresent(datFolder / name) && n < 10000; ++n) name = fmt::format("{}-{}", base, n);
    return name;
}

}  // namespace

// ---- the files of the book

// The book's data files (file 0 on, every one present up to the header's count and beyond)
// and its report files; other files of the report folder are the user's and stay.
Status MDataBase::currentBookFiles(int atLeastDataFiles, std::vector<BookFile>& files) const {
    files.clear();
    CaseBookHeader header;
    const int counted = readHeader(header) ? header.fileCount : 0;
    for (int n = 0; n < std::max(counted, atLeastDataFiles) || slotfile::isPresent(dataFile(n)); ++n) {
        if (slotfile::isPresent(dataFile(n))) files.push_back({BookFile::Kind::Data, dataFile(n).filename().string()});
    }
    std::vector<std::string> reports;
    if (Status s = reportNamesIn(reportFolder(), false, reports); !s) return s;
    for (std::string& name : reports) files.push_back({BookFile::Kind::Report, std::move(name)});
    return Status::success();
}

// Copies a backup's data files and report files (regular files with report names only,
// links never followed) into the staging folder.
Status MDataBase::stageBackup(const fs::path& backupFolder, int dataFiles, std::vector<BookFile>& staged) const {
    staged.clear();
    if (Status s = removeTree(stagingFolder()); !s) return s;
    if (Status s = makeFolder(stagingFolder()); !s) return s;
    for (int n = 0; n < dataFiles; ++n) {
        const BookFile file{BookFile::Kind::Data, slotfile::dataFileName(kindName(), n)};
        if (Status s = copyFile(backupFolder / file.name, stagedPath(file), FollowLinks::Yes, Flush::Later); !s)
            return s;
        staged.push_back(file);
    }
    const fs::path reports = backupFolder / reportFolder().filename();
    std::vector<std::string> names;
    if (Status s = reportNamesIn(reports, true, names); !s) return s;
    if (!names.empty()) {
        if (Status s = makeFolder(stagingFolder() / reportFolder().filename()); !s) return s;
    }
    for (const std::string& name : names) {
        const BookFile file{BookFile::Kind::Report, name};
        if (Status s = copyFile(reports / name, stagedPath(file), FollowLinks::No, Flush::Later); !s) return s;
        staged.push_back(file);
    }
    // On the disk before the journal names them.
    return flushFileSystem(stagingFolder());
}

// Moves the book's files aside and the staged ones in. Runs under the write lock.
Status MDataBase::replaceBook(std::vector<BookFile> incoming, int incomingDataFiles, fs::path* movedTo) {
    ReplacePlan plan;
    plan.in = std::move(incoming);
    if (Status s = currentBookFiles(incomingDataFiles, plan.out); !s) {
        removeTree(stagingFolder());
        return s;
    }
    plan.replacedName = replacedFolderName(datFolder());
    if (plan.out.empty() && plan.in.empty()) return removeTree(stagingFolder());
    if (Status s = runReplace(plan); !s) return s;
    const fs::path replaced = datFolder() / plan.replacedName;
    // A book without a single case holds nothing to come back to.
    if (plan.out.size() == 1 && isEmptyBook(replaced / plan.out.front().name)) {
        if (removeFile(replaced / plan.out.front().name) && removeFile(replaced)) return Status::success();
    }
    if (movedTo && !plan.out.empty()) *movedTo = replaced;
    return Status::success();
}

// ---- operations

Status MDataBase::clearStore(fs::path* movedTo) {
    if (movedTo) movedTo->clear();
    if (folder_.empty()) return Status::failure("卦例库尚未打开。");
    if (!slotfile::isPresent(datFolder())) return Status::success();  // no book to wipe
    Lock lock;
    if (Status s = acquire(lock, Access::Write); !s) return s;
    return replaceBook({}, 0, movedTo);
}

Status MDataBase::exportStore(const fs::path& target) const {
    const fs::path t = resolved(target);
    if (t == resolved(folder_) || isWithin(t, resolved(datFolder())) || isWithin(t, resolved(reportFolder()))) {
        return Status::failure(fmt::format("不能导出到卦例库自己的文件夹 {}，请选择另一个文件夹。", target.string()));
    }
    Lock lock;
    if (Status s = acquire(lock, Access::Read); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    if (Status s = checkDataFiles(header); !s) return s;
    const fs::path reportsTarget = target / reportFolder().filename();
    if (Status s = makeFolder(reportsTarget); !s) return s;

    // Every file is copied under a temporary name first and renamed at the end, file 0
    // (the header) last, so a backup already in the folder stays whole until the new one is.
    struct Copy {
        fs::path from, to;
    };
    std::vector<Copy> copies;
    for (int n = 1; n < header.fileCount; ++n) copies.push_back({dataFile(n), target / dataFile(n).filename()});
    std::vector<std::string> reports;
    if (Status s = reportNamesIn(reportFolder(), true, reports); !s) return s;
    for (const std::string& name : reports) copies.push_back({reportFolder() / name, reportsTarget / name});
    copies.push_back({dataFile(0), target / dataFile(0).filename()});

    auto pending = [](const fs::path& to) { return fs::path(to.string() + ".export"); };
    for (std::size_t i = 0; i < copies.size(); ++i) {
        Status copied = copyFile(copies[i].from, pending(copies[i].to), FollowLinks::No, Flush::Later);
        if (copied && i + 1 == copies.size()) copied = flushFileSystem(target);
        if (copied) continue;
        for (std::size_t j = 0; j <= i; ++j) removeFile(pending(copies[j].to));
        return copied;
    }
    for (const Copy& c : copies) {
        if (Status s = renameFile(pending(c.to), c.to); !s) {
            for (const Copy& rest : copies) removeFile(pending(rest.to));
            return s;
        }
    }
    return Status::success();
}

Status MDataBase::checkBackup(const fs::path& file0) const {
    const std::string expected = slotfile::dataFileName(kindName(), 0);
    if (file0.filename() != expected) return Status::failure(fmt::format("请选择备份中的{}文件。", expected));
    std::error_code ec;
    if (!fs::is_regular_file(file0, ec)) return Status::failure(fmt::format("找不到备份文件 {}。", file0.string()));
    CaseBookHeader header;
    if (!readBackupHeader(file0, header)) {
        return Status::failure(fmt::format("备份文件 {} 无法读取或已损坏。", file0.string()));
    }
    if (Status s = header.check(); !s) {
        return Status::failure(fmt::format("备份文件 {} 的文件头已损坏：{}", file0.string(), s.message));
    }
    if (header.kind != kind_) {
        return Status::failure(
            fmt::format("备份文件 {} 属于其他类型（{}）。", file0.string(), kDisciplineNames[header.kind]));
    }
    const fs::path folder = file0.parent_path();
    auto fileOf = [&](int n) { return folder / slotfile::dataFileName(kindName(), n); };
    for (int n = 0; n < header.fileCount; ++n) {
        const fs::path path = fileOf(n);
        const auto needed = slotfile::bytesNeeded(header.slotCount, n);
        const auto size = fs::file_size(path, ec);
        if (ec) return Status::failure(fmt::format("备份不完整：缺少文件 {}。", path.string()));
        if (static_cast<std::int64_t>(size) < needed) {
            return Status::failure(
                fmt::format("备份不完整：文件 {} 太短（应至少{}字节，实有{}字节）。", path.string(), needed, size));
        }
    }
    // Every slot carries its own index as id and a deleted flag of 0 or 1; anything else
    // is not a case book.
    Status damaged;
    const Status read = slotfile::scanSlotFiles(fileOf, header.slotCount, [&](std::int64_t id, const char* s) {
        const auto storedId = loadLittleEndian<std::uint32_t>(s + slot::kId);
        if (storedId == static_cast<std::uint32_t>(id) && (s[slot::kDeleted] == 0 || s[slot::kDeleted] == 1))
            return true;
        damaged = Status::failure(fmt::format("备份文件 {} 已损坏：第{}号卦例的编号或删除标记不对。",
                                              fileOf(slotfile::fileNumberOf(id)).string(), id));
        return false;
    });
    return read ? damaged : read;
}

Status MDataBase::refuseOwnFiles(const fs::path& file0) const {
    std::error_code ec;
    const fs::path folder = file0.parent_path().empty() ? fs::path(".") : file0.parent_path();
    const bool own = fs::equivalent(folder, datFolder(), ec) || fs::equivalent(file0, dataFile(0), ec) ||
                     isWithin(resolved(folder), resolved(stagingFolder()));
    if (!own) return Status::success();
    return Status::failure(fmt::format("{} 是卦例库自己的文件，不能用来导入；请选择备份文件夹中的{}。", file0.string(),
                                       dataFile(0).filename().string()));
}

Status MDataBase::importStore(const fs::path& file0, fs::path* movedTo) {
    if (movedTo) movedTo->clear();
    if (folder_.empty()) return Status::failure("卦例库尚未打开。");
    if (Status s = refuseOwnFiles(file0); !s) return s;
    if (Status s = checkBackup(file0); !s) return s;
    if (Status s = makeFolder(datFolder()); !s) return s;  // a first restore into a new folder
    Lock lock;
    if (Status s = acquire(lock, Access::Write); !s) return s;
    CaseBookHeader backup;
    if (!readBackupHeader(file0, backup)) return Status::failure(fmt::format("备份文件 {} 无法读取。", file0.string()));
    std::vector<BookFile> staged;
    if (Status s = stageBackup(file0.parent_path(), backup.fileCount, staged); !s) {
        removeTree(stagingFolder());
        return s;
    }
    return replaceBook(std::move(staged), backup.fileCount, movedTo);
}

}  // namespace qingheng
