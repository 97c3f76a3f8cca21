#pragma once
// Sub-commands of qingheng-cli. Each add… function registers its commands on the app.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <iostream>
#include <string>

#include "casebook/Database.h"

namespace qingheng::cli {

// Thrown by a command to end with a message on stderr and exit code 1.
struct CommandError {
    std::string message;
};

// Prints one JSON object on stdout, non-ASCII text as UTF-8.
inline void printJson(const nlohmann::ordered_json& j) { std::cout << j.dump(2, ' ', false) << '\n'; }

// A report or judgement text as written, ended by a line break when its last row has none.
inline void printReport(const std::string& text) {
    std::cout << text;
    if (!text.empty() && text.back() != '\n') std::cout << '\n';
}

void addHexagramCommands(CLI::App& app);
void addCastCommands(CLI::App& app);
void addCalendarCommands(CLI::App& app);
void addChartCommands(CLI::App& app);
void addCasesCommands(CLI::App& app);
// The case book of the home; throws CommandError when it cannot be opened.
MDataBase openCaseBook(StoreOpening opening = StoreOpening::ExistingOnly);
// cases add, under the cases command.
void addCaseAddCommand(CLI::App& cases);
// cases export-json and import-json, under the cases command.
void addCasesJsonCommands(CLI::App& cases);
// A stored case as the JSON object export-json writes (cases show adds to it).
nlohmann::ordered_json caseJson(const CaseRecord& record);
void addZhouyiCommands(CLI::App& app);
// calendar page, under the calendar command.
void addCalendarPageCommand(CLI::App& calendar);
// liuren and lot.
void addReferenceCommands(CLI::App& app);
void addTopicCommands(CLI::App& app);

}  // namespace qingheng::cli
