#include <QtTest>

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "ui/main/Untmain.h"
#include "ui/reference/Untzhouy.h"

using namespace qingheng;
using namespace qingheng::testing;

namespace {

const QString kYang = QStringLiteral("━━━　");
const QString kYin = QStringLiteral("━　━　");

void choose(TFrmZhouYi& w, int palace, int index) {
    child<QComboBox>(w, "cbogong")->setCurrentIndex(palace);
    child<QComboBox>(w, "cboming")->setCurrentIndex(index);
}

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

// lab1 (top line) to lab6.
QStringList glyphs(TFrmZhouYi& w) {
    QStringList out;
    for (int k = 1; k <= 6; ++k) out << child<QLabel>(w, ("lab" + QByteArray::number(k)).constData())->text();
    return out;
}

QString memo(TFrmZhouYi& w) { return child<QPlainTextEdit>(w, "memgua")->toPlainText(); }

}  // namespace

class TestFrmZhouYi : public QObject {
    Q_OBJECT

private slots:
    void opensOnQianWeiTianWithEightTrimmedNamesPerPalace() {
        TFrmZhouYi w;
        QCOMPARE(w.windowTitle(), QStringLiteral("易经卦爻辞"));
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(child<QPlainTextEdit>(w, "memgua")->isReadOnly());
        QCOMPARE(child<QPushButton>(w, "BitBtn1")->text(), QStringLiteral("关闭"));
        auto* gong = child<QComboBox>(w, "cbogong");
        auto* ming = child<QComboBox>(w, "cboming");
        QCOMPARE(items(gong), QStringList({"乾", "兑", "离", "震", "巽", "坎", "艮", "坤"}));
        QCOMPARE(gong->currentIndex(), 0);
        QCOMPARE(items(ming),
                 QStringList({"乾为天", "天风姤", "天山遁", "天地否", "风地观", "山地剥", "火地晋", "火天大有"}));
        QCOMPARE(ming->currentIndex(), 0);
        QCOMPARE(child<QLabel>(w, "lab0")->text(), QStringLiteral("乾为天"));
        QCOMPARE(glyphs(w), QStringList(6, kYang));

        for (int p = 0; p < 8; ++p) {
            gong->setCurrentIndex(p);
            QCOMPARE(ming->count(), 8);
            QCOMPARE(ming->currentIndex(), 0);
            for (const QString& name : items(ming)) {
                QVERIFY2(!name.isEmpty() && name.trimmed() == name, qPrintable(name));
            }
        }
        QCOMPARE(items(ming),
                 QStringList({"坤为地", "地雷复", "地泽临", "地天泰", "雷天大壮", "泽天夬", "水天需", "水地比"}));
    }

    void glyphsFollowTheImagesOfTheName() {
        TFrmZhouYi w;
        struct Case {
            int palace, index;
            const char* name;
            QStringList lines;  // top first
        };
        const Case cases[] = {
            {0, 7, "火天大有", {kYang, kYin, kYang, kYang, kYang, kYang}},  // 火 over 天
            {1, 0, "兑为泽", {kYin, kYang, kYang, kYin, kYang, kYang}},     // 泽 taken twice
            {7, 0, "坤为地", QStringList(6, kYin)},
        };
        for (const Case& c : cases) {
            choose(w, c.palace, c.index);
            QCOMPARE(child<QLabel>(w, "lab0")->text(), QString::fromUtf8(c.name));
            QCOMPARE(glyphs(w), c.lines);
            QVERIFY(memo(w).startsWith(QStringLiteral("\n※") + QString::fromUtf8(c.name) + ":"));
        }
    }

    void memoQuotesTheTextsAndOnlyQianAndKunHaveAnExtraEntry() {
        TFrmZhouYi w;
        QVERIFY(memo(w).startsWith(QStringLiteral("\n※乾为天:元，亨，利，贞。\n  彖曰：大哉乾元，")));
        QVERIFY(memo(w).contains(QStringLiteral(
            "\n  象曰：天行健，君子以自强不息。\n\n★初九:潜龙勿用。\n  象曰：潜龙勿用，阳在下也。\n\n")));
        QVERIFY(memo(w).endsWith(QStringLiteral("\n\n★用九:见群龙无首，吉。\n  象曰：用九，天德不可为首也。")));
        choose(w, 7, 0);
        QVERIFY(memo(w).endsWith(QStringLiteral("\n\n★用六:利永贞。\n  象曰：用六永贞，以大终也。")));

        // 火水未济 alternates from a yin bottom line; it has no extra entry.
        choose(w, 2, 3);
        const QString weiJi = memo(w);
        QVERIFY(weiJi.startsWith(QStringLiteral("\n※火水未济:亨。")));
        qsizetype at = 0;
        for (const char* name : {"★初六:", "★九二:", "★六三:", "★九四:", "★六五:", "★上九:"}) {
            const qsizetype next = weiJi.indexOf(QString::fromUtf8(name));
            QVERIFY2(next > at, name);
            at = next;
        }
        QVERIFY(!weiJi.contains(QStringLiteral("★用")));
        QVERIFY(weiJi.endsWith(QStringLiteral("\n\n")));
        choose(w, 0, 1);
        QVERIFY(!memo(w).contains(QStringLiteral("★用")));
    }

    void menuOpensOneReaderAtATime() {
        const MainWindowHome home("zhouyi");
        {
            TFrmMain main;
            QAction* open = menuItem(main, QStringLiteral("命理知识(&S)"), QStringLiteral("易经卦爻辞"));
            QVERIFY(open);
            open->trigger();
            auto readers = main.findChildren<TFrmZhouYi*>();
            QCOMPARE(readers.size(), 1);
            TFrmZhouYi* reader = readers.first();
            QVERIFY(reader->isVisible());
            QVERIFY(!reader->isModal());
            const QRect screen = reader->screen()->availableGeometry();
            QVERIFY(qAbs(reader->frameGeometry().center().x() - screen.center().x()) <= 1);
            QVERIFY(qAbs(reader->frameGeometry().center().y() - screen.center().y()) <= 1);

            choose(*reader, 3, 2);
            open->trigger();  // brought forward as it is
            QCOMPARE(main.findChildren<TFrmZhouYi*>().size(), 1);
            QCOMPARE(child<QComboBox>(reader, "cbogong")->currentIndex(), 3);

            click(reader, "BitBtn1");
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(main.findChildren<TFrmZhouYi*>().size(), 0);
            open->trigger();  // a new reader after the old one closed
            readers = main.findChildren<TFrmZhouYi*>();
            QCOMPARE(readers.size(), 1);
            QCOMPARE(child<QComboBox>(readers.first(), "cbogong")->currentIndex(), 0);
        }
    }
};

QTEST_MAIN(TestFrmZhouYi)
#include "TestFrmZhouYi.moc"
