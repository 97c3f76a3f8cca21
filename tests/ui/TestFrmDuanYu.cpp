#include <QtTest>

#include <QListWidget>
#include <QPlainTextEdit>

#include <filesystem>
#include <memory>

#include "DialogDriver.h"
#include "TemporaryHome.h"
#include "ui/common/Untprompt.h"
#include "ui/reference/Untduanyu.h"

using namespace qingheng;
using qingheng::testing::child;
using qingheng::testing::TemporaryHome;
namespace fs = std::filesystem;

class TestFrmDuanYu : public QObject {
    Q_OBJECT

    std::unique_ptr<TemporaryHome> home_;

    void writeFile(const std::string& utf8) { home_->writeGbkDatFile("meihy.dat", utf8); }
    static QString memo(TFrmDuanYu& d) { return child<QPlainTextEdit>(d, "Memlst")->toPlainText(); }

private slots:
    void init() {
        home_ = std::make_unique<TemporaryHome>("duanyu");
        home_->withDatFolder().useAsProgramFolder();
    }
    void cleanup() { home_.reset(); }

    void listsElevenCategoriesAndShowsTheFirst() {
        writeFile("[天气]\ntol=2\n1=父母为雨\n2=子孙为晴\n[求财]\ntol=3\n1=甲\n3=丙\n");
        TFrmDuanYu d;
        QCOMPARE(d.windowTitle(), QStringLiteral("六爻断语"));
        QVERIFY(d.windowFlags() & Qt::WindowStaysOnTopHint);
        auto* list = child<QListWidget>(d, "lstsel");
        QCOMPARE(list->count(), 11);
        QCOMPARE(list->item(0)->text(), QStringLiteral("天气"));
        QCOMPARE(list->item(10)->text(), QStringLiteral("杂项"));
        QCOMPARE(memo(d), QStringLiteral("1:父母为雨\n2:子孙为晴\n"));
        list->setCurrentRow(1);
        QCOMPARE(memo(d), QStringLiteral("1:甲\n2:\n3:丙\n"));
        list->setCurrentRow(2);  // 求官: no section, no tol
        QCOMPARE(memo(d), QString());
    }

    void withoutTheFileTheMemoKeepsItsText() {
        ScopedScriptedPrompts script;
        writeFile("[天气]\ntol=1\n1=父母为雨\n");
        TFrmDuanYu d;
        fs::remove(home_->dat() / "meihy.dat");
        child<QListWidget>(d, "lstsel")->setCurrentRow(1);
        QCOMPARE(memo(d), QStringLiteral("1:父母为雨\n"));
        QVERIFY(script->shown.empty());
    }

    void theShippedPhrasesOpen() {
        home_->withShippedFiles({"meihy.dat"});
        TFrmDuanYu d;
        d.show();
        QVERIFY(memo(d).startsWith(QStringLiteral("1:")));
        qingheng::testing::screenshot(&d, "TFrmDuanYu");
    }
};

QTEST_MAIN(TestFrmDuanYu)
#include "TestFrmDuanYu.moc"
