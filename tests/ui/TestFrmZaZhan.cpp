#include <QtTest>

#include <QListWidget>
#include <QPlainTextEdit>

#include <filesystem>
#include <fstream>

#include "Screenshot.h"
#include "platform/Gbk.h"
#include "platform/ProgramFolder.h"
#include "ui/common/Untprompt.h"
#include "ui/reference/Untzazhan.h"

using namespace qingheng;
namespace fs = std::filesystem;

class TestFrmZaZhan : public QObject {
    Q_OBJECT

    fs::path home_;

    void writeFile(const std::string& utf8) {
        std::ofstream(home_ / "dat" / "zazhan.txt", std::ios::binary) << *gbk::fromUtf8(utf8);
    }
    static QString memo(TFrmZaZhan& d) { return d.findChild<QPlainTextEdit*>("Memo1")->toPlainText(); }

private slots:
    void init() {
        home_ = fs::temp_directory_path() / ("qingheng_zazhan_ui_" + std::to_string(::getpid()));
        fs::remove_all(home_);
        fs::create_directories(home_ / "dat");
        setProgramFolder(home_);
    }
    void cleanup() { fs::remove_all(home_); }

    void listsTheCategoriesAndShowsTheFirstSection() {
        writeFile("眼跳,耳鸣,\r\n[眼跳]\r\n子时左眼跳\r\n[end]\r\n[耳鸣]\r\n子时左耳鸣\r\n[end]\r\n");
        TFrmZaZhan d;
        auto* list = d.findChild<QListWidget*>("ListBox1");
        QCOMPARE(d.windowTitle(), QStringLiteral("古代杂占"));
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->text(), QStringLiteral("耳鸣"));
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(memo(d), QStringLiteral("子时左眼跳\n"));
        list->setCurrentRow(1);
        QCOMPARE(memo(d), QStringLiteral("子时左耳鸣\n"));
    }

    void aClickReadsTheFileAgain() {
        writeFile("眼跳,\n[眼跳]\n旧\n[end]\n");
        TFrmZaZhan d;
        writeFile("眼跳,耳鸣,\n[眼跳]\n新\n[end]\n");
        d.ListBox1Click();
        QCOMPARE(memo(d), QStringLiteral("新\n"));
        QCOMPARE(d.findChild<QListWidget*>("ListBox1")->count(), 1);  // the list is read once
    }

    void aMissingFileLeavesTheListEmptyWithoutAMessage() {
        ScopedScriptedPrompts script;
        TFrmZaZhan d;
        QCOMPARE(d.findChild<QListWidget*>("ListBox1")->count(), 0);
        QCOMPARE(memo(d), QString());
        QVERIFY(script->shown.empty());
    }

    void aFileThatIsNotGbkIsReported() {
        ScopedScriptedPrompts script;
        std::ofstream(home_ / "dat" / "zazhan.txt", std::ios::binary) << "\xff\xff,\n";
        TFrmZaZhan d;
        QCOMPARE(d.findChild<QListWidget*>("ListBox1")->count(), 0);
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->shown[0].icon, PromptIcon::Stop);
        QVERIFY(script->shown[0].text.contains(QStringLiteral("GBK")));
    }

    void theShippedTextsOpen() {
        fs::copy_file(fs::path(QH_SOURCE_DIR) / "data" / "dat" / "zazhan.txt", home_ / "dat" / "zazhan.txt");
        TFrmZaZhan d;
        d.show();
        QVERIFY(d.findChild<QListWidget*>("ListBox1")->count() >= 12);
        QVERIFY(memo(d).startsWith(QStringLiteral("子时")));
        qingheng::testing::saveScreenshot(&d, "TFrmZaZhan");
    }
};

QTEST_MAIN(TestFrmZaZhan)
#include "TestFrmZaZhan.moc"
