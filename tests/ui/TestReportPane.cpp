#include <QtTest>

#include <QFontMetrics>
#include <QTextBlock>
#include <QTextLayout>

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
