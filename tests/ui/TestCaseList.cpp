// The main window's case list: the order of its rows, the batches that fill
// it from the case book, and saves that keep the window as it was when the book refuses them.
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSplitter>
#include <QTreeView>
#include <QtTest>

#include <algorithm>
#include <filesystem>

#include "MainWindowFixture.h"
#include "casebook/Database.h"
#include "platform/FileOps.h"
#include "platform/FileUtil.h"
#include "platform/ProgramFolder.h"
#include "platform/Rtf.h"
#include "ui/main/Untcaselist.h"

using namespace qingheng;
using qingheng::testing::caseListRows;
using qingheng::testing::caseListText;
using qingheng::testing::castByNumber;
using qingheng::testing::MainWindowHome;
using qingheng::testing::saveAsNewCase;
using qingheng::testing::selectCaseRow;
using qingheng::testing::showAndWait;
namespace fs = std::filesystem;

using Ids = std::vector<std::uint32_t>;

namespace {

CaseRow row(std::uint32_t id, const char* name, std::int16_t year, std::int16_t month, std::int16_t day, bool lunar,
            const char* category, const char* question) {
    CaseRow r;
    r.id = id;
    r.name = name;
    r.year = year;
    r.month = month;
    r.day = day;
    r.lunar = lunar;
    r.category = category;
    r.question = question;
    return r;
}

// Four rows listed in the order 5, 2, 9, 7.
std::vector<CaseRow> sampleRows() {
    return {row(5, "王五", 2024, 3, 1, false, "财运", "问生意"), row(2, "张三", 2023, 12, 30, true, "婚姻", "问婚期"),
            row(9, "李四", 2024, 1, 15, false, "财运", "问工作"),
            row(7, "张三", 2023, 12, 30, false, "出行", "问出行")};
}

Ids idsOf(const CaseListModel& model) {
    Ids ids;
    for (int r = 0; r < model.rowCount(); ++r) ids.push_back(model.rowAt(r).id);
    return ids;
}

// A book of count cases named by their ids, written in one append.
void writeBook(MDataBase& book, int count) {
    std::vector<CaseRecord> records(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CaseRecord& r = records[static_cast<std::size_t>(i)];
        r.name = "例" + std::to_string(i);
        r.category = "财运";
        r.question = "问生意";
        r.year = 2024;
        r.month = 1;
        r.day = 1;
        r.mainCode = "111111";
        r.changedCode = "111111";
        r.label = "铜钱摇卦";
    }
    QVERIFY(book.appendCases(records).ok);
}

Ids idsFromTo(std::uint32_t first, std::uint32_t end) {
    Ids ids;
    for (std::uint32_t id = first; id < end; ++id) ids.push_back(id);
    return ids;
}

bool modified(const TFrmMain& w) {
    return w.findChild<TReportPane*>("Redtliuyao")->document()->isModified() ||
           w.findChild<TReportPane*>("Redtmeihua")->document()->isModified();
}

// Makes the first rename of a plum-blossom report file fail, as a full disk would.
struct FailedReportRename {
    FailedReportRename() {
        fileops::setFaultHook([fired = false](fileops::Op op, std::string_view target) mutable {
            if (fired || op != fileops::Op::Rename || target.find("m.rtf") == std::string_view::npos)
                return fileops::Fault::None;
            fired = true;
            return fileops::Fault::Fail;
        });
    }
    ~FailedReportRename() { fileops::setFaultHook({}); }
};

}  // namespace

class TestCaseList : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowHome> home_;

