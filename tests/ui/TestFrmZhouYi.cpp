#include <QtTest>

#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <filesystem>

#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "ui/main/Untmain.h"
#include "ui/reference/Untzhouy.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

const QString kYang = QStringLiteral("━━━　");
const QString kYin = QStringLiteral("━　━　");

void choose(TFrmZhouYi& w, int palace, int index) {
    w.findChild<QComboBox*>("cbogong")->setCurrentIndex(palace);
    w.findChild<QComboBox*>("cboming")->setCurrentIndex(index);
}

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

// lab1 (top line) to lab6.
QStringList glyphs(TFrmZhouYi& w) {
    QStringList out;
    for (int k = 1; k <= 6; ++k) out << w.findChild<QLabel*>(QStringLiteral("lab%1").arg(k))->text();
    return out;
}

QString memo(TFrmZhouYi& w) { return w.findChild<QPlainTextEdit*>("memgua")->toPlainText(); }

QAction* menuAction(TFrmMain& main, const QString& menu, const QString& item) {
    for (QAction* top : main.menuBar()->actions()) {
        if (top->text() != menu || !top->menu()) continue;
        for (QAction* a : top->menu()->actions()) {
            if (a->text() == item) return a;
        }
    }
    return nullptr;
}

}  // namespace

class TestFrmZhouYi : public QObject {
    Q_OBJECT

private slots:
    void opensOnQianWeiTianWithEightTrimmedNamesPerPalace() {
        TFrmZhouYi w;
        QCOMPARE(w.windowTitle(), QStringLiteral("易经卦爻辞"));
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(w.findChild<QPlainTextEdit*>("memgua")->isReadOnly());
        QCOMPARE(w.findChild<QPushButton*>("BitBtn1")->text(), QStringLiteral("关闭"));
        auto* gong = w.findChild<QComboBox*>("cbogong");
        auto* ming = w.findChild<QComboBox*>("cboming");
        QCOMPARE(items(gong), QStringList({"乾", "兑", "离", "震", "巽", "坎", "艮", "坤"}));
        QCOMPARE(gong->currentIndex(), 0);
        QCOMPARE(items(ming),
                 QStringList({"乾为天", "天风姤", "天山遁", "天地否", "风地观", "山地剥", "火地晋", "火天大有"}));
        QCOMPARE(ming->currentIndex(), 0);
        QCOMPARE(w.findChild<QLabel*>("lab0")->text(), QStringLiteral("乾为天"));
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
            QCOMPARE(w.findChild<QLabel*>("lab0")->text(), QString::fromUtf8(c.name));
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
        const fs::path home = fs::temp_directory_path() / ("qingheng_zhouyi_" + std::to_string(::getpid()));
        fs::remove_all(home);
        fs::create_directories(home / "dat");
        setProgramFolder(home);
        setAppClock(std::make_shared<FixedClock>(LocalDateTime{2024, 2, 10, 9, 30, 0}));
        {
            TFrmMain main;
            QAction* open = menuAction(main, QStringLiteral("命理知识(&S)"), QStringLiteral("易经卦爻辞"));
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
            QCOMPARE(reader->findChild<QComboBox*>("cbogong")->currentIndex(), 3);

            reader->findChild<QPushButton*>("BitBtn1")->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(main.findChildren<TFrmZhouYi*>().size(), 0);
            open->trigger();  // a new reader after the old one closed
            readers = main.findChildren<TFrmZhouYi*>();
            QCOMPARE(readers.size(), 1);
            QCOMPARE(readers.first()->findChild<QComboBox*>("cbogong")->currentIndex(), 0);
        }
        setAppClock(std::make_shared<SystemClock>());
        fs::remove_all(home);
    }
};

QTEST_MAIN(TestFrmZhouYi)
#include "TestFrmZhouYi.moc"
