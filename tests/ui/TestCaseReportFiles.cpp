// The report files qingheng-cli cases add writes are the bytes the main window saves for the
// same case: the engine's texts and emphasis shown in a report pane and read back from it.
#include <QtTest>

#include <filesystem>

#include "CliRunner.h"
#include "TemporaryHome.h"
#include "casebook/CaseOnView.h"
#include "platform/FileUtil.h"
#include "platform/IniFile.h"
#include "platform/Rtf.h"
#include "platform/Settings.h"
#include "ui/main/Untreportpane.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

struct SampleCase {
    const char* code;
    const char* time;
    bool lunar;
    Relative useGod;
};

const SampleCase kCharts[] = {
    {"111114", "2024-02-10 09:30", false, 2},
    {"224133", "2023-02-11 12:10", true, 3},
    {"342112", "2000-01-01 23:30", false, 0},
};

CLiuYaoEx assembled(const SampleCase& c, CaseOnView& view) {
    const std::optional<DateRecord> moment = ParseMomentText(c.time);
    CastingTime time = GregorianCastingTime(*moment);
    time.lunar = c.lunar ? 1 : 0;
    view.setCastingTime(time);
    CastResult cast;
    cast.mainCode = c.code;
    cast.changedCode = ChangedCode(c.code);
    view.takeCast(cast);
    view.setAsker("王五", "问生意", c.useGod);
    view.setMethodLabel("其他方式");
    CLiuYaoEx engine;
    engine.caseInfo = view.caseInfo();
    engine.Assemble(engine.caseInfo.methodLabel);
    return engine;
}

// What the window writes for a pane showing the text: saveReportFile's bytes.
std::string savedByThePane(const std::string& text, const std::vector<StyleSpan>& spans, const QString& font,
                           int size) {
    TReportPane pane;
    pane.setReportFont(font, size);
    pane.showReport(text, spans);
    std::string error;
    return writeRtf(pane.styledDocument(), &error).value_or("<" + error + ">");
}

}  // namespace

class TestCaseReportFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<qingheng::testing::TemporaryHome> home_;

private slots:
    void init() {
        home_ = std::make_unique<qingheng::testing::TemporaryHome>("report_files");
        home_->withShippedFiles({"meihy.dat"}).useAsProgramFolder();
        installReportFontSubstitutes();
    }
    void cleanup() { home_.reset(); }

    void coreReportsAreWhatThePaneSaves() {
        for (const auto& [font, size] : std::vector<std::pair<QString, int>>{{QStringLiteral("宋体"), 12},
                                                                             {QStringLiteral("AR PL UMing CN"), 15}}) {
            for (const SampleCase& c : kCharts) {
                CaseOnView view;
                const CLiuYaoEx engine = assembled(c, view);
                QVERIFY2(engine.errorText.empty(), engine.errorText.c_str());
                CaseReports reports;
                QVERIFY(reportFilesOf(engine, font.toStdString(), size, reports).ok);
                QCOMPARE(reports.sixLines, savedByThePane(engine.lineText, engine.lineSpans, font, size));
                QCOMPARE(reports.plumBlossom, savedByThePane(engine.hexText, engine.hexSpans, font, size));
            }
        }
    }

    void casesAddWritesTheWindowsBytes() {
        IniFile ini(home_->dat() / "lyinit.ini");
        ini.writeInteger("minggao", "fsize", 14);
        QVERIFY(ini.save().ok);
        const SampleCase& c = kCharts[1];
        const auto run = qingheng::testing::runCli(
            "--home " + qingheng::testing::shellQuote(home_->path().string()) + " cases add --code " + c.code +
                " --time '" + c.time + "' --lunar --name 王五 --question 问生意 --category 财运 --use-god 官鬼",
            true);
        QCOMPARE(run.out, std::string("0\n"));
        CaseOnView view;
        const CLiuYaoEx engine = assembled(c, view);
        const QString font = QStringLiteral("宋体");
        QCOMPARE(readFileBytes(*home_ / "liuyao_f/0.rtf").value_or(""),
                 savedByThePane(engine.lineText, engine.lineSpans, font, 14));
        QCOMPARE(readFileBytes(*home_ / "liuyao_f/0m.rtf").value_or(""),
                 savedByThePane(engine.hexText, engine.hexSpans, font, 14));
    }
};

QTEST_MAIN(TestCaseReportFiles)
#include "TestCaseReportFiles.moc"
