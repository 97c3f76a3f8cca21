#include "casebook/CaseOnView.h"

#include <algorithm>

#include <fmt/format.h>

#include "platform/FileUtil.h"
#include "platform/Rtf.h"

namespace qingheng {
namespace {

constexpr Relative kLastRelative = 4;

// The casting method a stored label stands for ("终身卦" is time casting).
CastingMethod methodOfLabel(const std::string& label) {
    if (label == kLifetimeLabel) return CastingMethod::Time;
    for (int m = 0; m < kCastingMethodCount; ++m) {
        if (kCastingMethodLabels[m] == label) return static_cast<CastingMethod>(m);
    }
    return CastingMethod::Other;
}

// Text without the blanks, tabs and line breaks at either end (full-width spaces stay).
std::string trimBlanks(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return text.substr(first, last - first);
}

// Line breaks of any form as "\r\n", the form the record stores.
std::string storedLineBreaks(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n' || text[i] == '\r') out += "\r\n";
        else out += text[i];
    }
    return out;
}

// The cast a stored record holds: its codes and label, and the input with its numbers when
// the record keeps them (older files do not).
CastResult castOf(const CaseRecord& record) {
    CastResult cast;
    cast.mainCode = record.mainCode;
    cast.changedCode = record.changedCode;
    cast.label = record.label;
    cast.method = methodOfLabel(record.label);
    if (record.castInput) {
        cast.input = record.castInput->text;
        cast.upper = record.castInput->upper;
        cast.lower = record.castInput->lower;
        cast.total = record.castInput->total;
    }
    return cast;
}

// The input a number or character cast keeps with the case.
std::optional<StoredCastInput> castInputOf(const CastResult& cast) {
    const bool withInput = cast.method == CastingMethod::Number || cast.method == CastingMethod::Characters;
    if (!withInput || cast.input.empty()) return std::nullopt;
    return StoredCastInput{cast.input, cast.upper, cast.lower, cast.total};
}

}  // namespace

CaseOnView::CaseOnView() : cast_(InitialCastResult()) {}

Status CaseOnView::setAsker(const std::string& name, const std::string& question, Relative useGod) {
    if (Status s = checkCaseText(CaseField::Name, name); !s) return s;
    if (Status s = checkCaseText(CaseField::Question, question); !s) return s;
    name_ = name;
    question_ = question;
    useGod_ = std::clamp(useGod, 0, kLastRelative);
    return Status::success();
}

Status CaseOnView::requireAsker() const {
    if (name_.empty() || question_.empty()) return Status::failure("姓名或占问事宜不能为空");
    return Status::success();
}

Status CaseOnView::setMethodLabel(const std::string& label) {
    if (Status s = checkCaseText(CaseField::Label, label); !s) return s;
    cast_.label = label;
    return Status::success();
}

void CaseOnView::takeCast(const CastResult& cast, const std::optional<CastingTime>& datedAt) {
    cast_ = cast;
    if (datedAt) castingTime_ = *datedAt;
}

CaseInfo CaseOnView::caseInfo() const {
    CaseInfo info;
    info.name = name_;
    info.question = question_;
    info.methodLabel = cast_.label;
    info.castingTime = castingTime_;
    info.useGod = useGod_;
    info.mainCode = cast_.mainCode;
    info.changedCode = cast_.changedCode;
    info.reserved = 0;
    info.reserved1 = info.reserved2 = 0;
    info.longitude = info.latitude = kNoPosition;
    info.castingMethod = static_cast<int>(cast_.method);
    info.inputText = cast_.input;
    info.upper = cast_.upper;
    info.lower = cast_.lower;
    info.total = cast_.total;
    return info;
}

void CaseOnView::copyIntoRecord() {
    record_.year = castingTime_.year;
    record_.month = castingTime_.month;
    record_.day = castingTime_.day;
    record_.hour = castingTime_.hour;
    record_.minute = castingTime_.minute;
    record_.lunar = castingTime_.lunar != 0;
    record_.leap = castingTime_.leap != 0;
    record_.name = name_;
    record_.question = question_;
    record_.reserved1 = record_.reserved2 = 0;
    record_.mainCode = cast_.mainCode;
    record_.changedCode = cast_.changedCode;
    record_.label = cast_.label;
    record_.castInput = castInputOf(cast_);
    record_.useGod = static_cast<std::uint32_t>(useGod_);
}

