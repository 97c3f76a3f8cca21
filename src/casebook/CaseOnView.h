#pragma once
// The case on view: who asks and what is asked, the use god, the casting time and the cast,
// whether its chart is valid, and which stored case it is. The main window and the command
// line both build their case through it, so the case's rules are written once: the field
// limits, the case data the chart engine reads, the record a save writes, what opening or
// editing a stored case brings back, and deleting a case with its report files.
#include <cstdint>
#include <optional>
#include <string>

#include "calendar/Yidate.h"
#include "casebook/CaseRecord.h"
#include "casebook/Database.h"
#include "casting/Casting.h"
#include "chart/Liuyaoex.h"

namespace qingheng {

class CaseOnView {
public:
    // The initial cast (其他方式, 222131 / 222121), new-case mode, no valid chart.
    CaseOnView();

    // ---- what the user chose

    // Who asks, what is asked and the use god (0 兄弟 … 4 父母). Refused, changing nothing,
    // when a text does not fit its record field (the message names the field).
    Status setAsker(const std::string& name, const std::string& question, Relative useGod);
    // Refused when who asks or what is asked is empty: a case needs both before a cast.
    Status requireAsker() const;
    // Replaces the label the report prints after "起卦方式："; refused when it does not fit.
    Status setMethodLabel(const std::string& label);
    // Takes a finished cast. A cast dated by a moment of its own (a time cast, the lifetime
    // hexagram) brings that moment as the new casting time.
    void takeCast(const CastResult& cast, const std::optional<CastingTime>& datedAt = std::nullopt);
    void setCastingTime(const CastingTime& time) { castingTime_ = time; }
    // The casting time becomes the present moment (year capped at the calendar's last).
    void startAtNow() { castingTime_ = CastingTimeNow(); }

    const std::string& name() const { return name_; }
    const std::string& question() const { return question_; }
    Relative useGod() const { return useGod_; }
    const CastingTime& castingTime() const { return castingTime_; }
    CastingTime& castingTime() { return castingTime_; }
    const CastResult& cast() const { return cast_; }

    // ---- the chart

    // The case data the chart engine assembles from: no position, reserved fields 0.
    CaseInfo caseInfo() const;
    bool chartValid() const { return chartValid_; }
    void setChartValid(bool valid) { chartValid_ = valid; }

    // ---- the stored case

    // Copies the case into the record a save writes (casting time, texts, codes, label, use
    // god); the record keeps its category, extra information and id.
    void copyIntoRecord();
    const CaseRecord& record() const { return record_; }
    CaseRecord& record() { return record_; }
    bool existing() const { return existing_; }
    std::uint32_t id() const { return id_; }
    bool isOnView(std::uint32_t id) const { return existing_ && id_ == id; }

    // Puts a stored case on view: its record, casting time, cast and texts, in existing-case
    // mode; its chart is not valid until assembled.
    void showStored(std::uint32_t id, const CaseRecord& record);
    // The details of a stored case were edited: the case on view takes them when it is that
    // case, so a later save keeps them.
    void storedCaseEdited(std::uint32_t id, const CaseRecord& record);
    // Back to new-case mode with no valid chart (a new case, or the case on view deleted).
    void leaveStoredCase();
    // The case book was restored or wiped: nothing on view belongs to it any more, so nothing
    // old can be saved into it.
    void forgetCase();

    // Writes the record over the stored case on view, with its report files when given: the
    // record and the files are saved together or not at all.
    Status saveOver(MDataBase& book, const CaseReports* reports = nullptr) const;
    // Adds the record as a new case (with its report files when given); the record takes
    // its id. The mode stays new, so saving again stores another case.
    Status saveAsNew(MDataBase& book, const CaseReports* reports = nullptr);
    // Takes the category and the extra information a new case is saved with, trimmed of
    // blanks at both ends, line breaks stored as "\r\n". Refused, changing nothing, when
    // either is empty or does not fit its field.
    Status setDetails(const std::string& category, const std::string& extra);

private:
    std::string name_, question_;
    Relative useGod_ = 0;
    CastingTime castingTime_;
    CastResult cast_;
    bool chartValid_ = false;

    CaseRecord record_;
    bool existing_ = false;
    std::uint32_t id_ = 0;
};

// The casting time of a stored record, with its calendar flags.
CastingTime castingTimeOf(const CaseRecord& record);

// Accepts a record as a whole case that the program can list and open, as a save from the
// window or cases add makes it: its texts fit their fields, who asks, what is asked and the
// category are given, the codes and the use god are the chart's, and the calendar can date
// its casting time. Used for cases that arrive from outside (a JSON Lines file).
Status checkWholeCase(const CaseRecord& record);

// Deletes a stored case together with its two report files.
Status deleteStoredCase(MDataBase& book, std::uint32_t id);

// The two report files of an assembled chart as the main window saves them: the engine's
// texts with their emphasis in the report font (name and size), as rich text.
Status reportFilesOf(const CLiuYaoEx& engine, const std::string& fontName, int fontSize, CaseReports& out);

}  // namespace qingheng
