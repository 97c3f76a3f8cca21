#include <QtTest>

#include <QListWidget>
#include <QPlainTextEdit>

#include <filesystem>
#include <memory>

#include "DialogDriver.h"
#include "TemporaryHome.h"
#include "ui/common/Untprompt.h"
#include "ui/reference/Untzazhan.h"

using namespace qingheng;
using qingheng::testing::child;
using qingheng::testing::TemporaryHome;
namespace fs = std::filesystem;

class TestFrmZaZhan : public QObject {
    Q_OBJECT

    std::unique_ptr<TemporaryHome> home_;

    void writeFile(const std::string& utf8) { home_->writeGbkDatFile("zazhan.txt", utf8); }
    static QString memo(TFrmZaZhan& d) { return child<QPlainTextEdit>(d, "Memo1")->toPlainText(); }
    static QListWidget* list(TFrmZaZhan& d) { return child<QListWidget>(d, "ListBox1"); }

private slots:
    void init() {
        home_ = std::make_unique<TemporaryHome>("zazhan_ui");
        home_->withDatFolder().useAsProgramFolder();
    }
    void cleanup() { home_.reset(); }

    void listsTheCategoriesAndShowsTheFirstSection() {
        writeFile("眼跳,耳鸣,\r\n[眼跳]\r\n子时左眼跳\r\n[end]\r\n[耳鸣]\r\n子时左耳鸣\r\n[end]\r\n");
        TFrmZaZhan d;
        QCOMPARE(d.windowTitle(), QStringLiteral("古代杂占"));
        QCOMPARE(list(d)->count(), 2);
        QCOMPARE(list(d)->item(1)->text(), QStringLiteral("耳鸣"));
        QCOMPARE(list(d)->currentRow(), 0);
        QCOMPARE(memo(d), QStringLiteral("子时左眼跳\n"));
        list(d)->setCurrentRow(1);
        QCOMPARE(memo(d), QStringLiteral("子时左耳鸣\n"));
    }

    void aClickReadsTheFileAgain() {
        writeFile("眼跳,\n[眼跳]\n旧\n[end]\n");
        TFrmZaZhan d;
        writeFile("眼跳,耳鸣,\n[眼跳]\n新\n[end]\n");
        d.ListBox1Click();
        QCOMPARE(memo(d), QStringLiteral("新\n"));
        QCOMPARE(list(d)->count(), 1);  // the list is read once
    }

    void aMissingFileLeavesTheListEmptyWithoutAMessage() {
        ScopedScriptedPrompts script;
        TFrmZaZhan d;
        QCOMPARE(list(d)->count(), 0);
        QCOMPARE(memo(d), QString());
        QVERIFY(script->shown.empty());
    }

    void aFileThatIsNotGbkIsReported() {
        ScopedScriptedPrompts script;
        home_->writeDatFile("zazhan.txt", "\xff\xff,\n");
        TFrmZaZhan d;
        QCOMPARE(list(d)->count(), 0);
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->shown[0].icon, PromptIcon::Stop);
        QVERIFY(script->shown[0].text.contains(QStringLiteral("GBK")));
    }

    void theShippedTextsOpen() {
        home_->withShippedFiles({"zazhan.txt"});
        TFrmZaZhan d;
        d.show();
        QVERIFY(list(d)->count() >= 12);
        QVERIFY(memo(d).startsWith(QStringLiteral("子时")));
        qingheng::testing::screenshot(&d, "TFrmZaZhan");
    }
};

QTEST_MAIN(TestFrmZaZhan)
#include "TestFrmZaZhan.moc"
