// The readings in the main window: both report tabs carry the general judgement and the Mei
// Hua reading with their emphasis, 解释 copies them, and an opened case explains itself.
#include <QtTest>

#include <QTabWidget>
#include <QToolButton>

#include <memory>

#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "platform/Rtf.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untpanefile.h"
#include "ui/main/Untreportpane.h"

using namespace qingheng;
using namespace qingheng::testing;

namespace {

StyledDocument paneDocument(TFrmMain& w, const char* name) { return child<TReportPane>(w, name)->styledDocument(); }

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
    click(w, "SpeedButton2");
    return sidePaneText(w);
}

}  // namespace

class TestReadings : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowHome> home_;

private slots:
    void init() {
        home_ = std::make_unique<MainWindowHome>("readings");
        home_->withShippedFiles({"meihy.dat"});
    }
    void cleanup() { home_.reset(); }

    void bothTabsShowTheReadingsWithTheirEmphasis() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        QVERIFY(castByNumber(w, *script, QStringLiteral("12")));

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
        child<QTabWidget>(w, "Page1")->setCurrentIndex(1);
        QVERIFY(explained(w).startsWith(QStringLiteral("卦像解析：　\n★互卦：")));
    }

    void anOpenedCaseShowingItsStoredReportExplainsItself() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        QVERIFY(castByNumber(w, *script, QStringLiteral("12")));
        const QString saved = explained(w);
        saveAsNewCase(w, QStringLiteral("财运"));
        StyledDocument stored;
        stored.runs.push_back({"存档的文本\n", TextStyle{}});
        QVERIFY(saveRtfFile(home_->path() / "liuyao_f" / "0.rtf", stored).ok);

        // Another chart, then the saved case: its stored report shows, and 解释 gives its own
        // analysis, not the other chart's.
        w.newCase();
        QVERIFY(castByNumber(w, *script, QStringLiteral("34")));
        QVERIFY(explained(w) != saved);
        selectCaseRow(w, 0);
        w.openCase();
        QCOMPARE(child<TReportPane>(w, "Redtliuyao")->toPlainText(), QStringLiteral("存档的文本\n"));
        QCOMPARE(explained(w), saved);
    }
};

QTEST_MAIN(TestReadings)
#include "TestReadings.moc"
