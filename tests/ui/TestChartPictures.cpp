// Chart pictures: the PNG and PDF of a report pane, from the pane's menu and Ctrl+E, and the
// same pictures from qingheng-cli chart --png/--pdf.
#include <QtTest>

#include <QFontMetricsF>
#include <QMenu>
#include <QProcess>
#include <QTabWidget>
#include <QTextDocument>

#include <filesystem>
#include <fstream>
#include <functional>

#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untreportpane.h"
#include "ui/render/ReportDocument.h"
#include "ui/render/ReportPicture.h"

using namespace qingheng;
using qingheng::testing::castByNumber;
using qingheng::testing::child;
using qingheng::testing::MainWindowHome;
using qingheng::testing::onNextPopup;
using qingheng::testing::showAndWait;
namespace fs = std::filesystem;

namespace {

const QColor kPaper(250, 240, 210);
// The pillar row of 2024-02-10 09:30, whatever the hexagram: 甲辰年 丙寅月 甲辰日 己巳时.
const QString kPillars = QStringLiteral("甲辰年 丙寅月 甲辰日 己巳时");

QString qpath(const fs::path& p) { return QString::fromStdString(p.string()); }

// A document as a pane fills it, in the report font at 12 points.
void fill(QTextDocument& doc, const std::string& text, const std::vector<StyleSpan>& spans = {}) {
    fillReportDocument(doc, applySpans(text, spans, kReportFontName, 12), QString::fromUtf8(kReportFontName), 12);
}

QImage pictureOf(const std::string& text, const std::vector<StyleSpan>& spans = {}) {
    QTextDocument doc;
    fill(doc, text, spans);
    return reportImage(doc, ReportLook{kPaper});
}

int pixelsOf(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) n += (row[x] | 0xFF000000) == (colour | 0xFF000000);
    }
    return n;
}

int inkPixels(const QImage& image, int fromRow = 0) {
    int n = 0;
    for (int y = fromRow; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != kPaper.rgb();
    }
    return n;
}

