// Draws the user guide's pictures of the main window (data/help/images): main.png, the window
// with a few saved cases and no chart, and cast.png, the same window after a cast by number.
// Runs offscreen in a private home at a fixed "now", so that every run draws the same pictures:
//
//   QT_QPA_PLATFORM=offscreen build/bin/help_screenshots data/help/images
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "DialogDriver.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untreportpane.h"

namespace {

using qingheng::testing::child;

constexpr QSize kWindowSize(1120, 740);
constexpr int kListWidth = 270;
constexpr int kSideWidth = 160;

struct SampleCase {
    const char* name;
    const char* question;
    int useGod;  // 兄弟 0 … 父母 4
    const char* digits;
    const char* category;
};

// The cases the pictures show: the first three are saved before main.png, the last is cast
// for cast.png.
constexpr SampleCase kSavedCases[] = {
    {"王先生", "新店开张能否盈利", 2, "3719", "财运"},
    {"李女士", "出差的丈夫何时回家", 3, "58", "行人"},
    {"小陈", "今年考研能否录取", 4, "246", "学业"},
};
constexpr SampleCase kCast = {"张三", "近期求财是否顺利", 2, "12", ""};

void fillAsker(qingheng::TFrmMain& window, const SampleCase& c) {
    child<QLineEdit>(window, "Edtname")->setText(QString::fromUtf8(c.name));
    child<QLineEdit>(window, "Cbolei")->setText(QString::fromUtf8(c.question));
    child<QComboBox>(window, "lstqu")->setCurrentIndex(c.useGod);
}

bool castByNumber(qingheng::TFrmMain& window, qingheng::ScriptedPrompts& script, const SampleCase& c) {
    fillAsker(window, c);
    script.inputAnswers.push_back(QString::fromUtf8(c.digits));
    // As a user picks it: the list shows 数字起卦 while the input box asks for the digits.
    constexpr int kNumberItem = 6;
    child<QComboBox>(window, "CboQiGua")->setCurrentIndex(kNumberItem);
    window.castByListItem(kNumberItem);
    return window.chartValid();
}

void saveCase(qingheng::TFrmMain& window, const SampleCase& c) {
    qingheng::testing::onNextDialog([&c](QWidget* dialog) {
        child<QComboBox>(dialog, "CboFenLei")->setCurrentText(QString::fromUtf8(c.category));
        qingheng::testing::click(dialog, "Btnok");
    });
    window.saveCase();
}

bool save(QWidget& window, const QDir& folder, const char* name) {
    const QString file = folder.filePath(QString::fromLatin1(name));
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: help_screenshots FOLDER\n");
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(output.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    QTemporaryDir home;
    qingheng::setHome(
        {home.path().toStdString(), qingheng::HomeReason::Option, std::filesystem::path(QH_BIN_DIR) / "dat"});
    if (const qingheng::Status shipped = qingheng::provideShippedData(qingheng::currentHome()); !shipped) {
        std::fprintf(stderr, "%s\n", shipped.message.c_str());
        return 1;
    }
    qingheng::setAppClock(std::make_shared<qingheng::FixedClock>(qingheng::LocalDateTime{2024, 2, 10, 9, 30, 0}));
    qingheng::installReportFontSubstitutes();
    qingheng::ScopedScriptedPrompts script;

    {
        // The first window saves the cases; the next one starts with them in its list.
        qingheng::TFrmMain first;
        first.show();
        if (!QTest::qWaitForWindowExposed(&first)) return 1;
        for (const SampleCase& c : kSavedCases) {
            if (!castByNumber(first, *script, c)) return 1;
            saveCase(first, c);
        }
        first.close();
    }
    qingheng::TFrmMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    window.resize(kWindowSize);
    // The list wide enough for its dates and categories, as a user would drag it.
    auto* splitter = window.findChild<QSplitter*>();
    splitter->setSizes({kListWidth, kWindowSize.width() - kListWidth - kSideWidth, kSideWidth});
    QTest::qWait(50);
    if (!save(window, output, "main.png")) return 1;
    if (!castByNumber(window, *script, kCast)) return 1;
    QTest::qWait(50);
    return save(window, output, "cast.png") ? 0 : 1;
}
