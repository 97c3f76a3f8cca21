#include <QtTest>

#include <QApplication>
#include <QMenu>

#include <functional>
#include <memory>

#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "ui/calendar/Untwnl.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untmain.h"
#include "ui/reference/Untchang.h"
#include "ui/reference/Untduanyu.h"
#include "ui/reference/Untheluo.h"
#include "ui/reference/Untliuren.h"
#include "ui/reference/Untzazhan.h"

using namespace qingheng;
using namespace qingheng::testing;

namespace {

QStringList itemTexts(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) out << a->text();
    return out;
}

// Triggers a menu item that opens a modal dialog and hands the dialog to check, then closes it.
void openModal(QAction* action, const std::function<void(QWidget*)>& check) {
    QVERIFY(action);
    QVERIFY(inModalDialog([action] { action->trigger(); }, check));
}

}  // namespace

class TestReferenceMenus : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowHome> home_;

private slots:
    void initTestCase() {
        home_ = std::make_unique<MainWindowHome>("refmenus");
        home_->withShippedFiles({"hzlen.dat", "meihy.dat", "zazhan.txt"});
    }
    void cleanupTestCase() { home_.reset(); }

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
        QCOMPARE(menuItem(w, QStringLiteral("辅助工具(&T)"), QStringLiteral("万年历"))->objectName(),
                 QStringLiteral("Tmnuwnl"));
    }

    void theCalendarIsOneModelessWindowUntilClosed() {
        TFrmMain w;
        QAction* calendar = menuItem(w, QStringLiteral("辅助工具(&T)"), QStringLiteral("万年历"));
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
        QAction* phrases = menuItem(w, QStringLiteral("命理知识(&S)"), QStringLiteral("六爻断语"));
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
        openModal(menuItem(w, tools, QStringLiteral("六壬时课")), [](QWidget* d) {
            QCOMPARE(qobject_cast<TFrmLiuRen*>(d)->mode(), TFrmLiuRen::kLessonMode);
            QCOMPARE(d->windowTitle(), QStringLiteral("苍梧子六壬时课"));
        });
        openModal(menuItem(w, tools, QStringLiteral("诸葛神数")), [](QWidget* d) {
            QCOMPARE(qobject_cast<TFrmLiuRen*>(d)->mode(), TFrmLiuRen::kLotMode);
            QCOMPARE(d->windowTitle(), QStringLiteral("诸葛神数"));
        });
        openModal(menuItem(w, tools, QStringLiteral("古代杂占")),
                  [](QWidget* d) { QVERIFY(qobject_cast<TFrmZaZhan*>(d)); });
        openModal(menuItem(w, tools, QStringLiteral("笔画数修改")),
                  [](QWidget* d) { QVERIFY(qobject_cast<TFrmChange*>(d)); });
        openModal(menuItem(w, QStringLiteral("命理知识(&S)"), QStringLiteral("河洛图像")),
                  [](QWidget* d) { QVERIFY(qobject_cast<TFrmHeLuo*>(d)); });
        QVERIFY(w.findChildren<QDialog*>().isEmpty());  // each destroyed after use
        QVERIFY(script->shown.empty());
    }
};

QTEST_MAIN(TestReferenceMenus)
#include "TestReferenceMenus.moc"
