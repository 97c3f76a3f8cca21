// MDataBase's whole-book operations: clearing, export to a folder, and restore from a backup
// (checked first, staged under temporary names, then swapped in).
#include <cctype>

#include "casebook/SlotFile.h"

namespace fs = std::filesystem;

namespace qingheng {
namespace {

bool isRtf(const fs::directory_entry& entry) {
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".rtf" && entry.is_regular_file();
}

Status unreadableFolder(const fs::path& dir, const std::error_code& ec) {
    return Status::failure(fmt::format("无法读取文件夹 {}：{}", dir.string(), ec.message()));
}

// Copies every .rtf file of folder from into folder to (created when missing).
Status copyReports(const fs::path& from, const fs::path& to) {
    if (Status s = makeFolder(to); !s) return s;
    std::error_code ec;
    fs::directory_iterator it(from, ec);
    if (ec) return unreadableFolder(from, ec);
    for (const auto& entry : it) {
        if (!isRtf(entry)) continue;
        if (Status s = copyFile(entry.path(), to / entry.path().filename()); !s) return s;
    }
    return Status::success();
}

// The header at the start of a backup's file 0; false when it cannot be read.
bool readBackupHeader(const fs::path& file0, CaseBookHeader& header) {
    FileDescriptor fd(::open(file0.c_str(), O_RDONLY | O_CLOEXEC));
    std::array<char, kHeaderSize> bytes{};
    if (!fd || !readAt(fd.get(), bytes.data(), bytes.size(), 0)) return false;
    header = CaseBookHeader::decode(bytes.data());
    return true;
}

Status replaceFailure(const fs::path& target, const std::string& why) {
    return Status::failure(fmt::format("无法替换文件夹 {}：{}", target.string(), why));
}

// The names a restore copies a backup to beside the case book, so nothing of the book is
// touched until every file has been copied.
class Staging {
public:
    Staging(const MDataBase& book, int files) : book_(book), files_(files) {}

    fs::path dataFile(int n) const { return book_.dataFile(n).string() + ".import"; }
    fs::path reports() const { return book_.reportFolder().string() + ".import"; }
    // Where the book's report folder waits while the staged one takes its place.
    fs::path oldReports() const { return book_.reportFolder().string() + ".old"; }

    // Copies the backup's data files and report folder (an empty one when it has none).
    Status copyFrom(const fs::path& backupFolder) const {
        for (int n = 0; n < files_; ++n) {
            const fs::path from = backupFolder / slotfile::dataFileName(book_.kindName(), n);
            if (Status s = copyFile(from, dataFile(n)); !s) return s;
        }
        std::error_code ec;
        const fs::path backupReports = backupFolder / book_.reportFolder().filename();
        return fs::is_directory(backupReports, ec) ? copyReports(backupReports, reports()) : makeFolder(reports());
    }

    // Puts the staged report folder in the book's place; the book's own waits aside, and
    // comes back when the swap fails.
    Status swapInReports() const {
        const fs::path target = book_.reportFolder();
        std::error_code ec;
        fs::remove_all(oldReports(), ec);
        const bool hadReports = fs::exists(target);
        if (hadReports) {
            fs::rename(target, oldReports(), ec);
            if (ec) return replaceFailure(target, ec.message());
        }
        fs::rename(reports(), target, ec);
        if (ec) {
            const std::string why = ec.message();
            if (hadReports) fs::rename(oldReports(), target, ec);
            return replaceFailure(target, why);
        }
        return Status::success();
    }

    // Renames the staged data files over the book's, file 0 (the header) last.
    Status swapInDataFiles() const {
        for (int n = files_ - 1; n >= 0; --n) {
            std::error_code ec;
            fs::rename(dataFile(n), book_.dataFile(n), ec);
            if (ec) {
                return Status::failure(
                    fmt::format("无法替换卦例库文件 {}：{}", book_.dataFile(n).string(), ec.message()));
            }
        }
        return Status::success();
    }

    void discard() const {
        std::error_code ignored;
        for (int n = 0; n < files_; ++n) fs::remove(dataFile(n), ignored);
        fs::remove_all(reports(), ignored);
    }

private:
    const MDataBase& book_;
    int files_;
};

}  // namespace

// Data files to remove when the header cannot be trusted: those present from 0 on.
int MDataBase::presentDataFiles() const {
    int n = 0;
    while (fs::exists(dataFile(n))) ++n;
    return n;
}

Status MDataBase::clearStore() {
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    CaseBookHeader header;
    const int files = readHeader(header) ? header.fileCount : presentDataFiles();
    Status result;
    for (int n = 0; n < files; ++n) {
        if (Status s = removeFile(dataFile(n)); !s && result.ok) result = s;
    }
    std::error_code ec;
    if (!fs::is_directory(reportFolder(), ec)) return result;
    fs::directory_iterator it(reportFolder(), ec);
    if (ec) return result.ok ? unreadableFolder(reportFolder(), ec) : result;
    for (const auto& entry : it) {
        if (!isRtf(entry)) continue;
        if (Status s = removeFile(entry.path()); !s && result.ok) result = s;
    }
    return result;
}

Status MDataBase::exportStore(const fs::path& target) const {
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    if (Status s = makeFolder(target); !s) return s;
    for (int n = 0; n < header.fileCount; ++n) {
        if (Status s = copyFile(dataFile(n), target / slotfile::dataFileName(kindName(), n)); !s) return s;
    }
    const fs::path reports = target / reportFolder().filename();
    std::error_code ec;
    if (!fs::is_directory(reportFolder(), ec)) return makeFolder(reports);
    return copyReports(reportFolder(), reports);
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
    for (int n = 0; n < header.fileCount; ++n) {
        const fs::path path = folder / slotfile::dataFileName(kindName(), n);
        const auto needed = (n == 0 ? kHeaderSize : 0) + slotfile::slotsInFile(header.slotCount, n) * kCaseRecordSize;
        const auto size = fs::file_size(path, ec);
        if (ec) return Status::failure(fmt::format("备份不完整：缺少文件 {}。", path.string()));
        if (static_cast<std::int64_t>(size) < needed) {
            return Status::failure(
                fmt::format("备份不完整：文件 {} 太短（应至少{}字节，实有{}字节）。", path.string(), needed, size));
        }
    }
    return Status::success();
}

Status MDataBase::importStore(const fs::path& file0) {
    if (Status s = checkBackup(file0); !s) return s;
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    CaseBookHeader backup;
    if (!readBackupHeader(file0, backup)) return Status::failure(fmt::format("备份文件 {} 无法读取。", file0.string()));
    CaseBookHeader current;
    const int oldFiles = readHeader(current) ? current.fileCount : presentDataFiles();

    const Staging staging(*this, backup.fileCount);
    staging.discard();  // leftovers of an earlier restore that stopped half-way
    if (Status s = staging.copyFrom(file0.parent_path()); !s) {
        staging.discard();
        return s;
    }
    if (Status s = staging.swapInReports(); !s) {
        staging.discard();
        return s;
    }
    if (Status s = staging.swapInDataFiles(); !s) return s;

    // Data files beyond the backup's belong to the book it replaced.
    Status result;
    for (int n = backup.fileCount; n < oldFiles; ++n) {
        if (Status s = removeFile(dataFile(n)); !s && result.ok) result = s;
    }
    std::error_code ignored;
    fs::remove_all(staging.oldReports(), ignored);
    return result;
}

}  // namespace qingheng
