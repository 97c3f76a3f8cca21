// 显示全部卦例 on a 100 000-case book: time until the first rows are drawn, time until every
// row is listed, and the longest the event loop went without turning (a 10 ms timer notes
// each turn) while the list filled.
// Run with QT_QPA_PLATFORM=offscreen: build/bin/bench_ui_caselist [rounds]
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "casebook/Database.h"
#include "platform/ProgramFolder.h"
#include "ui/main/Untcaselist.h"
#include "ui/main/Untmain.h"

namespace fs = std::filesystem;
using namespace qingheng;

namespace {

constexpr int kCases = 100000;

// A home whose case book holds kCases cases of varied names, dates and questions.
fs::path makeHome() {
    std::string pattern = (fs::temp_directory_path() / "caselist_bench_XXXXXX").string();
    const fs::path home = ::mkdtemp(pattern.data());
    fs::create_directories(home / "dat");
    MDataBase book;
    if (!book.openStore(home, kKindLiuYao)) return {};
    const char* names[] = {"张三", "李四", "王五", "赵六", "钱七", "孙八", "周九"};
    std::vector<CaseRecord> records(kCases);
    for (int i = 0; i < kCases; ++i) {
        CaseRecord& r = records[static_cast<std::size_t>(i)];
        r.name = names[i % 7];
        r.category = i % 3 == 0 ? "财运" : "婚姻";
        r.question = "问事第" + std::to_string(i % 1000) + "项";
        r.year = static_cast<std::int16_t>(1950 + i % 100);
        r.month = static_cast<std::int16_t>(1 + i % 12);
        r.day = static_cast<std::int16_t>(1 + i % 28);
        r.lunar = i % 5 == 0;
        r.mainCode = "123412";
        r.changedCode = "121212";
        r.label = "铜钱摇卦";
    }
    if (!book.appendCases(records)) return {};
    return home;
}

QAction* listAction(QWidget* list, const QString& text) {
    for (QAction* action : list->actions()) {
        if (action->text() == text) return action;
    }
    return nullptr;
}

struct Round {
    double firstRowsMs = 0, allRowsMs = 0, longestGapMs = 0;
    int rows = 0;
};

Round listEveryCase(TFrmMain& window) {
    auto* list = window.findChild<QTreeView*>("ListView1");
    auto* feed = window.findChild<CaseListFeed*>("caseListFeed");
    Round round;
    QElapsedTimer clock, sinceTick;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        round.longestGapMs = std::max(round.longestGapMs, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    QEventLoop loop;
    QObject::connect(feed, &CaseListFeed::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(0, [&] {
        clock.start();
        listAction(list, QStringLiteral("显示全部卦例"))->trigger();
        list->viewport()->repaint();  // the first rows drawn
        round.firstRowsMs = clock.nsecsElapsed() / 1e6;
        if (!feed->running()) loop.quit();
    });
    sinceTick.start();
    ticker.start();
    loop.exec();
    round.allRowsMs = clock.nsecsElapsed() / 1e6;
    round.rows = list->model()->rowCount();
    ticker.stop();
    return round;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QApplication app(argc, argv);
    std::printf("writing a book of %d cases...\n", kCases);
    const fs::path home = makeHome();
    if (home.empty()) return 1;
    setProgramFolder(home);
    int status = 0;
    {
        TFrmMain window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) return 1;
        for (int i = 0; i < rounds; ++i) {
            const Round r = listEveryCase(window);
            std::printf(
                "round %d: %d rows; first rows drawn after %.1f ms, all rows after %.1f ms, "
                "longest event-loop gap %.1f ms\n",
                i + 1, r.rows, r.firstRowsMs, r.allRowsMs, r.longestGapMs);
            if (r.rows != kCases) status = 1;
        }
    }
    fs::remove_all(home);
    return status;
}
