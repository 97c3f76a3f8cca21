// qingheng-cli cases export-json and import-json: every live case as one JSON object a line
// (JSON Lines, UTF-8), for people who keep their own analyses in other tools, and such a
// file appended to the book. An import checks the whole file before it adds the first case
// and adds all its cases in one change, so a bad line or a failure adds nothing.
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "Commands.h"
#include "casebook/CaseOnView.h"
#include "casebook/CaseRecord.h"
#include "platform/FileUtil.h"

namespace qingheng::cli {
namespace {

using Json = nlohmann::ordered_json;
namespace fs = std::filesystem;

void check(const Status& s) {
    if (!s) throw CommandError{s.message};
}

// The text fields of a record under their JSON keys; their titles and limits come from the
// record's field table.
struct TextKey {
    CaseField field;
    const char* key;
};
constexpr TextKey kTextKeys[] = {
    {CaseField::Name, "name"},         {CaseField::Category, "category"},       {CaseField::Question, "question"},
    {CaseField::MainCode, "mainCode"}, {CaseField::ChangedCode, "changedCode"}, {CaseField::Label, "label"},
    {CaseField::Extra, "extra"},
};

const char* keyOf(CaseField field) {
    for (const TextKey& t : kTextKeys) {
        if (t.field == field) return t.key;
    }
    return "";
}

// True for a path that names one of the book's own files: its data, lock, undo and journal
// files (under dat, named after the book's kind) and its report files.
bool isBookFile(const MDataBase& db, const fs::path& target) {
    std::error_code ec;
    const fs::path resolved = fs::weakly_canonical(fs::absolute(target, ec), ec);
    const fs::path dat = fs::weakly_canonical(db.dataFile(0).parent_path(), ec);
    const fs::path reports = fs::weakly_canonical(db.reportFolder(), ec);
    const std::string name = resolved.filename().string();
    return (resolved.parent_path() == dat && name.rfind(std::string(db.kindName()), 0) == 0) ||
           resolved.parent_path() == reports;
}

void runExportJson(const std::string& file) {
    const MDataBase db = openCaseBook();
    if (isBookFile(db, file)) throw CommandError{fmt::format("{} 是卦例库自己的文件，请换一个文件名。", file)};
    std::string out;
    int count = 0;
    CaseQuery everything;
    check(db.forEachCase(everything, [&](const CaseRecord& r) {
        out += caseJson(r).dump(-1, ' ', false);
        out += '\n';
        ++count;
        return true;
    }));
    check(writeFileAtomically(file, out));
    fmt::print("已导出{}个卦例到{}\n", count, file);
}

// ---- reading a line back

// Why a line is refused, in the words the message gives after its number.
struct LineError {
    std::string why;
};

std::string named(const char* key, std::string_view title) { return fmt::format("“{}”（{}）", key, title); }

const Json& required(const Json& j, const char* key, std::string_view title) {
    const auto it = j.find(key);
    if (it == j.end()) throw LineError{fmt::format("缺少{}。", named(key, title))};
    return *it;
}

template <typename T>
T integer(const Json& j, const char* key, std::string_view title, long long least, long long most,
          std::optional<T> fallback = std::nullopt) {
    if (fallback && !j.contains(key)) return *fallback;
    const Json& v = required(j, key, title);
    if (!v.is_number_integer() || v.get<long long>() < least || v.get<long long>() > most ||
        (v.is_number_unsigned() && v.get<unsigned long long>() > static_cast<unsigned long long>(most))) {
        throw LineError{fmt::format("{}应为{}到{}之间的整数。", named(key, title), least, most)};
    }
    return static_cast<T>(v.get<long long>());
}

std::int16_t shortInteger(const Json& j, const char* key, std::string_view title,
                          std::optional<std::int16_t> fallback = std::nullopt) {
    return integer<std::int16_t>(j, key, title, std::numeric_limits<std::int16_t>::min(),
                                 std::numeric_limits<std::int16_t>::max(), fallback);
}

bool flag(const Json& j, const char* key, std::string_view title) {
    const Json& v = required(j, key, title);
    if (!v.is_boolean()) throw LineError{fmt::format("{}应为true或false。", named(key, title))};
    return v.get<bool>();
}

std::string text(const Json& j, const char* key, std::string_view title) {
    const Json& v = required(j, key, title);
    if (!v.is_string()) throw LineError{fmt::format("{}应为文字。", named(key, title))};
    return v.get<std::string>();
}

float position(const Json& j, const char* key, std::string_view title) {
    if (!j.contains(key)) return kNoPosition;
    const Json& v = j[key];
    if (!v.is_number() || !std::isfinite(v.get<double>()) || std::abs(v.get<double>()) > 1000.0)
        throw LineError{fmt::format("{}应为一个数。", named(key, title))};
    return static_cast<float>(v.get<double>());
}

std::optional<StoredCastInput> castInput(const Json& j) {
    const auto it = j.find("input");
    if (it == j.end() || it->is_null()) return std::nullopt;
    if (!it->is_object()) throw LineError{fmt::format("{}应为null或一个对象。", named("input", "起卦输入"))};
    StoredCastInput input;
    input.text = text(*it, "text", "起卦输入");
    input.upper = shortInteger(*it, "upper", "上卦数");
    input.lower = shortInteger(*it, "lower", "下卦数");
    input.total = shortInteger(*it, "total", "总数");
    return input;
}

// The record of one line; throws LineError. Keys the program does not know are left alone:
// they may be the user's own notes.
CaseRecord recordOf(const std::string& line) {
    Json j;
    try {
        j = Json::parse(line);
    } catch (const Json::parse_error& e) {
        throw LineError{fmt::format("不是有效的JSON（第{}个字节附近）。", e.byte)};
    }
    if (!j.is_object()) throw LineError{"应为一个JSON对象。"};
    CaseRecord r;
    for (const TextKey& t : kTextKeys) r.text(t.field) = text(j, t.key, caseFieldInfo(t.field).title);
    r.year = shortInteger(j, "year", "年");
    r.month = shortInteger(j, "month", "月");
    r.day = shortInteger(j, "day", "日");
    r.hour = shortInteger(j, "hour", "时");
    r.minute = shortInteger(j, "minute", "分");
    r.lunar = flag(j, "lunar", "农历");
    r.leap = flag(j, "leap", "闰月");
    r.useGod = integer<std::uint32_t>(j, "useGod", "用神", 0, 4);
    r.castInput = castInput(j);
    r.kindCode = integer<std::uint8_t>(j, "kindCode", "类型代码", 0, 255, std::uint8_t{0});
    r.reserved1 = shortInteger(j, "reserved1", "保留1", std::int16_t{0});
    r.reserved2 = shortInteger(j, "reserved2", "保留2", std::int16_t{0});
    r.longitude = position(j, "longitude", "经度");
    r.latitude = position(j, "latitude", "纬度");
    if (Status s = checkWholeCase(r); !s) throw LineError{s.message};
    return r;
}

bool isBlank(std::string_view line) { return line.find_first_not_of(" \t\r") == std::string_view::npos; }

// Every case of the file, or CommandError naming the first bad line.
std::vector<CaseRecord> readJsonLines(const std::string& file) {
    const auto bytes = readFileBytes(file);
    if (!bytes) throw CommandError{fmt::format("无法读取文件 {}：{}", file, systemErrorText(errno))};
    std::vector<CaseRecord> records;
    std::size_t start = 0;
    for (int number = 1; start < bytes->size(); ++number) {
        std::size_t end = bytes->find('\n', start);
        if (end == std::string::npos) end = bytes->size();
        std::string line = bytes->substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (isBlank(line)) continue;
        try {
            records.push_back(recordOf(line));
        } catch (const LineError& e) {
            throw CommandError{fmt::format("第{}行：{}", number, e.why)};
        }
    }
    if (records.empty()) throw CommandError{fmt::format("文件 {} 中没有卦例。", file)};
    return records;
}

void runImportJson(const std::string& file) {
    std::vector<CaseRecord> records = readJsonLines(file);
    MDataBase db = openCaseBook(StoreOpening::CreateIfMissing);
    check(db.appendCases(records));
    const std::uint32_t first = records.front().id, last = records.back().id;
    if (first == last) fmt::print("已导入1个卦例，编号为{}\n", first);
    else fmt::print("已导入{}个卦例，编号为{}至{}\n", records.size(), first, last);
}

}  // namespace

Json caseJson(const CaseRecord& r) {
    Json j;
    j["id"] = r.id;
    j[keyOf(CaseField::Name)] = r.name;
    j[keyOf(CaseField::Category)] = r.category;
    j["year"] = r.year;
    j["month"] = r.month;
    j["day"] = r.day;
    j["hour"] = r.hour;
    j["minute"] = r.minute;
    j["lunar"] = r.lunar;
    j["leap"] = r.leap;
    j[keyOf(CaseField::Question)] = r.question;
    j["useGod"] = r.useGod;
    j[keyOf(CaseField::MainCode)] = r.mainCode;
    j[keyOf(CaseField::ChangedCode)] = r.changedCode;
    j[keyOf(CaseField::Label)] = r.label;
    j[keyOf(CaseField::Extra)] = r.extra;
    j["input"] = nullptr;
    if (r.castInput) {
        j["input"] = {{"text", r.castInput->text},
                      {"upper", r.castInput->upper},
                      {"lower", r.castInput->lower},
                      {"total", r.castInput->total}};
    }
    j["kindCode"] = r.kindCode;
    j["reserved1"] = r.reserved1;
    j["reserved2"] = r.reserved2;
    j["longitude"] = r.longitude;
    j["latitude"] = r.latitude;
    return j;
}

void addCasesJsonCommands(CLI::App& cases) {
    auto* exportJson = cases.add_subcommand("export-json", "every live case as JSON Lines (one object a line, UTF-8)");
    auto target = std::make_shared<std::string>();
    exportJson->add_option("FILE", *target, "the file to write")->required();
    exportJson->callback([target] { runExportJson(*target); });

    auto* importJson =
        cases.add_subcommand("import-json", "append the cases of a JSON Lines file; a bad line adds nothing");
    auto source = std::make_shared<std::string>();
    importJson->add_option("FILE", *source, "a file written by export-json")->required()->check(CLI::ExistingFile);
    importJson->callback([source] { runImportJson(*source); });
}

}  // namespace qingheng::cli
