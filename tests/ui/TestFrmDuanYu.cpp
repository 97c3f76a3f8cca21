#include <QtTest>

#include <QListWidget>
#include <QPlainTextEdit>

#include <filesystem>
#include <fstream>

#include "Screenshot.h"
#include "platform/Gbk.h"
#include "platform/ProgramFolder.h"
#include "ui/common/Untprompt.h"
#include "ui/reference/Untduanyu.h"

using namespace qingheng;
namespace fs = std::filesystem;

class TestFrmDuanYu : public QObject {
    Q_OBJECT

    fs::path home_;

    void writeFile(const std::string& utf8) {
        std::ofstream(home_ / "dat" / "meihy.dat", std::ios::binary) << *gbk::fromUtf8(utf8);
    }
    static QString memo(TFrmDuanYu& d) { return d.findChild<QPlainTextEdit*>("Memlst")->toPlainText(); }

private slots:
    void init() {
        home_ = fs::temp_directory_path() / ("qingheng_duanyu_" + std::to_string(::getpid()));
        fs::remove_all(home_);
        fs::create_directories(home_ / "dat");
        setProgramFolder(home_);
    }
    void cleanup() { fs::remove_all(home_); }

    void listsElevenCategoriesAndShowsTheFirst() {
        writeFile("[天气]\ntol=2\n1=父母为雨\n2=子孙为晴\n[求财]\ntol=3\n1=甲\n3=丙\n");
        TFrmDuanYu d;
        QCOMPARE(d.windowTitle(), QStringLiteral("六爻断语"));
        QVERIFY(d.windowFlags() & Qt::WindowStaysOnTopHint);
        auto* list = d.findChild<QListWidget*>("lstsel");
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
        fs::remove(home_ / "dat" / "meihy.dat");
        d.findChild<QListWidget*>("lstsel")->setCurrentRow(1);
        QCOMPARE(memo(d), QStringLiteral("1:父母为雨\n"));
        QVERIFY(script->shown.empty());
    }

    void theShippedPhrasesOpen() {
        fs::copy_file(fs::path(QH_SOURCE_DIR) / "data" / "dat" / "meihy.dat", home_ / "dat" / "meihy.dat");
        TFrmDuanYu d;
        d.show();
        QVERIFY(memo(d).startsWith(QStringLiteral("1:")));
        qingheng::testing::saveScreenshot(&d, "TFrmDuanYu");
    }
};

QTEST_MAIN(TestFrmDuanYu)
#include "TestFrmDuanYu.moc"
