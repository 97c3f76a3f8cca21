#include <QtTest>

#include <fstream>

#include "TemporaryHome.h"
#include "platform/FileUtil.h"
#include "platform/Gbk.h"
#include "platform/Rtf.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untpanefile.h"
#include "ui/main/Untreportpane.h"

using namespace qingheng;

namespace {

using qingheng::testing::TemporaryHome;

QString filePath(const TemporaryHome& dir, const char* name) { return QString::fromStdString((dir / name).string()); }

QDir folderOf(const TemporaryHome& dir) { return QDir(QString::fromStdString(dir.path().string())); }

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readBytes(const std::filesystem::path& path) { return readFileBytes(path).value_or(std::string()); }

// A report with every kind of emphasis the engine writes.
void showStyledReport(TReportPane& pane) {
    pane.showReport("卦例：测试\r\n干支：甲子\n官鬼 应\n爻像解析：小字",
                    {{6, 2, kBlue, std::nullopt, 0}, {12, 2, kRed, true, 0}, {17, 7, std::nullopt, true, -2}});
}

bool sameDocument(const StyledDocument& a, const StyledDocument& b) {
    if (a.runs.size() != b.runs.size()) return false;
    for (size_t i = 0; i < a.runs.size(); ++i)
        if (a.runs[i].text != b.runs[i].text || !(a.runs[i].style == b.runs[i].style)) return false;
    return true;
}

int countShown(const ScriptedPrompts& script, const QString& kind) {
    return static_cast<int>(
        std::count_if(script.shown.begin(), script.shown.end(), [&](const ShownPrompt& p) { return p.kind == kind; }));
}

}  // namespace

class TestPaneFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installReportFontSubstitutes(); }

    void reportFileRoundTripKeepsTextAndStyles() {
        const TemporaryHome dir("pane");
        TReportPane written;
        showStyledReport(written);
        const auto file = dir / "7.rtf";
        QString error;
        QVERIFY(saveReportFile(written, file, &error));
        QVERIFY(readBytes(file).starts_with("{\\rtf"));

        TReportPane read;
        read.setPlainText(QStringLiteral("旧内容"));
        read.document()->setModified(true);
        QVERIFY2(loadReportFile(read, file, &error), qPrintable(error));
        QCOMPARE(read.toPlainText(), written.toPlainText());
        QVERIFY(sameDocument(read.styledDocument(), written.styledDocument()));
        QVERIFY(!read.document()->isModified());
        const StyledDocument doc = read.styledDocument();
        QCOMPARE(doc.runs.size(), size_t(6));
        QCOMPARE(doc.runs[1].text, std::string("干支"));
        QVERIFY(doc.runs[1].style.color == kBlue);
        QVERIFY(doc.runs[3].style.color == kRed && doc.runs[3].style.bold);
        QCOMPARE(doc.runs[5].style.pointSize, 10);
    }

    // A failed load leaves the pane as it was; a failed save names the problem.
    void reportFileFailuresLeaveThePaneAlone() {
        const TemporaryHome dir("pane");
        TReportPane pane;
        showStyledReport(pane);
        const QString before = pane.toPlainText();
        QString error;
        QVERIFY(!loadReportFile(pane, dir / "missing.rtf", &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(pane.toPlainText(), before);

        error.clear();
        QVERIFY(!saveReportFile(pane, dir / "no/such/folder/1.rtf", &error));
        QVERIFY(!error.isEmpty());
    }

    void importShowsRichTextAndGbkText() {
        const TemporaryHome dir("pane");
        StyledDocument source;
        source.runs = {{"红字", {kRed, true, 12}}, {"\n黑字", {kBlack, false, 12}}};
        const auto rtf = dir / "a.rtf";
        QVERIFY(saveRtfFile(rtf, source).ok);
        const auto txt = dir / "b.txt";
        writeBytes(txt, *gbk::fromUtf8("第一行\r\n第二行\r\n"));

        TReportPane pane;
        pane.setReportFont(QString::fromUtf8(kReportFontName), 14);
        showStyledReport(pane);
        pane.setToolTip(QStringLiteral("点击爻位看解释"));
        ScopedScriptedPrompts script;
        script->fileAnswers = {{QString::fromStdString(rtf.string()), 0}, {QString::fromStdString(txt.string()), 1}};

        importIntoPane(nullptr, pane);
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->shown[0].kind, QStringLiteral("open"));
        QCOMPARE(script->shown[0].text, QStringLiteral("All.rtf|*.rtf|All.txt|*.txt"));
        QCOMPARE(pane.toPlainText(), QStringLiteral("红字\n黑字"));
        QVERIFY(pane.toolTip().isEmpty());
        StyledDocument doc = pane.styledDocument();
        QVERIFY(doc.runs[0].style == (TextStyle{kRed, true, 14}));
        QVERIFY(pane.document()->isModified());

        importIntoPane(nullptr, pane);
        QCOMPARE(pane.toPlainText(), QStringLiteral("第一行\n第二行\n"));
        doc = pane.styledDocument();
        QCOMPARE(doc.runs.size(), size_t(1));
        QVERIFY(doc.runs[0].style == (TextStyle{kBlack, false, 14}));
        QCOMPARE(countShown(*script, "message"), 0);

        // Cancel keeps what the pane shows.
        importIntoPane(nullptr, pane);
        QCOMPARE(pane.toPlainText(), QStringLiteral("第一行\n第二行\n"));
    }

    void importFailureAsksToRetryAndLeavesPaneEmpty() {
        const TemporaryHome dir("pane");
        const auto bad = dir / "bad.txt";
        writeBytes(bad, std::string("\xFF\xFE\x80\x81\x00\xFF", 6));
        TReportPane pane;
        ScopedScriptedPrompts script;
        script->fileAnswers = {{QString::fromStdString(bad.string()), 1}, {filePath(dir, "gone.rtf"), 0}};
        for (int i = 0; i < 2; ++i) {
            showStyledReport(pane);
            importIntoPane(nullptr, pane);
            QVERIFY(pane.toPlainText().isEmpty());
            const ShownPrompt& shown = script->shown.back();
            QCOMPARE(shown.kind, QStringLiteral("message"));
            QCOMPARE(shown.text, QStringLiteral("导入文件出错,请重试一次"));
            QCOMPARE(shown.caption, QStringLiteral("重试一次"));
            QVERIFY(shown.icon == PromptIcon::None);
        }
    }

    void saveAsAddsTheExtensionOfTheChosenFilterOnlyWhenMissing() {
        const TemporaryHome dir("pane");
        TReportPane pane;
        showStyledReport(pane);
        const StyledDocument before = pane.styledDocument();
        ScopedScriptedPrompts script;
        script->fileAnswers = {{filePath(dir, "report.rtf"), 0}, {filePath(dir, "report"), 1}};

        savePaneAs(nullptr, pane);
        QCOMPARE(script->shown[0].kind, QStringLiteral("save"));
        QCOMPARE(script->shown[0].text, QStringLiteral("Rtf格式|*.rtf|Txt格式|*.txt"));
        QCOMPARE(script->lastText(), QStringLiteral("已保存！"));
        QVERIFY(!QFile::exists(filePath(dir, "report.rtf.rtf")));
        const auto rtf = readBytes(dir / "report.rtf");
        std::string error;
        const auto back = readRtf(rtf, &error);
        QVERIFY(back.has_value());
        QVERIFY(sameDocument(*back, before));

        script->shown.clear();
        savePaneAs(nullptr, pane);
        QCOMPARE(script->lastText(), QStringLiteral("已保存！"));
        QCOMPARE(readBytes(dir / "report.txt"),
                 *gbk::fromUtf8("卦例：测试\r\n干支：甲子\r\n官鬼 应\r\n爻像解析：小字"));
        // The pane itself keeps its rich text.
        QVERIFY(sameDocument(pane.styledDocument(), before));

        // Cancel writes nothing and says nothing.
        script->shown.clear();
        savePaneAs(nullptr, pane);
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(folderOf(dir).entryList(QDir::Files).size(), 2);
    }

    // A save that cannot be done is reported, never announced as saved.
    void saveAsFailureShowsTheReason() {
        const TemporaryHome dir("pane");
        TReportPane pane;
        pane.showReport("表情😀", {});
        ScopedScriptedPrompts script;
        script->fileAnswers = {{filePath(dir, "emoji"), 1}, {filePath(dir, "no/such/folder/x"), 0}};
        for (int i = 0; i < 2; ++i) {
            savePaneAs(nullptr, pane);
            const ShownPrompt& shown = script->shown.back();
            QCOMPARE(shown.kind, QStringLiteral("message"));
            QCOMPARE(shown.caption, QStringLiteral("错误"));
            QVERIFY(shown.icon == PromptIcon::Stop);
            QVERIFY(!shown.text.isEmpty());
            QVERIFY(shown.text != QStringLiteral("已保存！"));
        }
        QVERIFY(folderOf(dir).entryList(QDir::Files).isEmpty());
    }

    void printWritesTheWholeReport() {
        const TemporaryHome dir("pane");
        TReportPane pane;
        QString text;
        for (int i = 1; i <= 120; ++i) text += QStringLiteral("第%1行 官鬼 应 ━━━\n").arg(i);
        pane.showReport(text.toStdString(), {{0, 3, kRed, true, 0}});
        const QString pdf = filePath(dir, "print.pdf");
        ScopedScriptedPrompts script;
        script->questionAnswers = {true};
        script->printAnswers = {pdf};
        printPane(nullptr, pane);

        QCOMPARE(script->shown.size(), size_t(2));
        QCOMPARE(script->shown[0].kind, QStringLiteral("question"));
        QCOMPARE(script->shown[0].text, QStringLiteral("准备开始打印吗?"));
        QCOMPARE(script->shown[0].caption, QStringLiteral("打印"));
        QVERIFY(script->shown[0].icon == PromptIcon::Information);
        QCOMPARE(script->shown[1].kind, QStringLiteral("print"));
        const std::string bytes = readBytes(QFile::encodeName(pdf).toStdString());
        QVERIFY(bytes.starts_with("%PDF"));
        // 120 rows do not fit on one page: the whole text was printed, not the visible part.
        const size_t count = bytes.find("/Count ");
        QVERIFY(count != std::string::npos);
        QVERIFY(std::atoi(bytes.c_str() + count + 7) >= 3);
        if (qEnvironmentVariableIsSet("QH_KEEP_PDF")) QFile::copy(pdf, qEnvironmentVariable("QH_KEEP_PDF"));
    }

    void printStopsOnNoOrCancel() {
        const TemporaryHome dir("pane");
        TReportPane pane;
        pane.showReport("卦", {});
        ScopedScriptedPrompts script;
        script->questionAnswers = {false, true};
        script->printAnswers = {filePath(dir, "no.pdf")};
        printPane(nullptr, pane);
        QCOMPARE(script->shown.size(), size_t(1));
        QVERIFY(folderOf(dir).entryList(QDir::Files).isEmpty());
        script->printAnswers = {QString()};
        printPane(nullptr, pane);
        QCOMPARE(script->shown.size(), size_t(3));
        QCOMPARE(script->shown[2].kind, QStringLiteral("print"));
        QVERIFY(folderOf(dir).entryList(QDir::Files).isEmpty());
    }

    void printIntoUnwritablePlaceIsReported() {
        const TemporaryHome dir("pane");
        TReportPane pane;
        pane.showReport("卦", {});
        ScopedScriptedPrompts script;
        script->questionAnswers = {true};
        script->printAnswers = {filePath(dir, "no/such/folder/x.pdf")};
        printPane(nullptr, pane);
        const ShownPrompt& shown = script->shown.back();
        QCOMPARE(shown.kind, QStringLiteral("message"));
        QCOMPARE(shown.text, QStringLiteral("打印错误，请检查打印设备！"));
        QCOMPARE(shown.caption, QStringLiteral("打印错误"));
        QVERIFY(shown.icon == PromptIcon::Stop);
    }
};

QTEST_MAIN(TestPaneFile)
#include "TestPaneFile.moc"
