// The readings in the main window: both report tabs carry the general judgement and the Mei
// Hua reading with their emphasis, 解释 copies them, and an opened case explains itself.
#include <QtTest>

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>
#include <functional>

#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "platform/Rtf.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untpanefile.h"
#include "ui/main/Untreportpane.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

void onNextDialog(std::function<void(QWidget*)> handler) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, handler] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            handler(dialog);
        }
    });
    timer->start(10);
}

StyledDocument paneDocument(TFrmMain& w, const char* name) { return w.findChild<TReportPane*>(name)->styledDocument(); }

// The style of the run holding the first occurrence of text, or nothing.
std::optional<TextStyle> styleAt(const StyledDocument& doc, const std::string& text) {
    std::string all;
    for (const StyledRun& run : doc.runs) all += run.text;
    const std::size_t at = all.find(text);
    if (at == std::string::npos) return std::nullopt;
    std::size_t start = 0;
    for (const StyledRun& run : doc.runs) {
        if (at < start + run.text.size()) return run.style;
        start += run.text.size();
    }
    return std::nullopt;
}

QString explained(TFrmMain& w) {
    w.findChild<QToolButton*>("SpeedButton2")->click();
    return w.findChild<QPlainTextEdit*>("MeoDec")->toPlainText();
}

}  // namespace

class TestReadings : public QObject {
    Q_OBJECT

    fs::path home_;

private slots:
    void init() {
        home_ = fs::temp_directory_path() / ("qingheng_readings_" + std::to_string(::getpid()));
        fs::remove_all(home_);
        fs::create_directories(home_ / "dat");
        fs::copy_file(fs::path(QH_BIN_DIR) / "dat" / "meihy.dat", home_ / "dat" / "meihy.dat");
        setProgramFolder(home_);
        setAppClock(std::make_shared<FixedClock>(LocalDateTime{2024, 2, 10, 9, 30, 0}));
        installReportFontSubstitutes();
    }

    void cleanup() {
        setAppClock(std::make_shared<SystemClock>());
        fs::remove_all(home_);
    }

    void bothTabsShowTheReadingsWithTheirEmphasis() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        script->inputAnswers.push_back(QStringLiteral("12"));
        w.castByListItem(6);  // 数字起卦
        QVERIFY(w.chartValid());

        const StyledDocument chart = paneDocument(w, "Redtliuyao");
        const int base = chart.basePointSize;
        const std::optional<TextStyle> head = styleAt(chart, "爻像解析：");
        QVERIFY(head);
        QCOMPARE(head->color, kBlue);
        QVERIFY(head->bold);
        QCOMPARE(head->pointSize, base - 2);
        for (const char* heading : {"【用神】", "【世爻】", "【定应期】", "【吉神凶煞】"}) {
            const std::optional<TextStyle> s = styleAt(chart, heading);
            QVERIFY2(s && s->color == kRed && s->pointSize == base - 2, heading);
        }
        const std::optional<TextStyle> body = styleAt(chart, "◇综合判断");
        QVERIFY(body && body->color == kBlack && !body->bold && body->pointSize == base - 2);
        QCOMPARE(styleAt(chart, "主变卦")->pointSize, base);

        const StyledDocument meihua = paneDocument(w, "Redtmeihua");
        const std::optional<TextStyle> title = styleAt(meihua, "卦像解析：");
        QVERIFY(title && title->color == kBlue && title->bold && title->pointSize == base - 2);
        const std::optional<TextStyle> sayings = styleAt(meihua, "★梅花易数断：");
        QVERIFY(sayings && sayings->color == kBlack && sayings->pointSize == base - 2);

        QVERIFY(explained(w).startsWith(QStringLiteral("爻像解析：　\n【用神】")));
        w.findChild<QTabWidget*>("Page1")->setCurrentIndex(1);
        QVERIFY(explained(w).startsWith(QStringLiteral("卦像解析：　\n★互卦：")));
    }

    void anOpenedCaseShowingItsStoredReportExplainsItself() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        script->inputAnswers.push_back(QStringLiteral("12"));
        w.castByListItem(6);
        const QString saved = explained(w);
        onNextDialog([](QWidget* dialog) {
            dialog->findChild<QComboBox*>("CboFenLei")->setCurrentText(QStringLiteral("财运"));
            dialog->findChild<QPushButton*>("Btnok")->click();
        });
        w.saveCase();
        StyledDocument stored;
        stored.runs.push_back({"存档的文本\n", TextStyle{}});
        QVERIFY(saveRtfFile(home_ / "liuyao_f" / "0.rtf", stored).ok);

        // Another chart, then the saved case: its stored report shows, and 解释 gives its own
        // analysis, not the other chart's.
        w.newCase();
        script->inputAnswers.push_back(QStringLiteral("34"));
        w.castByListItem(6);
        QVERIFY(explained(w) != saved);
        auto* list = w.findChild<QTreeWidget*>("ListView1");
        list->clearSelection();
        list->topLevelItem(0)->setSelected(true);
        w.openCase();
        QCOMPARE(w.findChild<TReportPane*>("Redtliuyao")->toPlainText(), QStringLiteral("存档的文本\n"));
        QCOMPARE(explained(w), saved);
    }
};

QTEST_MAIN(TestReadings)
#include "TestReadings.moc"
