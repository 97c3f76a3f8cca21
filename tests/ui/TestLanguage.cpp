// Qt's standard dialogs and the prompt service's buttons speak Chinese.
#include <QtTest>

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QMessageBox>

#include <functional>

#include "DialogDriver.h"
#include "ui/common/Untlanguage.h"
#include "ui/common/Untprompt.h"

using namespace qingheng;
using qingheng::testing::onNextDialog;
using qingheng::testing::screenshot;

namespace {

// The texts of a message box's buttons, left to right as added.
QStringList buttonTexts(QWidget* dialog) {
    QStringList texts;
    for (QAbstractButton* b : qobject_cast<QMessageBox*>(dialog)->buttons()) texts << b->text();
    texts.sort();
    return texts;
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

}  // namespace

class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(installChineseTranslations()); }

    void qtsOwnTextsAreTranslated() {
        struct Case {
            const char* context;
            const char* source;
            QString chinese;
        };
        for (const Case& c : {Case{"QPlatformTheme", "OK", QStringLiteral("确定")},
                              {"QPlatformTheme", "Cancel", QStringLiteral("取消")},
                              {"QFileDialog", "Look in:", QStringLiteral("查找范围：")},
                              {"QFontDialog", "Select Font", QStringLiteral("选择字体")},
                              {"QColorDialog", "Select Color", QStringLiteral("选择颜色")}})
            QCOMPARE(QCoreApplication::translate(c.context, c.source), c.chinese);
    }

    void messageBoxesAnswerInChinese() {
        QStringList shown;
        auto answer = [&shown](const char* picture, QMessageBox::StandardButton button) {
            onNextDialog([&shown, picture, button](QWidget* dialog) {
                shown = buttonTexts(dialog);
                screenshot(dialog, picture);
                qobject_cast<QMessageBox*>(dialog)->button(button)->click();
            });
        };
        answer("message_box", QMessageBox::Ok);
        prompts().info(nullptr, QStringLiteral("设置完成"));
        QCOMPARE(shown, QStringList{QStringLiteral("确定")});

        answer("question_box", QMessageBox::No);
        QVERIFY(!prompts().ask(nullptr, QStringLiteral("确定要清除吗？")));
        QCOMPARE(shown, sorted({QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")}));

        answer("question_with_cancel", QMessageBox::Cancel);
        QCOMPARE(prompts().questionWithCancel(nullptr, QStringLiteral("当前卦例文本已改变，要保存吗？"),
                                              QStringLiteral("提示")),
                 Answer::Cancel);
        QCOMPARE(shown, sorted({QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"), QStringLiteral("取消")}));
    }

    void theFontDialogIsInChinese() {
        QString title;
        onNextDialog([&title](QWidget* dialog) {
            title = dialog->windowTitle();
            screenshot(dialog, "font_dialog");
            qobject_cast<QDialog*>(dialog)->reject();
        });
        QVERIFY(!prompts().chooseFont(nullptr, QFont(QStringLiteral("AR PL UMing CN"), 12)));
        QCOMPARE(title, QStringLiteral("选择字体"));
    }
};

QTEST_MAIN(TestLanguage)
#include "TestLanguage.moc"
