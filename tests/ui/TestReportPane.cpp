#include <QtTest>

#include <QFontMetrics>
#include <QTextBlock>
#include <QTextLayout>

#include <cmath>

#include "ui/main/Untreportpane.h"

using namespace qingheng;

class TestReportPane : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installReportFontSubstitutes(); }

    // The chart columns line up only when a CJK character is exactly two spaces wide.
    void songFontKeepsColumnsAligned() {
        QFont font(QString::fromUtf8(kReportFontName));
        font.setPointSize(12);
        const QFontMetrics m(font);
        const int space = m.horizontalAdvance(QLatin1Char(' '));
        QCOMPARE(m.horizontalAdvance(QStringLiteral("乾")), 2 * space);
        QCOMPARE(m.horizontalAdvance(QStringLiteral("━")), 2 * space);
        QCOMPARE(m.horizontalAdvance(QStringLiteral("▅")), 2 * space);
        QCOMPARE(m.horizontalAdvance(QStringLiteral("　")), 2 * space);
        QCOMPARE(space, 8);  // 12 pt at 96 dpi
    }

    // The fallback font draws × half-width; the pane pads it so a moving yin line takes the
    // same width as a static one.
    void narrowDoubleByteCharactersArePaddedToTwoColumns() {
        TReportPane pane;
        pane.resize(600, 200);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        pane.showReport("━　━×|\n━━━  |", {});
        const QTextBlock first = pane.document()->firstBlock();
        const QTextBlock second = first.next();
        const qreal end1 = first.layout()->lineAt(0).cursorToX(first.text().indexOf('|'));
        const qreal end2 = second.layout()->lineAt(0).cursorToX(second.text().indexOf('|'));
        QCOMPARE(end1, end2);
    }

    // Whatever monospaced font the user picks, and at any size, every character starts at the
    // column its GBK bytes before it give.
    void chartColumnsStayAlignedInAnyMonospacedFont() {
        const std::string chart =
            "主变卦    天风姤(乾宫)  之  乾为天(乾宫)  [空亡:寅、卯]\n"
            "玄武            ━━━  父母壬戌土      ━━━  父母壬戌土 世 \n"
            "朱雀 妻财甲寅木 ━━━  子孙辛亥水      ━━━  妻财甲寅木    \n"
            "青龙            ━　━×父母辛丑土 世   ━━━  子孙甲子水    \n"
            "白虎            ━━━○兄弟壬申金 应   ━━━  兄弟壬申金    ";
        struct Case {
            QString family;
            int size;
        };
        for (const Case& c : {Case{QString::fromUtf8(kReportFontName), 12},
                              {QString::fromUtf8(kReportFontName), 17},
                              {QStringLiteral("DejaVu Sans Mono"), 12},
                              {QStringLiteral("DejaVu Sans Mono"), 15}}) {
            TReportPane pane;
            pane.resize(900, 300);
            pane.show();
            QVERIFY(QTest::qWaitForWindowExposed(&pane));
            pane.setReportFont(c.family, c.size);
            pane.showReport(chart, {});
            const QTextBlock first = pane.document()->firstBlock();
            const qreal column = first.layout()->lineAt(0).cursorToX(4) - first.layout()->lineAt(0).cursorToX(3);
            for (QTextBlock block = first; block.isValid(); block = block.next()) {
                const QTextLine line = block.layout()->lineAt(0);
                const QString text = block.text();
                int columns = 0;
                for (int i = 0; i <= text.size(); ++i) {
                    const qreal x = line.cursorToX(i) - line.cursorToX(0);
                    QVERIFY2(
                        std::abs(x - columns * column) < 0.75,
                        qPrintable(QStringLiteral("%1 %2 at %3 of %4").arg(c.family).arg(c.size).arg(i).arg(text)));
                    if (i < text.size()) columns += text[i].unicode() < 0x80 ? 1 : 2;
                }
            }
        }
    }

    void spansBecomeCharacterFormatsAndReadBack() {
        TReportPane pane;
        const std::string text = "头\r\n干支：甲子\r\n爻像解析：　\n小字";
        // Positions count "\r\n" as one character: 干 is at 2.
        std::vector<StyleSpan> spans = {{2, 2, kBlue, std::nullopt, 0}, {8, 8, std::nullopt, true, -2}};
        pane.showReport(text, spans);
        QCOMPARE(pane.toPlainText(), QStringLiteral("头\n干支：甲子\n爻像解析：　\n小字"));
        const StyledDocument doc = pane.styledDocument();
        QCOMPARE(QString::fromStdString(doc.plainText()), pane.toPlainText());
        bool sawBlue = false, sawSmallBold = false;
        for (const StyledRun& run : doc.runs) {
            if (run.text == "干支") sawBlue = run.style.color == kBlue && run.style.pointSize == 12;
            if (run.text.find("爻像") == 0) sawSmallBold = run.style.bold && run.style.pointSize == 10;
        }
        QVERIFY(sawBlue);
        QVERIFY(sawSmallBold);
        QVERIFY(!pane.document()->isModified());
    }

    void fontChangeKeepsRelativeSizes() {
        TReportPane pane;
        pane.showReport("大小", {{1, 1, std::nullopt, std::nullopt, -2}});
        pane.setReportFont(QString::fromUtf8(kReportFontName), 16);
        const StyledDocument doc = pane.styledDocument();
        QCOMPARE(doc.runs.size(), size_t(2));
        QCOMPARE(doc.runs[0].style.pointSize, 16);
        QCOMPARE(doc.runs[1].style.pointSize, 14);
    }
};

QTEST_MAIN(TestReportPane)
#include "TestReportPane.moc"
