#include <QtTest>

#include <QApplication>
#include <QMenuBar>

#include <filesystem>
#include <functional>

#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "ui/calendar/Untwnl.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untreportpane.h"
#include "ui/reference/Untchang.h"
#include "ui/reference/Untduanyu.h"
#include "ui/reference/Untheluo.h"
#include "ui/reference/Untliuren.h"
#include "ui/reference/Untzazhan.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

QMenu* menuNamed(TFrmMain& w, const QString& title) {
    for (QAction* a : w.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

QStringList itemTexts(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) out << a->text();
    return out;
}

QAction* item(TFrmMain& w, const QString& menu, const QString& text) {
    for (QAction* a : menuNamed(w, menu)->actions())
        if (a->text() == text) return a;
    return nullptr;
}

// Triggers a menu item that opens a modal dialog and hands the dialog to check, then closes it.
void openModal(QAction* action, std::function<void(QWidget*)> check) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        check(dialog);
        seen = true;
        dialog->close();
    });
    action->trigger();
    QVERIFY(seen);
}

}  // namespace

class TestReferenceMenus : public QObject {
    Q_OBJECT

    fs::path home_;

private slots:
    void initTestCase() {
        installReportFontSubstitutes();
        home_ = fs::temp_directory_path() / ("qingheng_refmenus_" + std::to_string(::getpid()));
        fs::remove_all(home_);
        fs::create_directories(home_ / "dat");
        for (const char* name : {"hzlen.dat", "meihy.dat", "zazhan.txt"})
            fs::copy_file(fs::path(QH_BIN_DIR) / "dat" / name, home_ / "dat" / name);
        setProgramFolder(home_);
        setAppClock(std::make_shared<FixedClock>(LocalDateTime{2024, 2, 10, 9, 30, 0}));
    }
    void cleanupTestCase() {
        setAppClock(std::make_shared<SystemClock>());
        fs::remove_all(home_);
    }

    void menusListTheReferenceTools() {
        TFrmMain w;
        QVERIFY(menuNamed(w, QStringLiteral("命理知识(&S)")));
        const QStringList knowledge = itemTexts(menuNamed(w, QStringLiteral("命理知识(&S)")));
        QVERIFY(knowledge.indexOf(QStringLiteral("六爻断语")) < knowledge.indexOf(QStringLiteral("河洛图像")));
        QVERIFY(knowledge.indexOf(QStringLiteral("河洛图像")) < knowledge.indexOf(QStringLiteral("相关资料")));
        QVERIFY(knowledge.indexOf(QStringLiteral("六爻断语")) >= 0);
        QCOMPARE(itemTexts(menuNamed(w, QStringLiteral("辅助工具(&T)"))),
                 (QStringList{QStringLiteral("六壬时课"), QStringLiteral("古代杂占"), QStringLiteral("诸葛神数"),
                              QStringLiteral("笔画数修改"), QStringLiteral("万年历")}));
        QCOMPARE(item(w, QStringLiteral("辅助工具(&T)"), QStringLiteral("万年历"))->objectName(),
                 QStringLiteral("Tmnuwnl"));
    }

    void theCalendarIsOneModelessWindowUntilClosed() {
        TFrmMain w;
        QAction* calendar = item(w, QStringLiteral("辅助工具(&T)"), QStringLiteral("万年历"));
        calendar->trigger();
        calendar->trigger();
        QList<TFrmWnl*> open = w.findChildren<TFrmWnl*>();
        QCOMPARE(open.size(), 1);
        QVERIFY(open[0]->isVisible());
        QVERIFY(!open[0]->isModal());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QPointer<TFrmWnl> first = open[0];
        first->close();
        QTRY_VERIFY(first.isNull());  // closing destroys it
        calendar->trigger();
        QCOMPARE(w.findChildren<TFrmWnl*>().size(), 1);
        w.findChild<TFrmWnl*>()->close();
    }

    void thePhraseBookIsOneModelessWindowUntilClosed() {
        TFrmMain w;
        QAction* phrases = item(w, QStringLiteral("命理知识(&S)"), QStringLiteral("六爻断语"));
        phrases->trigger();
        phrases->trigger();
        QCOMPARE(w.findChildren<TFrmDuanYu*>().size(), 1);
        QVERIFY(!w.findChild<TFrmDuanYu*>()->isModal());
        QPointer<TFrmDuanYu> first = w.findChild<TFrmDuanYu*>();
        first->close();
        QTRY_VERIFY(first.isNull());
        phrases->trigger();
        QCOMPARE(w.findChildren<TFrmDuanYu*>().size(), 1);
        w.findChild<TFrmDuanYu*>()->close();
    }

    void theOtherToolsOpenModally() {
        ScopedScriptedPrompts script;
        TFrmMain w;
        const QString tools = QStringLiteral("辅助工具(&T)");
        openModal(item(w, tools, QStringLiteral("六壬时课")), [](QWidget* d) {
            QCOMPARE(qobject_cast<TFrmLiuRen*>(d)->mode(), TFrmLiuRen::kLessonMode);
            QCOMPARE(d->windowTitle(), QStringLiteral("苍梧子六壬时课"));
        });
        openModal(item(w, tools, QStringLiteral("诸葛神数")), [](QWidget* d) {
            QCOMPARE(qobject_cast<TFrmLiuRen*>(d)->mode(), TFrmLiuRen::kLotMode);
            QCOMPARE(d->windowTitle(), QStringLiteral("诸葛神数"));
        });
        openModal(item(w, tools, QStringLiteral("古代杂占")),
                  [](QWidget* d) { QVERIFY(qobject_cast<TFrmZaZhan*>(d)); });
        openModal(item(w, tools, QStringLiteral("笔画数修改")),
                  [](QWidget* d) { QVERIFY(qobject_cast<TFrmChange*>(d)); });
        openModal(item(w, QStringLiteral("命理知识(&S)"), QStringLiteral("河洛图像")),
                  [](QWidget* d) { QVERIFY(qobject_cast<TFrmHeLuo*>(d)); });
        QVERIFY(w.findChildren<QDialog*>().isEmpty());  // each destroyed after use
        QVERIFY(script->shown.empty());
    }
};

QTEST_MAIN(TestReferenceMenus)
#include "TestReferenceMenus.moc"