CastingTime castingTimeOf(const CaseRecord& r) {
    return CastingTime{r.year,
                       r.month,
                       r.day,
                       r.hour,
                       r.minute,
                       static_cast<std::uint8_t>(r.lunar),
                       static_cast<std::uint8_t>(r.leap)};
}

void CaseOnView::showStored(std::uint32_t id, const CaseRecord& record) {
    record_ = record;
    castingTime_ = castingTimeOf(record);
    cast_ = castOf(record);
    name_ = record.name;
    question_ = record.question;
    useGod_ = static_cast<Relative>(std::min<std::uint32_t>(record.useGod, kLastRelative));
    chartValid_ = false;
    existing_ = true;
    id_ = id;
}

void CaseOnView::storedCaseEdited(std::uint32_t id, const CaseRecord& record) {
    if (!isOnView(id)) return;
    record_ = record;
    castingTime_ = castingTimeOf(record);
    name_ = record.name;
    question_ = record.question;
    useGod_ = static_cast<Relative>(std::min<std::uint32_t>(record.useGod, kLastRelative));
}

void CaseOnView::leaveStoredCase() {
    existing_ = false;
    chartValid_ = false;
}

void CaseOnView::forgetCase() {
    leaveStoredCase();
    id_ = 0;
    record_ = CaseRecord{};
    cast_ = InitialCastResult();
}

Status CaseOnView::saveOver(MDataBase& book, const CaseReports* reports) const {
    return book.writeCase(id_, record_, reports);
}

Status CaseOnView::saveAsNew(MDataBase& book, const CaseReports* reports) {
    CaseRecord stored = record_;
    if (Status s = book.addCase(stored, reports); !s) return s;
    record_.id = stored.id;
    return Status::success();
}

Status CaseOnView::setDetails(const std::string& category, const std::string& extra) {
    const std::string trimmedCategory = trimBlanks(category);
    const std::string storedExtra = storedLineBreaks(trimBlanks(extra));
    if (trimmedCategory.empty()) return Status::failure("类别名不能为空");
    if (storedExtra.empty()) return Status::failure("附加信息不能为空");
    if (Status s = checkCaseText(CaseField::Category, trimmedCategory); !s) return s;
    if (Status s = checkCaseText(CaseField::Extra, storedExtra); !s) return s;
    record_.category = trimmedCategory;
    record_.extra = storedExtra;
    return Status::success();
}

Status reportFilesOf(const CLiuYaoEx& engine, const std::string& fontName, int fontSize, CaseReports& out) {
    const int size = fontSize > 0 ? fontSize : 12;  // as a report pane takes its size
    std::string error;
    const auto sixLines =
        writeRtf(withPaneLineBreaks(applySpans(engine.lineText, engine.lineSpans, fontName, size)), &error);
    if (!sixLines) return Status::failure(error);
    const auto plum = writeRtf(withPaneLineBreaks(applySpans(engine.hexText, engine.hexSpans, fontName, size)), &error);
    if (!plum) return Status::failure(error);
    out.sixLines = *sixLines;
    out.plumBlossom = *plum;
    return Status::success();
}

Status checkWholeCase(const CaseRecord& record) {
    if (Status s = checkCaseRecord(record); !s) return s;
    if (record.name.empty() || record.question.empty()) return Status::failure("姓名或占问事宜不能为空");
    if (record.category.empty()) return Status::failure("类别名不能为空");
    CaseInfo info;
    info.castingTime = castingTimeOf(record);
    info.mainCode = record.mainCode;
    info.changedCode = record.changedCode;
    // Checked here: a stored number past the five relatives must not wrap or be cut to one.
    if (record.useGod > static_cast<std::uint32_t>(kLastRelative))
        return Status::failure(fmt::format("用神应为0到4（兄弟、子孙、妻财、官鬼、父母）：{}", record.useGod));
    info.useGod = static_cast<Relative>(record.useGod);
    info.longitude = record.longitude;
    std::string error;
    if (!CLiuYaoEx::validateCase(info, error)) return Status::failure(error);
    DatedMoment dated;
    if (!DateCastingTime(info.castingTime, info.longitude, dated, error)) return Status::failure(error);
    return Status::success();
}

Status deleteStoredCase(MDataBase& book, std::uint32_t id) {
    if (Status s = book.removeCase(id); !s) return s;
    // The case is gone; report files left behind belong to no case and are overwritten
    // when the slot is used again, so failing to remove them does not undo the deletion.
    removeFile(book.reportPath(id));
    removeFile(book.plumReportPath(id));
    return Status::success();
}

}  // namespace qingheng
