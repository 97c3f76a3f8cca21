#include <QtTest>

#include <QLabel>
#include <QMouseEvent>

#include "DialogDriver.h"
#include "ui/common/Untpicture.h"
#include "ui/main/Untreportpane.h"
#include "ui/reference/Untheluo.h"

using namespace qingheng;

namespace {

const QColor kBackground(0xE2, 0xEB, 0xB3);

// Pixels of nearly that colour (antialiased edges blend into the background).
int countColour(const QImage& image, QRect area, QColor colour) {
    auto near = [&](QColor c) {
        return std::abs(c.red() - colour.red()) < 48 && std::abs(c.green() - colour.green()) < 48 &&
               std::abs(c.blue() - colour.blue()) < 48;
    };
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += near(image.pixelColor(x, y));
    return n;
}

void clickLabel(TFrmHeLuo& d, const char* name) {
    auto* label = d.findChild<QLabel*>(name);
    QTest::mouseClick(label, Qt::LeftButton);
}

}  // namespace

class TestFrmHeLuo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installReportFontSubstitutes(); }

    void opensWithTheHeTuAndSwitchesByItsLabels() {
        TFrmHeLuo d;
        d.show();
        QCOMPARE(d.windowTitle(), QStringLiteral("河图与洛书"));
        QCOMPARE(d.findChild<TPictureBox*>("img1")->size(), QSize(450, 450));
        QCOMPARE(d.diagram(), TFrmHeLuo::Diagram::HeTu);
        QCOMPARE(d.findChild<QLabel*>("labluoshu")->cursor().shape(), Qt::PointingHandCursor);
        qingheng::testing::screenshot(&d, "TFrmHeLuo_hetu");
        clickLabel(d, "labluoshu");
        QCOMPARE(d.diagram(), TFrmHeLuo::Diagram::LuoShu);
        qingheng::testing::screenshot(&d, "TFrmHeLuo_luoshu");
        clickLabel(d, "labhetu");
        QCOMPARE(d.diagram(), TFrmHeLuo::Diagram::HeTu);
    }

    void heTuDotsStandWhereTheGeometryPutsThem() {
        TFrmHeLuo d;
        const QImage image = d.findChild<TPictureBox*>("img1")->render(1.0);
        QCOMPARE(image.pixelColor(2, 440), kBackground);
        QVERIFY(countColour(image, QRect(222, 222, 7, 7), QColor(255, 0, 0)) > 10);  // the red centre
        // The single dot of 1 (north, down) on radius 140; of the six black dots of 6 on radius 200
        // from 247.5 degrees in steps of 9, the third stands at 265.5 degrees: (209, 424).
        QVERIFY(countColour(image, QRect(222, 362, 7, 7), QColor(255, 0, 0)) > 10);
        QVERIFY(countColour(image, QRect(206, 421, 7, 7), QColor(0, 0, 0)) > 10);
        QCOMPARE(countColour(image, QRect(222, 422, 7, 7), QColor(0, 0, 0)), 0);  // none at 270
        // The title in blue at the top left.
        QVERIFY(countColour(image, QRect(6, 6, 40, 22), QColor(0, 0, 255)) > 20);
    }

    void luoShuDrawsOddNumbersInRedAndPairsAtTheCorners() {
        TFrmHeLuo d;
        d.showDiagram(TFrmHeLuo::Diagram::LuoShu);
        const QImage image = d.findChild<TPictureBox*>("img1")->render(1.0);
        // 1 alone at the bottom, on radius 200; the pair of 2 at 45 degrees, radius 210.
        QVERIFY(countColour(image, QRect(222, 422, 7, 7), QColor(255, 0, 0)) > 10);
        const QPoint two(225 + 148, 225 - 148);
        QVERIFY(countColour(image, QRect(two.x() - 10, two.y() - 10, 21, 21), QColor(0, 0, 0)) > 15);
    }
};

QTEST_MAIN(TestFrmHeLuo)
#include "TestFrmHeLuo.moc"
