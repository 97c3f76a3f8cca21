// qingheng-cli liuren MONTH DAY HOUR | lot TEXT
#include <iostream>
#include <memory>
#include <string>

#include "Commands.h"
#include "reference/HourLesson.h"
#include "reference/Lots.h"

namespace qingheng::cli {
namespace {

struct LessonOptions {
    int month = 1, day = 1, hour = 0;
};

}  // namespace

void addReferenceCommands(CLI::App& app) {
    auto* liuren = app.add_subcommand("liuren", "the hour lesson (六壬时课) of a lunar month, day and hour");
    auto lesson = std::make_shared<LessonOptions>();
    liuren->add_option("MONTH", lesson->month, "lunar month 1-12")->required()->check(CLI::Range(1, 12));
    liuren->add_option("DAY", lesson->day, "lunar day 1-30")->required()->check(CLI::Range(1, 30));
    liuren->add_option("HOUR", lesson->hour, "hour 0-23")->required()->check(CLI::Range(0, 23));
    liuren->callback([lesson] { std::cout << HourLessonText(lesson->month - 1, lesson->day - 1, lesson->hour); });

    auto* lot = app.add_subcommand("lot", "draw a lot of 诸葛神数 from three Chinese characters");
    auto text = std::make_shared<std::string>();
    lot->add_option("TEXT", *text, "three Chinese characters (strokes from dat/hzlen.dat)")->required();
    lot->callback([text] {
        const LotDraw draw = DrawLot(*text);
        if (draw.refusal) throw CommandError{draw.refusal->text};
        std::cout << draw.memo << '\n';
    });
}

}  // namespace qingheng::cli