private slots:
    void init() { home_ = std::make_unique<MainWindowHome>("caselist"); }
    void cleanup() { home_.reset(); }

    // ---- the model

    void rowsAreFoundByTheirIdNotByTheirPlace() {
        CaseListModel model;
        model.appendRows(sampleRows());
        QVERIFY(model.updateRow(row(9, "赵六", 2024, 1, 15, false, "财运", "问工作")));
        QCOMPARE(model.rowAt(2).name, std::string("赵六"));
        model.removeId(2);
        QCOMPARE(idsOf(model), (Ids{5, 9, 7}));
        QVERIFY(!model.updateRow(row(2, "张三", 2023, 12, 30, true, "婚姻", "问婚期")));
        QCOMPARE(idsOf(model), (Ids{5, 9, 7}));
    }

    // ---- filling from the case book

    void aLongListComesInBatchesAndKeepsTheOrderOfItsIds() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        const int count = 2 * int(CaseListFeed::kBatchSize) + 10;
        writeBook(w.store(), count);
        QVERIFY(w.store().removeCase(4005).ok);
        Ids ids = idsFromTo(0, std::uint32_t(count));
        std::reverse(ids.begin(), ids.end());
        w.fillCaseList(ids);
        // The first batch is there at once (4005 in it is deleted); the rest follows.
        QCOMPARE(caseListRows(w), int(CaseListFeed::kBatchSize) - 1);
        QTRY_COMPARE(caseListRows(w), count - 1);
        QCOMPARE(caseListText(w, 0, 4), QStringLiteral("4009"));
        QCOMPARE(caseListText(w, 4, 4), QStringLiteral("4004"));
        QCOMPARE(caseListText(w, count - 2, 0), QStringLiteral("例0"));
        QVERIFY(script->shown.empty());
        qingheng::testing::screenshot(&w, "main_case_list");

        // The list keeps the order of the ids: a click on a column header does not sort it.
        auto* list = w.findChild<QTreeView*>("ListView1");
        QHeaderView* header = list->header();
        const int idColumn = CaseListModel::IdColumn;
        w.findChild<QSplitter*>()->setSizes({420, 300, 100});
        const QPoint idHeader(header->sectionViewportPosition(idColumn) + header->sectionSize(idColumn) / 2,
                              header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, idHeader);
        QCOMPARE(caseListText(w, 0, 4), QStringLiteral("4009"));
        QCOMPARE(caseListText(w, count - 2, 4), QStringLiteral("0"));
    }

    void aNewListOrAWipeStopsTheOneStillComing() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        writeBook(w.store(), 3 * int(CaseListFeed::kBatchSize));
        w.fillCaseList(idsFromTo(0, 3 * CaseListFeed::kBatchSize));
        w.fillCaseList({3});
        QTest::qWait(50);
        QCOMPARE(caseListRows(w), 1);
        QCOMPARE(caseListText(w, 0, 4), QStringLiteral("3"));
    }

    void aCaseSavedWhileTheListFillsIsListedOnce() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        const auto end = std::uint32_t(3 * CaseListFeed::kBatchSize);
        writeBook(w.store(), int(end));
        // Deleted slots are reused once enough have gathered: the save lands in 5000, which
        // the list still has to read when the save is made.
        for (std::uint32_t id = 5000; id < 5000 + kReuseThreshold; ++id) QVERIFY(w.store().removeCase(id).ok);
        QVERIFY(castByNumber(w, *script, QStringLiteral("12")));
        qingheng::testing::onNextDialog([&](QWidget* dialog) {
            w.fillCaseList(idsFromTo(0, end));
            qingheng::testing::child<QComboBox>(dialog, "CboFenLei")->setCurrentText(QStringLiteral("财运"));
            qingheng::testing::click(dialog, "Btnok");
        });
        w.saveCase();
        QCOMPARE(w.currentRecord().id, 5000u);
        QTRY_VERIFY(!w.findChild<CaseListFeed*>("caseListFeed")->running());
        const auto* model = w.findChild<QTreeView*>("ListView1")->model();
        const QModelIndexList listed =
            model->match(model->index(0, 4), Qt::DisplayRole, QStringLiteral("5000"), -1, Qt::MatchExactly);
        QCOMPARE(listed.size(), 1);
        QCOMPARE(caseListRows(w), int(end) - kReuseThreshold + 1);
    }

    void aFailedReadStopsTheListWithTheBooksMessage() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        const int count = 3 * int(CaseListFeed::kBatchSize);
        writeBook(w.store(), count);
        // The data file loses its second half: the header still counts every slot.
        fs::resize_file(w.store().dataFile(0), kHeaderSize + std::uintmax_t(count / 2) * kCaseRecordSize);
        w.fillCaseList(idsFromTo(0, std::uint32_t(count)));
        QTRY_VERIFY(!w.findChild<CaseListFeed*>("caseListFeed")->running());
        QCOMPARE(script->shown.size(), size_t(1));
        QCOMPARE(script->shown.back().icon, PromptIcon::Stop);
        QVERIFY(!script->lastText().isEmpty());
        QVERIFY(caseListRows(w) >= int(CaseListFeed::kBatchSize) && caseListRows(w) <= count / 2);
    }

    // ---- saving with the report files

    void aRefusedNewCaseLeavesTheWindowAndTheBookAsTheyWere() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        QVERIFY(castByNumber(w, *script, QStringLiteral("12")));
        {
            FailedReportRename fault;
            saveAsNewCase(w, QStringLiteral("财运"));
        }
        QCOMPARE(script->shown.back().icon, PromptIcon::Stop);
        int slotCount = -1;
        QVERIFY(w.store().countSlots(slotCount).ok);
        QCOMPARE(slotCount, 0);
        QCOMPARE(caseListRows(w), 0);
        QVERIFY(!fs::exists(w.store().reportPath(0)));
        QVERIFY(!w.existingMode());
        QVERIFY(w.chartValid());
        saveAsNewCase(w, QStringLiteral("财运"));  // the same save goes through afterwards
        QCOMPARE(caseListRows(w), 1);
        QVERIFY(fs::exists(w.store().plumReportPath(0)));
    }

    void aRefusedSaveOverKeepsTheOldCaseAndTheEdits() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        QVERIFY(showAndWait(w));
        QVERIFY(castByNumber(w, *script, QStringLiteral("12")));
        saveAsNewCase(w, QStringLiteral("财运"));
        selectCaseRow(w, 0);
        w.openCase();
        const std::optional<std::string> before = readFileBytes(w.store().reportPath(0));
        auto* pane = w.findChild<TReportPane*>("Redtliuyao");
        pane->moveCursor(QTextCursor::End);
        pane->insertPlainText(QStringLiteral("新批注"));
        script->questionAnswers = {true};  // 确定要修改…？
        {
            FailedReportRename fault;
            QVERIFY(!w.saveCase());
        }
        QCOMPARE(script->shown.back().icon, PromptIcon::Stop);
        QCOMPARE(readFileBytes(w.store().reportPath(0)), before);
        QVERIFY(modified(w));
        QVERIFY(w.existingMode());
        QCOMPARE(w.currentId(), 0u);
        script->questionAnswers = {true};
        QVERIFY(w.saveCase());
        QVERIFY(!modified(w));
        QVERIFY(readFileBytes(w.store().reportPath(0)) != before);
    }
};

QTEST_MAIN(TestCaseList)
#include "TestCaseList.moc"