// The text pdftotext reads from a PDF, runs of spaces made one.
QString pdfText(const fs::path& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {qpath(pdf), QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return QStringLiteral("(pdftotext failed)");
    return QString::fromUtf8(p.readAllStandardOutput()).replace(QRegularExpression(QStringLiteral("[ \\t]+")), " ");
}

// Opens the pane's context menu and triggers the item named text.
bool triggerPaneMenuItem(TReportPane* pane, const QString& text) {
    bool found = false;
    onNextPopup([&](QMenu* menu) {
        QAction* item = nullptr;
        for (QAction* a : menu->actions()) {
            if (a->text() == text) item = a;
        }
        menu->close();
        if (item) {
            found = true;
            item->trigger();
        }
    });
    emit pane->customContextMenuRequested(QPoint(5, 5));
    return found;
}

QImage loadPng(const fs::path& file) { return QImage(qpath(file)).convertToFormat(QImage::Format_RGB32); }

// A picture as its PNG file holds it: the pixels, without the scale the program drew it at.
QImage asSaved(QImage image) {
    image.setDevicePixelRatio(1);
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TestChartPictures : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installReportFontSubstitutes(); }

    // One more text line adds one line of the font at twice the scale.
    void aPictureIsDrawnAtTwiceTheScale() {
        const QImage one = pictureOf("甲");
        const QImage two = pictureOf("甲\n乙");
        QFont font(QString::fromUtf8(kReportFontName));
        font.setPointSize(12);
        const qreal line = QFontMetricsF(font).height();
        QCOMPARE(two.width(), one.width());
        QVERIFY2(std::abs((two.height() - one.height()) - 2 * line) <= 2,
                 qPrintable(QStringLiteral("%1 - %2 vs 2 × %3").arg(two.height()).arg(one.height()).arg(line)));
        QCOMPARE(one.pixel(0, 0), kPaper.rgb());
    }

    // A chart row keeps to one line; a long paragraph wraps within the same width.
    void chartRowsStayWholeAndLongParagraphsWrap() {
        const QImage shortLine = pictureOf("甲");
        const QImage chartRow = pictureOf("朱雀 妻财寅木 ━━━  子孙亥水 应   ━　━×官鬼午火 应 ");
        QCOMPARE(chartRow.size(), shortLine.size());
        QTextDocument doc;
        fill(doc,
             "九三：臀无肤，其行次且，厉，无大咎。象曰：其行次且，行未牵也。九三：臀无肤，其行次且，厉，无大咎。象曰："
             "其行次且，行未牵也。");
        const QImage wrapped = reportImage(doc, ReportLook{kPaper});
        QCOMPARE(wrapped.width(), shortLine.width());
        QVERIFY(wrapped.height() > shortLine.height());
    }

    // The text is drawn in its colours on the background; an empty report is background only.
    void theTextIsDrawnInItsColours() {
        const std::string text = "干支：甲辰年\n主变卦 天风姤\n青龙 ━━━ 父母戌土";
        const QImage image = pictureOf(text, {{0, 6, kBlue, std::nullopt, 0}, {7, 7, kRed, true, 0}});
        QVERIFY2(pixelsOf(image, qRgb(0, 0, 255)) > 50, "no blue ink");
        QVERIFY2(pixelsOf(image, qRgb(255, 0, 0)) > 50, "no red ink");
        QVERIFY2(pixelsOf(image, qRgb(0, 0, 0)) > 50, "no black ink");
        QCOMPARE(inkPixels(pictureOf("")), 0);
    }

    // The whole text, not the part a small pane shows: the last of 150 lines is in the picture.
    void aPictureHoldsTheWholeTextOfASmallPane() {
        TReportPane pane;
        pane.resize(200, 120);
        std::string text;
        for (int i = 1; i <= 150; ++i) text += "第" + std::to_string(i) + "行\n";
        text += "末行";
        pane.showReport(text, {});
        pane.setBackgroundColor(kPaper);
        const QImage image = reportImage(*pane.document(), ReportLook{pane.backgroundColor()});
        QFont font(QString::fromUtf8(kReportFontName));
        font.setPointSize(12);
        QVERIFY(image.height() >= 2 * 151 * QFontMetricsF(font).height());
        // Ink in the last line's band, near the bottom.
        QVERIFY(inkPixels(image, image.height() - static_cast<int>(4 * QFontMetricsF(font).height())) > 0);
    }

    // A long report is paged between lines; every line reads back whole and in order.
    void aPdfKeepsTheTextAsTextOnWholeLinePages() {
        const MainWindowHome home("pdf");
        std::string text;
        for (int i = 1; i <= 120; ++i) text += "第" + std::to_string(i) + "行 干支：甲辰年\n";
        QTextDocument doc;
        fill(doc, text);
        const fs::path pdf = home / "long.pdf";
        QVERIFY(writeReportPdf(doc, pdf).ok);
        const QString read = pdfText(pdf);
        QVERIFY2(read.count(QChar('\f')) >= 2, "one page only");
        qsizetype at = 0;
        for (int i = 1; i <= 120; ++i) {
            const QString line = QStringLiteral("第%1行 干支：甲辰年\n").arg(i);
            const qsizetype found = read.indexOf(line, at);
            QVERIFY2(found >= 0, qPrintable(line));
            at = found + line.size();
        }
    }

    // Ctrl+E saves the pane on view; the pane's menu offers 导出图片 and 导出PDF.
    void thePanesSaveTheirPicturesFromTheMenuAndCtrlE() {
        MainWindowHome home("export");
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        // Before a chart there is nothing to draw: said, and no file name asked for.
        QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->shown[0].text, QStringLiteral("报告是空的，没有可导出的内容。"));
        QVERIFY(castByNumber(w, *script, QStringLiteral("12")));
        auto* liuyao = child<TReportPane>(w, "Redtliuyao");
        auto* meihua = child<TReportPane>(w, "Redtmeihua");

        script->shown.clear();
        script->fileAnswers.push_back({qpath(home / "chart"), 0});
        QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(script->shown.size(), size_t(2));
        QCOMPARE(script->shown[0].text, QStringLiteral("PNG图片|*.png"));
        QCOMPARE(script->shown[1].text, QStringLiteral("已保存！"));
        QCOMPARE(loadPng(home / "chart.png"),
                 asSaved(reportImage(*liuyao->document(), ReportLook{liuyao->backgroundColor()})));

        child<QTabWidget>(w, "Page1")->setCurrentIndex(1);
        script->fileAnswers.push_back({qpath(home / "plum.PNG"), 0});
        QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(loadPng(home / "plum.PNG"),
                 asSaved(reportImage(*meihua->document(), ReportLook{meihua->backgroundColor()})));

        script->fileAnswers.push_back({qpath(home / "menu.png"), 0});
        QVERIFY(triggerPaneMenuItem(meihua, QStringLiteral("导出图片")));
        QVERIFY(fs::exists(home / "menu.png"));

        child<QTabWidget>(w, "Page1")->setCurrentIndex(0);
        script->fileAnswers.push_back({qpath(home / "chart"), 0});
        QVERIFY(triggerPaneMenuItem(liuyao, QStringLiteral("导出PDF")));
        const QString read = pdfText(home / "chart.pdf");
        QVERIFY2(read.contains(QStringLiteral("干支： ") + kPillars), qPrintable(read.left(400)));
        QVERIFY(read.contains(QStringLiteral("天泽履(艮宫)")) && read.contains(QStringLiteral("乾为天(乾宫)")));

        // Cancelled: nothing written, nothing said. Unwritable: the reason, and no file.
        w.activateWindow();  // the closed menu took the focus away
        QVERIFY(QTest::qWaitForWindowActive(&w));
        script->shown.clear();
        QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(script->shown.size(), size_t(1));
        script->fileAnswers.push_back({qpath(home / "gone" / "x.png"), 0});
        QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(script->shown.back().icon, PromptIcon::Stop);
        QVERIFY(script->shown.back().text.contains(qpath(home / "gone" / "x.png")));
        QVERIFY(!fs::exists(home / "gone"));
    }

    // The command line draws the picture the window saves, in the font, size and background
    // of the home's settings.
    void theCommandLineDrawsTheSamePictureAsThePane() {
        MainWindowHome home("cli");
        std::ofstream(home.dat() / "lyinit.ini") << "[minggao]\nfsize=14\nbcolor=13166847\n";
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        QVERIFY(castByNumber(w, *script, QStringLiteral("12")));
        auto* pane = child<TReportPane>(w, "Redtliuyao");
        QCOMPARE(pane->reportFontSize(), 14);
        script->fileAnswers.push_back({qpath(home / "window.png"), 0});
        QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier);

        QProcess cli;
        cli.start(QStringLiteral(QH_BIN_DIR "/qingheng-cli"),
                  {QStringLiteral("--home"), qpath(home.path()), QStringLiteral("chart"), QStringLiteral("--method"),
                   QStringLiteral("number"), QStringLiteral("--input"), QStringLiteral("12"), QStringLiteral("--time"),
                   QStringLiteral("2024-02-10 09:30"), QStringLiteral("--name"), QStringLiteral("某人"),
                   QStringLiteral("--question"), QStringLiteral("关心的事情"), QStringLiteral("--png"),
                   qpath(home / "cli.png")});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY(cli.readAllStandardOutput().isEmpty());
        const QImage window = loadPng(home / "window.png");
        QCOMPARE(window.pixel(0, 0), QColor(0xFF, 0xE8, 0xC8).rgb());  // bcolor 0x00C8E8FF is BGR
        QCOMPARE(loadPng(home / "cli.png"), window);
    }
};

QTEST_MAIN(TestChartPictures)
#include "TestChartPictures.moc"
