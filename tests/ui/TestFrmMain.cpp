#include <QtTest>

#include "ui/Untmain.h"

using namespace qingheng;

class TestFrmMain : public QObject {
    Q_OBJECT
private slots:
    void showsTheProgramCaption() {
        TFrmMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("青衡六爻V3.3"));
        window.close();
    }
};

QTEST_MAIN(TestFrmMain)
#include "TestFrmMain.moc"
